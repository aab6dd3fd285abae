#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

// The toolkit's own texts (the file dialogs' buttons and questions, the
// command line parser's errors) in Japanese, like the rest of the program. They come from Debian's
// qt6-translations-l10n, found where the Qt installation keeps its
// translations. Without them the dialogs stay in English.
namespace toolkittranslation {

// Installs the translation on `app`, from `folder` or else from Qt's own
// translations. Returns it, owned by `app`, or null when it was not found.
QTranslator *install(QCoreApplication &app, const QString &folder = QString());

// Installs a catalogue of the program's own built into it (":/i18n/NAME.qm").
// Returns it, owned by `app`, or null when there is none.
QTranslator *installBuiltIn(QCoreApplication &app, const QString &name);

} // namespace toolkittranslation
