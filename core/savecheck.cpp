#include "savecheck.h"

#include "batchcomposer.h"
#include "cp932.h"
#include "textrules.h"

#include <QHash>

using namespace textrules;

namespace {
JobCheck fail(JobProblem problem, const QString &text, int line = -1)
{
    return JobCheck{problem, line, text};
}

// A text the batch file can carry: code page 932 bytes, no control
// character (a line break would end the command and start another one) and
// no double quote (it would end the quoting around a path).
bool isUsable(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c == u'"' || c.unicode() == 0x7f)
            return false;
    }
    return cp932::canEncode(text);
}

QString unencodableText(const QString &what, const QString &text)
{
    return what % QLatin1String("( ") % text % QStringLiteral(u" )に使用できない文字が含まれています！");
}

// Texts the batch file names apart from the sources, with what they are.
struct NamedText
{
    QString what;
    QString text;
};

QList<NamedText> jobTexts(const ConversionJob &job)
{
    QList<NamedText> texts{{QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"), job.destinationFolder},
                           {QStringLiteral(u"AutoCadﾌｫﾙﾀﾞ"), job.autocadFolder}};
    if (job.kind != BatchKind::R12ToGX3)
        texts.append({QStringLiteral(u"R13->R12ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"), job.r13ToR12Parameter});
    if (job.kind != BatchKind::R13ToR12)
        texts.append({QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"), job.r12ToGx3Parameter});
    if (job.outputFormat == OutputFormat::ascii())
        texts.append({QStringLiteral(u"出力精度"), trimmed(job.precision)});
    return texts;
}
} // namespace

JobCheck checkJob(const ConversionJob &job)
{
    if (job.sources.isEmpty())
        return fail(JobProblem::NoSource, QStringLiteral(u"変換元ﾌｧｲﾙが一つも選択されていません！"));
    if (trimmed(job.destinationFolder).isEmpty())
        return fail(JobProblem::NoDestination, QStringLiteral(u"変換先ﾌｫﾙﾀﾞが指定されていません！"));
    if (trimmed(job.autocadFolder).isEmpty())
        return fail(JobProblem::NoAutocadFolder,
                    QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞが指定されていません！"));

    const QString destination = upperCased(job.destinationFolder);
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString &source = job.sources.at(i);
        if (upperCased(extension(source)) != QLatin1String(".DXF"))
            return fail(JobProblem::NotDxf, QStringLiteral(u"DXFﾌｧｲﾙではありません！"), i);
        if (upperCased(folderPart(source)) == destination)
            return fail(JobProblem::SameFolder,
                        QStringLiteral(u"変換元と変換先のﾌｫﾙﾀﾞ名が同一です！変換先ﾌｫﾙﾀﾞを変更してください。"),
                        i);
    }

    // A character without code page 932 bytes would be written as a wrong
    // byte and name a file that does not exist.
    for (const NamedText &t : jobTexts(job)) {
        if (!isUsable(t.text))
            return fail(JobProblem::Unencodable, unencodableText(t.what, t.text));
    }
    for (int i = 0; i < job.sources.size(); ++i) {
        if (!isUsable(job.sources.at(i)))
            return fail(JobProblem::Unencodable,
                        unencodableText(QStringLiteral(u"変換元ﾌｧｲﾙ"), job.sources.at(i)), i);
    }

    // Two different sources must not be converted onto one drawing: the
    // second would silently overwrite the first. The same source listed
    // twice is harmless and stays allowed.
    QHash<QString, QString> sourceOfDestination;
    sourceOfDestination.reserve(job.sources.size());
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString target = upperCased(batch::destinationPath(job, job.sources.at(i)));
        const QString source = upperCased(job.sources.at(i));
        const auto found = sourceOfDestination.constFind(target);
        if (found == sourceOfDestination.cend())
            sourceOfDestination.insert(target, source);
        else if (*found != source)
            return fail(JobProblem::DuplicateDestination,
                        QStringLiteral(u"変換先ﾌｧｲﾙ( ") % target % QStringLiteral(u" )が重複しています！"),
                        i);
    }
    return JobCheck{};
}

namespace savetarget {
bool isBatPath(const QString &chosenPath)
{
    return upperCased(extension(chosenPath, Separators::WindowsOrSlash)) == QLatin1String(".BAT");
}

QString folderOf(const QString &chosenPath)
{
    return folderPart(chosenPath, Separators::WindowsOrSlash);
}

QString notBatText(const QString &chosenPath)
{
    return QStringLiteral(u"拡張子が.BATでないため( ") % namePart(chosenPath, Separators::WindowsOrSlash)
        % QStringLiteral(u" )では保存できません！");
}

QString cannotSaveText(const QString &chosenPath)
{
    return QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") % chosenPath % QStringLiteral(u"を保存できません！");
}

QString savedText(const QString &chosenPath)
{
    return QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") % chosenPath % QStringLiteral(u"を保存しました！");
}
} // namespace savetarget
