#include "settingsnotice.h"

#include "ui/systemreason.h"

namespace {
// A value as the message shows it: on one line, and not too long to read.
QString shown(const QString &value)
{
    constexpr qsizetype kLongest = 80;
    QString text = value.size() > kLongest ? value.left(kLongest) + QStringLiteral(u"…") : value;
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = u'?';
    }
    return text;
}
} // namespace

QString settingsNotKeptText(const SettingsFile::SaveReport &result, const settings::StoredSettings &values)
{
    if (result.notKept.isEmpty())
        return QString();
    QString text = QStringLiteral(u"次の設定は保存できないため、次回の起動時には元に戻ります！\n");
    for (int line : result.notKept)
        text += u'\n' + settings::StoredSettings::nameOf(line) + QStringLiteral("( ") + shown(values[line])
            + QStringLiteral(" )");
    text += u"\n\n";
    if (result.written.refused())
        text += QStringLiteral(u"設定ﾌｧｲﾙを書き込めません: ") + japaneseReason(result.written.why());
    else
        text += QStringLiteral(u"保存できない文字(改行、ｺｰﾄﾞﾍﾟｰｼﾞ932にない文字)が含まれているか、長すぎます。");
    return text;
}
