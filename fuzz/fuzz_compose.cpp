// The batch file composer: for any job the save checks pass, every line
// reads back under cmd.exe's rules as exactly the intended words, with the
// tree and skipping options as without them. A word with a blank or an
// operator character is quoted, every % is doubled, and nothing outside
// quotes can end the command or start another.
#include "core/batchcomposer.h"
#include "core/jobcheck.h"
#include "core/jobplan.h"
#include "core/textrules.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QSet>

#include <cstdio>
#include <cstdlib>

namespace {
// Ends the run at a broken promise, naming its line.
void checkAt(bool condition, int line)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz_compose.cpp:%d: check failed\n", line);
    std::abort();
}
#define check(condition) checkAt((condition), __LINE__)

QString text(FuzzedDataProvider &p, size_t max)
{
    // Mostly path-like characters, with the awkward ones mixed in.
    static const char16_t alphabet[] = u"abcXYZ019 .\\:&|<>^(),;=%!'\"-_表計ﾊｱ　~ヂポタａＡ";
    QString out;
    const size_t n = p.ConsumeIntegralInRange<size_t>(0, max);
    for (size_t i = 0; i < n && p.remaining_bytes() > 0; ++i) {
        if (p.ConsumeIntegralInRange<int>(0, 9) == 0)
            out += QChar(p.ConsumeIntegral<char16_t>());
        else
            out += QChar(alphabet[p.ConsumeIntegralInRange<size_t>(0, std::size(alphabet) - 2)]);
    }
    return out;
}

