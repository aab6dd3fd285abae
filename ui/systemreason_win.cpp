#include "systemreason.h"

#include <windows.h>

namespace {
constexpr SystemErrorWords kSystemErrors[] = {
    {ERROR_DISK_FULL, u"ﾃﾞｨｽｸの空き容量が足りません"},
    {ERROR_HANDLE_DISK_FULL, u"ﾃﾞｨｽｸの空き容量が足りません"},
    {ERROR_ACCESS_DENIED, u"ｱｸｾｽが拒否されました"},
    {ERROR_WRITE_PROTECT, u"書き込み禁止のﾃﾞｨｽｸです"},
    {ERROR_FILE_NOT_FOUND, u"ﾌｫﾙﾀﾞまたはﾌｧｲﾙがありません"},
    {ERROR_PATH_NOT_FOUND, u"ﾌｫﾙﾀﾞまたはﾌｧｲﾙがありません"},
    {ERROR_BAD_NETPATH, u"ﾈｯﾄﾜｰｸのﾊﾟｽが見つかりません"},
    {ERROR_SHARING_VIOLATION, u"使用中です"},
    {ERROR_LOCK_VIOLATION, u"使用中です"},
    {ERROR_FILENAME_EXCED_RANGE, u"ﾌｧｲﾙ名が長すぎます"},
    {ERROR_INVALID_NAME, u"ﾌｧｲﾙ名が正しくありません"},
    {ERROR_FILE_EXISTS, u"同じ名前のﾌｧｲﾙがあります"},
    {ERROR_ALREADY_EXISTS, u"同じ名前のﾌｧｲﾙがあります"},
    {ERROR_NOT_READY, u"ﾃﾞﾊﾞｲｽの準備ができていません"},
    {ERROR_GEN_FAILURE, u"入出力ｴﾗｰです"},
    {ERROR_IO_DEVICE, u"入出力ｴﾗｰです"},
    {ERROR_INVALID_PARAMETER, u"無効な引数です"},
};
} // namespace

std::span<const SystemErrorWords> systemErrorWords() { return kSystemErrors; }
