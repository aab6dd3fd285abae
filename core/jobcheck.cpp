#include "jobcheck.h"

#include "cp932.h"
#include "textrules.h"

#include <QHash>
#include <QSet>

using namespace textrules;

namespace batch {

bool liesUnderRoot(const ConversionJob &job, QStringView source)
{
    const QStringView root = job.treeRoot;
    const QStringView folder = folderPartView(source);
    return !root.isEmpty() && folder.size() >= root.size() && sameWindowsName(folder.left(root.size()), root);
}

QStringView folderBelowRoot(const ConversionJob &job, QStringView source)
{
    if (!liesUnderRoot(job, source))
        return {};
    return folderPartView(source).mid(job.treeRoot.size());
}

QString destinationPath(const ConversionJob &job, const QString &source)
{
    return job.destinationFolder % folderBelowRoot(job, source) % baseNameView(source) % destinationExtension();
}

QString intermediateName(const ConversionJob &job)
{
    // A drawing is written over the intermediate file only when it goes to
    // the destination folder itself under the intermediate's name, so only
    // "dummy…" names there need a look.
    QSet<QString> taken;
    for (const QString &source : job.sources) {
        const QStringView base = baseNameView(source);
        if (base.startsWith(u"dummy", Qt::CaseInsensitive) && folderBelowRoot(job, source).isEmpty())
            taken.insert(windowsFolded(base));
    }
    if (!taken.contains(QStringLiteral("DUMMY")))
        return QStringLiteral("dummy.dxf");
    for (int n = 1;; ++n) {
        if (!taken.contains(QStringLiteral("DUMMY%1").arg(n)))
            return QStringLiteral("dummy%1.dxf").arg(n);
    }
}

} // namespace batch

namespace {
SaveOutcome refuse(SaveResult result, const QString &text, int line = -1)
{
    SaveOutcome outcome;
    outcome.result = result;
    outcome.statusText = text;
    outcome.line = line;
    return outcome;
}

bool isDxfExtension(QStringView ext)
{
    // Upper-cased a to z only, then compared exactly.
    if (ext.size() != 4 || ext[0] != u'.')
        return false;
    static constexpr char16_t want[] = u"DXF";
    for (int i = 0; i < 3; ++i) {
        char16_t c = ext[i + 1].unicode();
        if (c >= u'a' && c <= u'z')
            c -= 0x20;
        if (c != want[i])
            return false;
    }
    return true;
}

// A text the batch file can carry: code page 932 bytes, no control
// character (a line break would end the command and start another one) and
// no double quote (it would end the quoting around a path).
bool isUsable(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c == u'"' || c.unicode() == 0x7f)
            return false;
    }
    return cp932::canEncode(text);
}

QString unusableText(const QString &what, const QString &text)
{
    return what % QLatin1String("( ") % text % QStringLiteral(u" )に使用できない文字が含まれています！");
}

struct NamedText
{
    QString what;
    QString text;
};

