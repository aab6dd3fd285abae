// Each form and kind of batch file for a few worked jobs, compared byte for
// byte with the file stored under tests/data/batch (built into this test as
// resources). After a change that is meant to change bytes, `./dev expected`
// writes them anew and shows the difference for review.
#include "batchbytes.h"
#include "checkjob.h"
#include "core/drawing/sourcecheck.h"
#include "core/job/jobplan.h"
#include "testfiles.h"

#include <QDir>
#include <QTest>

namespace {
struct StoredJob
{
    const char *name;
    BatchKind kind;
    const char *destination;
    const char *treeRoot; // empty: no tree
    bool skip;
    bool report;
    bool check;
    int jobs;
    int otherVersion = -1; // a source found to be a DXF of R14, or -1
};

// Sources with names cmd.exe reads as operators, a blank, a % and a
// Japanese name, in a tree below C:\DRAW\ (for the jobs without a tree,
// each goes into the destination folder itself).
const QStringList &storedSources()
{
    static const QStringList sources{QStringLiteral("C:\\DRAW\\plan1.dxf"),
                                     QStringLiteral("C:\\DRAW\\My Work\\site b.DXF"),
                                     QStringLiteral(u"C:\\DRAW\\R&D (1)\\100% a^b 図.dxf")};
    return sources;
}

constexpr StoredJob kStoredJobs[] = {
    {"plain-r13-r12", BatchKind::R13ToR12, "D:\\OUT\\", "", false, false, false, 1},
    {"plain-r13-gx3-tree", BatchKind::R13ToGX3, "D:\\OUT\\", "C:\\DRAW\\", false, false, false, 1},
    {"plain-r12-gx3-root", BatchKind::R12ToGX3, "D:\\", "", false, false, false, 1},
    {"skip-r13-gx3", BatchKind::R13ToGX3, "D:\\OUT\\", "", true, false, false, 1},
    {"skip-r12-gx3-tree-checked", BatchKind::R12ToGX3, "D:\\MY OUT\\", "C:\\DRAW\\", true, false, true, 1},
    {"report-r13-r12-checked", BatchKind::R13ToR12, "D:\\OUT\\", "", false, true, true, 1},
    {"report-r13-gx3-tree-root", BatchKind::R13ToGX3, "D:\\", "C:\\DRAW\\", false, true, false, 1},
    {"report-skip-r12-gx3", BatchKind::R12ToGX3, "D:\\OUT\\", "", true, true, false, 1},
    {"parallel-r13-gx3", BatchKind::R13ToGX3, "D:\\OUT\\", "", false, false, false, 3},
    {"parallel-r13-r12-tree-skip", BatchKind::R13ToR12, "D:\\R&D OUT\\", "C:\\DRAW\\", true, false, false, 2},
    {"parallel-r12-gx3-root-checked", BatchKind::R12ToGX3, "D:\\", "", false, false, true, 16},
    // A drawing of another version is to be looked at, even where the
    // converter's status is checked; every other line as without it.
    {"report-r13-r12-checked-r14", BatchKind::R13ToR12, "D:\\OUT\\", "", false, true, true, 1, 1},
    {"parallel-r13-gx3-r14", BatchKind::R13ToGX3, "D:\\OUT\\", "", false, false, false, 3, 2},
};

QByteArray storedBytes(const StoredJob &row, const ConversionJob &job)
{
    if (row.otherVersion < 0)
        return batchFileBytes(job);
    job::JobPlan plan(job);
    drawing::Findings findings;
    drawing::Head r14;
    r14.kind = drawing::Kind::AsciiDxf;
    r14.version = QStringLiteral("AC1014");
    findings.sources.push_back({row.otherVersion, r14, drawing::Verdict::OtherVersion});
    drawing::noteOtherVersions(findings, plan);
    QByteArray bytes;
    const bool composed = batch::composeBytes(plan, [&bytes](const QByteArray &piece) {
                              bytes += piece;
                              return true;
                          }).passed();
    return composed ? bytes : QByteArray();
}

ConversionJob storedJob(const StoredJob &row)
{
    ConversionJob job;
    job.kind = row.kind;
    job.autocadFolder = QStringLiteral("C:\\ACAD\\");
    job.destinationFolder = QLatin1String(row.destination);
    job.treeRoot = QLatin1String(row.treeRoot);
    job.sources = storedSources();
    if (job.treeRoot.isEmpty()) // one folder of the tree is the destination's own
        job.sources[1] = QStringLiteral("C:\\My Work\\site b.DXF");
    job.skipExisting = row.skip;
    job.report = row.report;
    job.checkExitStatus = row.check;
    job.jobs = row.jobs;
    return job;
}
} // namespace

class TestStoredBatches : public QObject
{
    Q_OBJECT
private slots:
    void matchesTheStoredFile_data();
    void matchesTheStoredFile();
    void everyStoredFileIsAJob();
};

void TestStoredBatches::matchesTheStoredFile_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kStoredJobs)); ++i)
        QTest::newRow(kStoredJobs[i].name) << i;
}

void TestStoredBatches::matchesTheStoredFile()
{
    QFETCH(int, row);
    const StoredJob &stored = kStoredJobs[row];
    const ConversionJob job = storedJob(stored);
    QVERIFY(checkJob(job).passed());
    const QByteArray bytes = storedBytes(stored, job);
    const QString name = QLatin1String(stored.name) + QStringLiteral(".bat");
    // ./dev expected: written anew where the stored files are kept.
    const QByteArray storeIn = qgetenv("TESSIVA_STORE_EXPECTED");
    if (!storeIn.isEmpty())
        QVERIFY(testfiles::writeAll(QDir(QString::fromLocal8Bit(storeIn)).filePath(name), bytes));
    const QByteArray expected = testfiles::readAll(QStringLiteral(":/batch/") + name);
    if (bytes == expected)
        return;
    // The first line that differs, to read; the rest with ./dev expected.
    const QList<QByteArray> got = bytes.split('\n');
    const QList<QByteArray> want = expected.split('\n');
    qsizetype line = 0;
    while (line < got.size() && line < want.size() && got.at(line) == want.at(line))
        ++line;
    QFAIL(qPrintable(QStringLiteral("%1, line %2:\n  made:   %3\n  stored: %4")
                         .arg(name)
                         .arg(line + 1)
                         .arg(QString::fromLatin1(got.value(line).toPercentEncoding(" \\\"%&^()<>|=;,:/")))
                         .arg(QString::fromLatin1(want.value(line).toPercentEncoding(" \\\"%&^()<>|=;,:/")))));
}

void TestStoredBatches::everyStoredFileIsAJob()
{
    // A stored file no job makes any more is a test that tests nothing.
    QStringList jobs;
    for (const StoredJob &stored : kStoredJobs)
        jobs << QLatin1String(stored.name) + QStringLiteral(".bat");
    jobs.sort();
    QCOMPARE(QDir(QStringLiteral(":/batch")).entryList(QDir::Files, QDir::Name), jobs);
}

QTEST_GUILESS_MAIN(TestStoredBatches)
#include "tst_storedbatches.moc"
