#include "toolwords.h"

#include <QIODevice>

namespace batchtool {

QString escaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_Format || u == 0x2028 || u == 0x2029)
            out += u < 0x100 ? QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'))
                             : QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

void write(const Environment &env, QIODevice &device, const QString &text)
{
    if (env.writeText)
        env.writeText(device, text);
    else
        device.write(text.toUtf8());
}

void say(const Environment &env, QIODevice &err, const QString &text) { write(env, err, escaped(text) + u'\n'); }

} // namespace batchtool
