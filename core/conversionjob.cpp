#include "conversionjob.h"

QStringList JobDefaults::precisionItems()
{
    return {QStringLiteral("  6"), QStringLiteral("  8"), QStringLiteral(" 12"),
            QStringLiteral(" 16")};
}

QStringList JobDefaults::formatItems()
{
    return {OutputFormat::ascii(), OutputFormat::binary()};
}

QStringList JobDefaults::kindItems()
{
    return {QStringLiteral("DXF(R13) -> DXF(R12)"), QStringLiteral("DXF(R13) -> DXF(GX3)"),
            QStringLiteral("DXF(R12) -> DXF(GX3)")};
}

BatchKindInfo batchKindInfo(BatchKind kind)
{
    switch (kind) {
    case BatchKind::R13ToGX3:
        return {QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存 R13DXF to GX3DXF"), QStringLiteral("R13TOGX3.BAT")};
    case BatchKind::R12ToGX3:
        return {QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存 R12DXF to GX3DXF"), QStringLiteral("R12TOGX3.BAT")};
    case BatchKind::R13ToR12:
        break;
    }
    return {QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存 R13DXF to R12DXF"), QStringLiteral("R13TO12.BAT")};
}

bool batchKindFromIndex(int index, BatchKind *kind)
{
    if (index < 0 || index > 2)
        return false;
    *kind = static_cast<BatchKind>(index);
    return true;
}
