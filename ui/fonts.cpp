#include "fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace fonts {
namespace {
QString proportionalFamily() { return QStringLiteral(u"ＭＳ Ｐゴシック"); }
QString fixedFamily() { return QStringLiteral(u"ＭＳ ゴシック"); }

// The first of `families` that is installed, or the first one when none is.
// Asking for an installed face by its own name spares the font matcher a
// search through every face of the system on each lookup.
QString installed(const QStringList &families)
{
    // The plain list, not hasFamily(): that resolves every unknown name
    // through the font matcher, which costs more than it saves.
    static const QStringList all = QFontDatabase::families();
    for (const QString &family : families) {
        if (all.contains(family, Qt::CaseInsensitive))
            return family;
    }
    return families.constFirst();
}

const QString &resolvedProportional()
{
    static const QString family
        = installed({proportionalFamily(), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                     QStringLiteral("IPAexGothic"), QStringLiteral("Noto Sans CJK JP")});
    return family;
}

const QString &resolvedFixed()
{
    static const QString family = installed({fixedFamily(), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                                             QStringLiteral("Noto Sans Mono CJK JP")});
    return family;
}
} // namespace

void installSubstitutions()
{
    QFont::insertSubstitutions(proportionalFamily(),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                                QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(
        fixedFamily(),
        {QStringLiteral("IPAGothic"), QStringLiteral("MS Gothic"), QStringLiteral("Noto Sans Mono CJK JP")});
}

QFont proportional(int pixelSize)
{
    QFont font(resolvedProportional());
    font.setPixelSize(pixelSize);
    return font;
}

QFont fixedPitch(int pixelSize)
{
    QFont font(resolvedFixed());
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}
} // namespace fonts
