#include "systemreason.h"

#include "core/files/filewrite.h"

#include <QHash>

#include <cerrno>
#include <cstring>

namespace {
struct Worded
{
    int error;
    const char16_t *words;
};

// The system errors a save meets, in the window's words.
constexpr Worded kSystemErrors[] = {
    {ENOSPC, u"ﾃﾞｨｽｸの空き容量が足りません"},
    {EACCES, u"ｱｸｾｽが拒否されました"},
    {EPERM, u"操作が許可されていません"},
    {EROFS, u"読み取り専用のﾌｧｲﾙｼｽﾃﾑです"},
    {EISDIR, u"ﾌｫﾙﾀﾞです"},
    {ENOTDIR, u"ﾊﾟｽの途中がﾌｫﾙﾀﾞではありません"},
    {ENOENT, u"ﾌｫﾙﾀﾞまたはﾌｧｲﾙがありません"},
    {EPIPE, u"読み手がﾊﾟｲﾌﾟを閉じました"},
    {EFBIG, u"ﾌｧｲﾙが大きすぎます"},
    {EIO, u"入出力ｴﾗｰです"},
    {ENAMETOOLONG, u"ﾌｧｲﾙ名が長すぎます"},
    {ELOOP, u"ｼﾝﾎﾞﾘｯｸﾘﾝｸの階層が多すぎます"},
    {EBUSY, u"使用中です"},
    {ETXTBSY, u"使用中です"},
    {EEXIST, u"同じ名前のﾌｧｲﾙがあります"},
    {EINVAL, u"無効な引数です"},
#ifdef EDQUOT
    {EDQUOT, u"ﾃﾞｨｽｸの使用量の制限を超えました"},
#endif
};

QHash<QString, QString> makeTable()
{
    QHash<QString, QString> table{
        {writereason::isFolder(), QStringLiteral(u"ﾌｫﾙﾀﾞです")},
        {writereason::notRegular(), QStringLiteral(u"通常のﾌｧｲﾙではありません")},
        {writereason::readOnly(), QStringLiteral(u"読み取り専用のﾌｧｲﾙです")},
        {writereason::noReader(), QStringLiteral(u"FIFOを読み出すﾌﾟﾛｾｽがありません")},
        {writereason::tooManyLinks(), QStringLiteral(u"ｼﾝﾎﾞﾘｯｸﾘﾝｸの階層が多すぎます")},
        {writereason::noRoomInPlace(), QStringLiteral(u"このﾌｧｲﾙｼｽﾃﾑでは上書きに要る空きを確保できません")},
        {writereason::locked(), QStringLiteral(u"別のﾌﾟﾛｸﾞﾗﾑがﾌｧｲﾙをﾛｯｸしています")},
        {writereason::replaced(), QStringLiteral(u"書き込み中にﾌｧｲﾙが置き換えられました")},
        {writereason::settingsTooLarge(), QStringLiteral(u"設定ﾌｧｲﾙが大きすぎて書き直せません")},
        {writereason::noSettingsPlace(), QStringLiteral(u"設定ﾌｧｲﾙを書く場所がありません")},
        {writereason::streamName(), QStringLiteral(u"名前の「:」は別のﾌｧｲﾙのｽﾄﾘｰﾑ名になります")},
    };
    for (const Worded &w : kSystemErrors)
        table.insert(QString::fromLocal8Bit(std::strerror(w.error)), QString::fromUtf16(w.words));
    return table;
}
} // namespace

QString japaneseReason(const QString &reason)
{
    static const QHash<QString, QString> table = makeTable();
    return table.value(reason, reason);
}
