#include "systemreason.h"

#include <cerrno>

namespace {
constexpr SystemErrorWords kSystemErrors[] = {
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
} // namespace

std::span<const SystemErrorWords> systemErrorWords() { return kSystemErrors; }
