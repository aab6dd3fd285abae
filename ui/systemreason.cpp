#include "systemreason.h"

QString japaneseReason(const WriteError &error)
{
    switch (error.failure) {
    case WriteFailure::None: return QString();
    case WriteFailure::System:
        for (const SystemErrorWords &known : systemErrorWords()) {
            if (known.error == error.systemError)
                return QString::fromUtf16(known.words);
        }
        return qt_error_string(error.systemError);
    case WriteFailure::IsFolder: return QStringLiteral(u"ﾌｫﾙﾀﾞです");
    case WriteFailure::NotRegular: return QStringLiteral(u"通常のﾌｧｲﾙではありません");
    case WriteFailure::ReadOnly: return QStringLiteral(u"読み取り専用のﾌｧｲﾙです");
    case WriteFailure::NoReader: return QStringLiteral(u"FIFOを読み出すﾌﾟﾛｾｽがありません");
    case WriteFailure::TooManyLinks: return QStringLiteral(u"ｼﾝﾎﾞﾘｯｸﾘﾝｸの階層が多すぎます");
    case WriteFailure::NoRoomInPlace: return QStringLiteral(u"このﾌｧｲﾙｼｽﾃﾑでは上書きに要る空きを確保できません");
    case WriteFailure::Replaced: return QStringLiteral(u"書き込み中にﾌｧｲﾙが置き換えられました");
    case WriteFailure::Locked: return QStringLiteral(u"別のﾌﾟﾛｸﾞﾗﾑがﾌｧｲﾙをﾛｯｸしています");
    case WriteFailure::StreamName: return QStringLiteral(u"名前の「:」は別のﾌｧｲﾙのｽﾄﾘｰﾑ名になります");
    case WriteFailure::SettingsTooLarge: return QStringLiteral(u"設定ﾌｧｲﾙが大きすぎて書き直せません");
    case WriteFailure::NoSettingsPlace: return QStringLiteral(u"設定ﾌｧｲﾙを書く場所がありません");
    }
    return QString();
}
