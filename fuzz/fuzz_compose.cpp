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

#include <cstdlib>

namespace {
void check(bool condition)
{
    if (!condition)
        std::abort();
}

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
    const int width = int(QString::number(job.sources.size()).size());
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString &source = job.sources.at(i);
        const QString destination = plan.destination(i);
        check(textrules::windowsFolded(destination) != textrules::windowsFolded(intermediate));
        const QString below = plan.below(i).toString();
        if (!below.isEmpty() && !made.contains(textrules::windowsFolded(below))) {
            made.insert(textrules::windowsFolded(below));
            const QString folder = upperCased(job.destinationFolder + below);
            expected << QStringList{QStringLiteral("IF"), QStringLiteral("NOT"), QStringLiteral("EXIST"), folder,
                                    QStringLiteral("MD"), folder.chopped(1)};
        }
        const QString label = QStringLiteral("DONE%1").arg(i + 1, width, 10, QLatin1Char('0'));
        if (job.skipExisting)
            expected << QStringList{QStringLiteral("IF"), QStringLiteral("EXIST"), upperCased(destination),
                                    QStringLiteral("GOTO"), label};
        switch (job.kind) {
        case BatchKind::R13ToR12:
            expected << command(job.r13ToR12Parameter, source, destination);
            break;
        case BatchKind::R12ToGX3:
            expected << command(job.r12ToGx3Parameter, source, destination);
            break;
        case BatchKind::R13ToGX3:
            expected << command(job.r13ToR12Parameter, source, intermediate)
                     << command(job.r12ToGx3Parameter, intermediate, destination)
                     << QStringList{QStringLiteral("DEL"), upperCased(intermediate)};
            break;
        }
        if (job.skipExisting)
            expected << QStringList{QStringLiteral(":") + label};
    }
    check(lines.size() == expected.size());
    for (int i = 0; i < lines.size(); ++i)
        check(cmdWords(lines.at(i)) == expected.at(i));
    return 0;
}
