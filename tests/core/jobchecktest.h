#pragma once

#include "batchbytes.h"
#include "checkjob.h"
#include "core/job/jobplan.h"
#include "core/text/cp932.h"
#include "core/text/textrules.h"

#include <QHash>
#include <QRandomGenerator>
#include <QTest>

// What the suites of the save's checks share: the refusals' texts, and a
// job of sources and folders.

inline const QString kNotDxf = QStringLiteral(u"DXFﾌｧｲﾙではありません！");
inline const QString kSame = QStringLiteral(u"変換元と変換先のﾌｫﾙﾀﾞ名が同一です！変換先ﾌｫﾙﾀﾞを変更してください。");

inline QString unusable(const QString &what, const QString &text)
{
    return what + QStringLiteral("( ") + text + QStringLiteral(u" )に使用できない文字が含まれています！");
}

inline QString tooLong(const QString &path)
{
    const QString shown = path.size() > 1000 ? path.left(499) + QStringLiteral(u"…") + path.right(500) : path;
    return QStringLiteral(u"ﾊﾟｽ( ") + shown + QStringLiteral(u" )が長すぎます！259ﾊﾞｲﾄまでです。");
}

inline QString otherName(const QString &what, const QString &text, const QString &part)
{
    return what + QStringLiteral("( ") + text + QStringLiteral(u" )の「") + part
        + QStringLiteral(u"」はWindowsでは別の名前になります！");
}

inline QString clash(const QString &destination)
{
    return QStringLiteral(u"変換先ﾌｧｲﾙ( ") + destination + QStringLiteral(u" )が重複しています！");
}

inline ConversionJob jobOf(const QStringList &sources, const QString &destination = QStringLiteral("C:\\OUT\\"),
                           const QString &acad = QStringLiteral("C:\\ACAD\\"))
{
    ConversionJob j;
    j.sources = sources;
    j.destinationFolder = destination;
    j.autocadFolder = acad;
    return j;
}