// The texts the batch file names apart from the sources, with what they are.
QList<NamedText> jobTexts(const ConversionJob &job)
{
    QList<NamedText> texts{{QStringLiteral(u"変換先ﾌｫﾙﾀﾞ"), job.destinationFolder},
                           {QStringLiteral(u"AutoCadﾌｫﾙﾀﾞ"), job.autocadFolder}};
    if (job.kind != BatchKind::R12ToGX3)
        texts.append({QStringLiteral(u"R13->R12ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"), job.r13ToR12Parameter});
    if (job.kind != BatchKind::R13ToR12)
        texts.append({QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ"), job.r12ToGx3Parameter});
    if (job.outputFormat == OutputFormat::Ascii)
        texts.append({QStringLiteral(u"出力精度"), trimmed(job.precision)});
    return texts;
}

// Many texts folded as Windows compares names, kept in one buffer so that
// a job of any size costs no allocation per text.
class FoldedTexts
{
public:
    explicit FoldedTexts(qsizetype expected) { m_ends.reserve(expected); }

    void add(std::initializer_list<QStringView> parts)
    {
        for (QStringView part : parts) {
            for (QChar c : part) {
                const char16_t u = c.unicode();
                m_buffer += u >= u'a' && u <= u'z' ? QChar(u - 0x20) : u < 0x80 ? c : c.toUpper();
            }
        }
        m_ends.append(m_buffer.size());
    }
    qsizetype size() const { return m_ends.size(); }
    QStringView at(qsizetype i) const
    {
        const qsizetype begin = i == 0 ? 0 : m_ends.at(i - 1);
        return QStringView(m_buffer).mid(begin, m_ends.at(i) - begin);
    }

private:
    QString m_buffer;
    QList<qsizetype> m_ends;
};
} // namespace

SaveOutcome checkJob(const ConversionJob &job)
{
    if (job.sources.isEmpty())
        return refuse(SaveResult::NoSource, QStringLiteral(u"変換元ﾌｧｲﾙが一つも選択されていません！"));
    if (trimmedView(job.destinationFolder).isEmpty())
        return refuse(SaveResult::NoDestination, QStringLiteral(u"変換先ﾌｫﾙﾀﾞが指定されていません！"));
    if (trimmedView(job.autocadFolder).isEmpty())
        return refuse(SaveResult::NoAutocadFolder, QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞが指定されていません！"));

    const bool tree = !job.treeRoot.isEmpty();
    // The folders drawings are converted into: the destination folder, and
    // for a tree job each source's folder below it. A source in one of them
    // would be overwritten by a converted drawing.
    QSet<QString> outputFolders;
    if (tree) {
        for (const QString &source : job.sources) {
            if (batch::liesUnderRoot(job, source))
                outputFolders.insert(windowsFolded(QString(job.destinationFolder + batch::folderBelowRoot(job, source))));
        }
    }
    const QString sameFolderText =
        QStringLiteral(u"変換元と変換先のﾌｫﾙﾀﾞ名が同一です！変換先ﾌｫﾙﾀﾞを変更してください。");
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString &source = job.sources.at(i);
        if (!isDxfExtension(extensionView(source)))
            return refuse(SaveResult::NotDxf, QStringLiteral(u"DXFﾌｧｲﾙではありません！"), i);
        if (tree && !batch::liesUnderRoot(job, source))
            return refuse(SaveResult::OutsideTree,
                          QStringLiteral(u"変換元ﾌｧｲﾙ( ") % source % QStringLiteral(u" )が変換元ﾌｫﾙﾀﾞ( ")
                              % job.treeRoot % QStringLiteral(u" )の下にありません！"),
                          i);
        const QStringView folder = folderPartView(source);
        const bool same = tree ? outputFolders.contains(windowsFolded(folder))
                               : sameWindowsName(folder, job.destinationFolder);
        if (same)
            return refuse(SaveResult::SameFolder, sameFolderText, i);
    }

    // A character without code page 932 bytes would be written as a wrong
    // byte and name a file that does not exist.
    for (const NamedText &t : jobTexts(job)) {
        if (!isUsable(t.text))
            return refuse(SaveResult::UnusableText, unusableText(t.what, t.text));
    }
    for (int i = 0; i < job.sources.size(); ++i) {
        if (!isUsable(job.sources.at(i)))
            return refuse(SaveResult::UnusableText, unusableText(QStringLiteral(u"変換元ﾌｧｲﾙ"), job.sources.at(i)), i);
    }

    // Two different sources must not be converted onto one drawing: the
    // second would silently overwrite the first. Names are compared as
    // Windows compares them. The same source listed twice is harmless.
    FoldedTexts destinations(job.sources.size());
    for (const QString &source : job.sources)
        destinations.add({batch::folderBelowRoot(job, source), baseNameView(source)});
    QHash<QStringView, int> firstWithDestination;
    firstWithDestination.reserve(job.sources.size());
    for (int i = 0; i < job.sources.size(); ++i) {
        const auto found = firstWithDestination.constFind(destinations.at(i));
        if (found == firstWithDestination.cend()) {
            firstWithDestination.insert(destinations.at(i), i);
        } else if (!sameWindowsName(job.sources.at(*found), job.sources.at(i))) {
            const QString target = upperCased(batch::destinationPath(job, job.sources.at(i)));
            return refuse(SaveResult::DuplicateDestination,
                          QStringLiteral(u"変換先ﾌｧｲﾙ( ") % target % QStringLiteral(u" )が重複しています！"), i);
        }
    }
    return SaveOutcome{};
}
