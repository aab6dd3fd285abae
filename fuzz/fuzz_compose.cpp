// The batch file composer: for any job the save checks pass, every line
// reads back under cmd.exe's rules as exactly the intended words, with the
// tree and skipping options as without them. A word with a blank or an
// operator character is quoted, every % is doubled, and nothing outside
// quotes can end the command or start another.
#include "core/batch/batchcomposer.h"
#include "core/job/jobplan.h"
#include "core/text/textrules.h"
#include "tests/batchbytes.h"
#include "tests/batchproperties.h"
#include "tests/checkjob.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QSet>

#include <algorithm>

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
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider p(data, size);
    ConversionJob job;
    job.kind = BatchKind(p.ConsumeIntegralInRange<int>(0, 2));
    job.outputFormat = p.ConsumeBool() ? OutputFormat::Ascii : OutputFormat::Binary;
    job.precision
        = QString(p.ConsumeIntegralInRange<int>(0, 2), u' ') + QString::number(p.ConsumeIntegralInRange<int>(0, 18));
    job.autocadFolder = text(p, 30);
    job.destinationFolder = textrules::ensureTrailingBackslash(text(p, 30));
    job.r13ToR12Parameter = text(p, 12);
    job.r12ToGx3Parameter = text(p, 12);
    const bool tree = p.ConsumeBool();
    const QString root = QStringLiteral("C:\\") + text(p, 8) + u'\\';
    if (tree)
        job.treeRoot = root;
    job.skipExisting = p.ConsumeBool();
    job.report = p.ConsumeBool();
    job.jobs = p.ConsumeIntegralInRange<int>(1, 3);
    job.checkExitStatus = usesTemporaryNames(job) && p.ConsumeBool();
    const int sources = p.ConsumeIntegralInRange<int>(1, 4);
    for (int i = 0; i < sources; ++i) {
        const QString below = p.ConsumeBool() ? QString(text(p, 10) + u'\\') : QString();
        job.sources << (tree && p.ConsumeBool() ? QString(root + below) : QString(text(p, 20) + u'\\')) + text(p, 12)
                + (p.ConsumeBool() ? u".dxf" : u".DXF");
    }
    if (checkJob(job).refused())
        return 0;

    const QStringList lines = composeBatchLines(job);

    // Neither the intermediate file nor the work folder is ever a drawing's,
    // and no drawing goes into the work folder.
    const job::JobPlan plan(job);
    const QString intermediate = textrules::windowsFolded(QString(job.destinationFolder + plan.intermediateName()));
    const QString work = textrules::windowsFolded(plan.workFolder());
    QSet<QString> finals;
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString final = textrules::windowsFolded(plan.destination(i));
        finals.insert(final);
        check(!usesTemporaryNames(job) || !final.startsWith(work));
    }
    check(!finals.contains(intermediate));

    // Every line reads, and the file holds what every batch file holds.
    const QString why = batchwords::whyNot(job, lines);
    if (!why.isEmpty())
        std::fprintf(stderr, "%s\n%s\n", qPrintable(why), qPrintable(lines.join(u'\n')));
    check(why.isEmpty());
    return 0;
}
