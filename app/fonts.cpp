#include "fonts.h"

#include <QStringList>

namespace fonts {
namespace {
QString proportionalFamily() { return QStringLiteral(u"ＭＳ Ｐゴシック"); }
QString fixedFamily() { return QStringLiteral(u"ＭＳ ゴシック"); }
} // namespace

void installSubstitutions()
{
    QFont::insertSubstitutions(proportionalFamily(),
                               {QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                                QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP")});
    QFont::insertSubstitutions(fixedFamily(),
                               {QStringLiteral("IPAGothic"), QStringLiteral("MS Gothic"),
                                QStringLiteral("Noto Sans Mono CJK JP")});
}

QFont proportional(int pixelSize)
{
    QFont font(proportionalFamily());
    font.setPixelSize(pixelSize);
    return font;
}

QFont fixedPitch(int pixelSize)
{
    QFont font(fixedFamily());
    font.setPixelSize(pixelSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}
} // namespace fonts
