#include "toolkittranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <algorithm>

namespace toolkittranslation {

QTranslator *install(QCoreApplication &app, const QString &folder)
{
    // The toolkit's own folder of translations, or the copy built into the
    // program where the system has none (Windows).
    const QStringList where = folder.isEmpty()
        ? QStringList{QLibraryInfo::path(QLibraryInfo::TranslationsPath), QStringLiteral(":/i18n")}
        : QStringList{folder};
    auto *translator = new QTranslator(&app);
    const bool loaded = std::any_of(where.begin(), where.end(), [translator](const QString &place) {
        return translator->load(QStringLiteral("qtbase_ja"), place);
    });
    if (!loaded) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

QTranslator *installBuiltIn(QCoreApplication &app, const QString &name)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(name, QStringLiteral(":/i18n"))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

} // namespace toolkittranslation
