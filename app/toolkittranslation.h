#pragma once

#include <QString>

class QCoreApplication;

// The toolkit's own texts (the file dialogs' buttons and questions) in
// Japanese, like the rest of the program. They come from Debian's
// qt6-translations-l10n, found where the Qt installation keeps its
// translations. Without them the dialogs stay in English.
namespace toolkittranslation {

// Installs the translation on `app`. Returns false when it was not found.
bool install(QCoreApplication &app, const QString &folder = QString());

} // namespace toolkittranslation