// Splits a line the way cmd.exe does: blanks outside quotes separate words,
// quotes are removed, %% is one %. Fails on anything cmd.exe would read as
// an operator or a variable.
QStringList cmdWords(const QString &line)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (c == u'%') {
            check(i + 1 < line.size() && line.at(i + 1) == u'%');
            word += u'%';
            ++i;
            inWord = true;
            continue;
        }
        if (!quoted && c == u' ') {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
            continue;
        }
        if (!quoted)
            check(!QStringLiteral("&|<>^(),;=").contains(c));
        check(c.unicode() >= 0x20);
        word += c;
        inWord = true;
    }
    check(!quoted);
    if (inWord)
        words << word;
    return words;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider p(data, size);
    ConversionJob job;
    job.kind = BatchKind(p.ConsumeIntegralInRange<int>(0, 2));
    job.outputFormat = p.ConsumeBool() ? OutputFormat::Ascii : OutputFormat::Binary;
    job.precision = QString(p.ConsumeIntegralInRange<int>(0, 2), u' ') + QString::number(p.ConsumeIntegralInRange<int>(0, 18));
    job.autocadFolder = text(p, 30);
    job.destinationFolder = textrules::EnsureTrailingBackslash(text(p, 30));
    job.r13ToR12Parameter = text(p, 12);
    job.r12ToGx3Parameter = text(p, 12);
    const bool tree = p.ConsumeBool();
    const QString root = QStringLiteral("C:\\") + text(p, 8) + u'\\';
    if (tree)
        job.treeRoot = root;
    job.skipExisting = p.ConsumeBool();
    job.checkExitStatus = job.skipExisting && p.ConsumeBool();
    const int sources = p.ConsumeIntegralInRange<int>(1, 4);
    for (int i = 0; i < sources; ++i) {
        const QString below = p.ConsumeBool() ? QString(text(p, 10) + u'\\') : QString();
        job.sources << (tree && p.ConsumeBool() ? QString(root + below) : QString(text(p, 20) + u'\\')) + text(p, 12)
                + (p.ConsumeBool() ? u".dxf" : u".DXF");
    }
    if (!checkJob(job).passed())
        return 0;

    using textrules::upperCased;
    const QStringList lines = ComposeBatchLines(job);
    const QString acad = upperCased(job.autocadFolder);
    const QString option =
        job.outputFormat == OutputFormat::Ascii ? QStringLiteral("-A") + textrules::trimmed(job.precision) : QString();
    const auto command = [&](const QString &parameter, const QString &in, const QString &out) {
        QStringList words{acad + QStringLiteral("DXFIX.EXE")};
        if (!option.isEmpty())
            words << option;
        words << QStringLiteral("-T") + acad + upperCased(parameter) << upperCased(in) << upperCased(out);
        return words;
    };

    // The words of every line, in order.
    QList<QStringList> expected;
    QSet<QString> made;
    const batch::JobPlan plan(job);
    const QString intermediate = job.destinationFolder + plan.intermediateName();
    const QString prefix = plan.partialPrefix();
    const int width = int(QString::number(job.sources.size()).size());
    const auto ifExists = [](const QString &path, const QStringList &then) {
        return QStringList{QStringLiteral("IF"), QStringLiteral("EXIST"), upperCased(path)} + then;
    };
    const auto del = [](const QString &path) { return QStringList{QStringLiteral("DEL"), upperCased(path)}; };
    const auto makeFolder = [&](const QString &below) {
        if (made.contains(textrules::windowsFolded(below)))
            return;
        made.insert(textrules::windowsFolded(below));
        const QString folder = upperCased(job.destinationFolder + below);
        const QString created = folder.endsWith(u'\\') ? folder.chopped(1) : folder;
        if (!created.isEmpty() && !created.endsWith(u':'))
            expected << QStringList{QStringLiteral("IF"), QStringLiteral("NOT"), QStringLiteral("EXIST"), folder,
                                    QStringLiteral("MD"), created};
    };
    if (tree)
        makeFolder(QString());
    QSet<QString> finals;
    for (int i = 0; i < job.sources.size(); ++i)
        finals.insert(textrules::windowsFolded(plan.destination(i)));
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString &source = job.sources.at(i);
        const QString below = plan.below(i).toString();
        const QString destination = plan.destination(i);
        const QString partial = job.destinationFolder + below + prefix + plan.baseName(i) + QStringLiteral(".DXF");
        check(textrules::windowsFolded(destination) != textrules::windowsFolded(intermediate));
        // A drawing is never made under another one's name.
        check(!job.skipExisting || !finals.contains(textrules::windowsFolded(partial)));
        if (!below.isEmpty())
            makeFolder(below);
        const QString out = job.skipExisting ? partial : destination;
        const QString label = QStringLiteral("DONE%1").arg(i + 1, width, 10, QLatin1Char('0'));
        const auto pass = [&](const QString &parameter, const QString &in, const QString &to) {
            expected << command(parameter, in, to);
            if (job.checkExitStatus)
                expected << QStringList{QStringLiteral("IF"), QStringLiteral("ERRORLEVEL"), QStringLiteral("1")} + del(to);
        };
        if (job.skipExisting)
            expected << ifExists(destination, {QStringLiteral("GOTO"), label}) << ifExists(partial, del(partial));
        switch (job.kind) {
        case BatchKind::R13ToR12:
            pass(job.r13ToR12Parameter, source, out);
            break;
        case BatchKind::R12ToGX3:
            pass(job.r12ToGx3Parameter, source, out);
            break;
        case BatchKind::R13ToGX3:
            if (job.skipExisting)
                expected << ifExists(intermediate, del(intermediate));
            pass(job.r13ToR12Parameter, source, intermediate);
            pass(job.r12ToGx3Parameter, intermediate, out);
            expected << del(intermediate);
            break;
        }
        if (job.skipExisting)
            expected << ifExists(partial, QStringList{QStringLiteral("MOVE"), QStringLiteral("/Y"), upperCased(partial),
                                                      upperCased(destination)})
                     << QStringList{QStringLiteral(":") + label};
    }
    if (lines.size() != expected.size())
        std::fprintf(stderr, "%s\n", qPrintable(lines.join(u'\n')));
    check(lines.size() == expected.size());
    for (int i = 0; i < lines.size(); ++i) {
        if (cmdWords(lines.at(i)) != expected.at(i))
            std::fprintf(stderr, "line %d: %s\nexpected: %s\n", i, qPrintable(lines.at(i)),
                         qPrintable(expected.at(i).join(u'|')));
        check(cmdWords(lines.at(i)) == expected.at(i));
    }
    return 0;
}
