#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

// The toolkit's own texts (the file dialogs' buttons and questions) in
// Japanese, like the rest of the program. They come from Debian's
// qt6-translations-l10n, found where the Qt installation keeps its
// translations. Without them the dialogs stay in English.
namespace toolkittranslation {

// Installs the translation on `app`, from `folder` or else from Qt's own
// translations. Returns it, owned by `app`, or null when it was not found.
QTranslator *install(QCoreApplication &app, const QString &folder = QString());

} // namespace toolkittranslation
