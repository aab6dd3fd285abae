#include "batchbytes.h"
#include "batchproperties.h"
#include "checkjob.h"
#include "core/batch/batchcomposer.h"
#include "core/files/filewrite.h"
#include "core/job/jobplan.h"
#include "core/text/cp932.h"
#include "workedexamples.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

namespace {
// A job of two drawings run by `jobs` workers, into `destination`.
ConversionJob parallelJob(int jobs, const QString &destination = QStringLiteral("D:\\OUT\\"))
{
    ConversionJob job = exampleJob(BatchKind::R13ToGX3);
    job.sources = {QStringLiteral("C:\\DRAW\\plan1.dxf"), QStringLiteral("C:\\R&D (1)\\100% a^b.dxf")};
    job.destinationFolder = destination;
    job.jobs = jobs;
    return job;
}
} // namespace

// The checked forms' lines: trees and their folders, labels, the report's
// names as they are, and a parallel run that runs only what it names.
class TestCheckedForms : public QObject
{
    Q_OBJECT

private slots:
    void treesMakeTheirFolders_data();
    void treesMakeTheirFolders();
    void labelsOfEqualWidth();
    void skippingWithoutATree();
    void reportShowsNamesAsTheyAre_data();
    void reportShowsNamesAsTheyAre();
    void parallelRunsOnlyWhatItNames_data();
    void parallelRunsOnlyWhatItNames();
    void parallelWaitHelperReadsAsWritten();
};

void TestCheckedForms::treesMakeTheirFolders_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("skip");
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("report");
    QTest::addColumn<int>("jobs");
    QTest::newRow("R13 to R12, tree") << int(BatchKind::R13ToR12) << false << false << false << 1;
    QTest::newRow("R13 to R12, tree, skipping") << int(BatchKind::R13ToR12) << true << false << false << 1;
    QTest::newRow("R12 to GX3, tree, skipping") << int(BatchKind::R12ToGX3) << true << false << false << 1;
    QTest::newRow("R13 to GX3, tree, skipping, exit status checked")
        << int(BatchKind::R13ToGX3) << true << true << false << 1;
    QTest::newRow("R13 to GX3, tree, report") << int(BatchKind::R13ToGX3) << false << false << true << 1;
    QTest::newRow("R13 to R12, tree, skipping, three workers")
        << int(BatchKind::R13ToR12) << true << false << false << 3;
}

void TestCheckedForms::treesMakeTheirFolders()
{
    // Each drawing into its folder below the destination, made by the run
    // before the drawing goes in (batchproperties.h); the bytes of a name
    // with a blank, &, % and the 0x5C trail byte of 表 are quoted whole.
    QFETCH(int, kind);
    QFETCH(bool, skip);
    QFETCH(bool, check);
    QFETCH(bool, report);
    QFETCH(int, jobs);
    ConversionJob job = exampleJob(BatchKind(kind));
    job.treeRoot = QStringLiteral("C:\\P\\");
    job.skipExisting = skip;
    job.checkExitStatus = check;
    job.report = report;
    job.jobs = jobs;
    job.sources = {QStringLiteral("C:\\P\\a.dxf"), QStringLiteral("C:\\P\\FLOOR 1\\b.dxf"),
                   QStringLiteral(u"C:\\P\\R&D 100%\\(x86)\\表.dxf")};
    QVERIFY(checkJob(job).passed());
    QVERIFY(batchwords::readsAsMeant(job));
    const QByteArray written = fileBytes(job);
    for (const QByteArray &piece : {QByteArray("\"C:\\P\\R&D 100%%\\(X86)\\\x95\x5c.DXF\""),
                                    QByteArray("\"D:\\OUT\\R&D 100%%\\(X86)\\\x95\x5c.DXF\"")})
        QVERIFY2(written.contains(piece), piece.constData());
}

void TestCheckedForms::labelsOfEqualWidth()
{
    // A drawing's labels are of one width, so that no label is the start
    // of another.
    ConversionJob job = exampleJob(BatchKind::R13ToR12);
    job.skipExisting = true;
    job.sources.clear();
    for (int i = 0; i < 12; ++i)
        job.sources << QStringLiteral("C:\\D\\f%1.dxf").arg(i);
    QVERIFY(batchwords::readsAsMeant(job));
    const batchwords::Program program = batchwords::programOf(composeBatchLines(job));
    const QRegularExpression numbered(QStringLiteral("^[A-Z]+([0-9]+)$"));
    int drawingLabels = 0;
    for (auto it = program.labels.cbegin(); it != program.labels.cend(); ++it) {
        if (const QRegularExpressionMatch m = numbered.match(it.key()); m.hasMatch()) {
            QVERIFY2(m.captured(1).size() == 2, qPrintable(it.key()));
            ++drawingLabels;
        }
    }
    QVERIFY(drawingLabels >= 3 * 12);
}

void TestCheckedForms::skippingWithoutATree()
{
    // Every drawing into the destination folder itself, each behind its own
    // test; names with a blank, %, ) and the 0x5C trail byte.
    ConversionJob job = exampleJob(BatchKind::R12ToGX3);
    job.skipExisting = true;
    job.sources = {QStringLiteral("C:\\A\\50% (1).dxf"), QStringLiteral(u"C:\\B\\表.dxf")};
    QVERIFY(checkJob(job).passed());
    QVERIFY(batchwords::readsAsMeant(job));
    const QByteArray written = fileBytes(job);
    for (const QByteArray &piece : {QByteArray("\"C:\\A\\50%% (1).DXF\""), QByteArray("\"D:\\OUT\\50%% (1).DXF\""),
                                    QByteArray("(D:\\OUT\\\x95\x5c.DXF)")})
        QVERIFY2(written.contains(piece), piece.constData());
}

void TestCheckedForms::reportShowsNamesAsTheyAre_data()
{
    // A name that ECHO and TITLE show as it is: % doubled, the operators
    // escaped with ^, its own case, its double-byte characters whole.
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("operators") << QStringLiteral("C:\\R&D (1),a;b=c!\\x^y 100%.dxf")
                               << QByteArray("C:\\R^&D (1),a;b=c!\\x^^y 100%%.dxf");
    QTest::newRow("a leading blank and ON") << QStringLiteral("C:\\ ON\\OFF.dxf") << QByteArray("C:\\ ON\\OFF.dxf");
    QTest::newRow("a digit at the end of a folder") << QStringLiteral("C:\\2\\1.dxf") << QByteArray("C:\\2\\1.dxf");
    // Second bytes 0x5C, 0x7C and 0x5E stay as they are.
    QTest::newRow("trail bytes of \\, | and ^")
        << QStringLiteral(u"C:\\表\\ポ\\タ.dxf") << QByteArray("C:\\\x95\x5c\\\x83\x7c\\\x83\x5e.dxf");
}

void TestCheckedForms::reportShowsNamesAsTheyAre()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, shown);
    ConversionJob job = exampleJob(BatchKind::R13ToR12);
    job.sources = {source};
    job.report = true;
    // Each line that names the drawing shows it whole (batchproperties.h);
    // here, its bytes: the title, the console and the report.
    QVERIFY(batchwords::readsAsMeant(job));
    QVERIFY(batchFileBytes(job).count(QByteArray(" " + shown + "& ")) >= 3);
}

void TestCheckedForms::parallelRunsOnlyWhatItNames_data()
{
    QTest::addColumn<int>("jobs");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<int>("kind");
    QTest::newRow("two, r13-gx3") << 2 << QStringLiteral("D:\\OUT\\") << int(BatchKind::R13ToGX3);
    QTest::newRow("sixteen, a hostile destination")
        << 16 << QStringLiteral("D:\\R&D (1)\\100% a^b\\") << int(BatchKind::R13ToR12);
    QTest::newRow("three, a drive's root") << 3 << QStringLiteral("D:\\") << int(BatchKind::R12ToGX3);
}

void TestCheckedForms::parallelRunsOnlyWhatItNames()
{
    // A parallel run works in a folder that anyone who can write to the
    // destination can fill, under a PATH that is the caller's: apart from
    // the converter, every program it runs is named by its full path, it
    // calls nothing but its own labels and the files it made, its helper's
    // lines alike (batchproperties.h); and it starts one worker a job.
    QFETCH(int, jobs);
    QFETCH(QString, destination);
    QFETCH(int, kind);
    ConversionJob job = parallelJob(jobs, destination);
    job.kind = BatchKind(kind);
    QVERIFY(checkJob(job).passed());
    QVERIFY(batchwords::readsAsMeant(job));
    const batchwords::Program program = batchwords::programOf(composeBatchLines(job));
    const auto starts = std::count_if(program.commands.cbegin(), program.commands.cend(),
                                      [](const batchwords::Command &c) { return c.verb == u"START"; });
    QCOMPARE(starts, jobs);
}

void TestCheckedForms::parallelWaitHelperReadsAsWritten()
{
    // The helper the run waits with is written a line at a time by ECHO:
    // each line, as ECHO shows it, is the helper's line; it probes every
    // worker's lock, and the run checks its size against the bytes of
    // those lines, so that a helper cut short by a full disk never runs.
    const QStringList lines = composeBatchLines(parallelJob(3));
    QStringList helper;
    qsizetype bytes = 0;
    for (const QString &line : lines) {
        for (const QString &start : {QStringLiteral(">WAIT.BAT ECHO "), QStringLiteral(">>WAIT.BAT ECHO ")}) {
            if (line.startsWith(start)) {
                const std::optional<QString> shown = batchwords::echoedText(QStringView(line).mid(start.size()));
                QVERIFY2(shown, qPrintable(line));
                helper << *shown;
                bytes += cp932::encode(*shown).size() + 2;
            }
        }
    }
    // Each worker's lock is opened by a call of the helper's own.
    QSet<QString> probed;
    for (const batchwords::Command &c : batchwords::programOf(helper).commands) {
        if (c.verb == u"CALL" && c.words.value(0).startsWith(u':'))
            probed += QSet<QString>(c.redirected.cbegin(), c.redirected.cend());
    }
    QCOMPARE(probed, (QSet<QString>{QStringLiteral("1.LCK"), QStringLiteral("2.LCK"), QStringLiteral("3.LCK")}));
    QVERIFY(!lines.filter(QStringLiteral("==\"%1\" GOTO ").arg(bytes)).isEmpty());
}

QTEST_GUILESS_MAIN(TestCheckedForms)
#include "tst_checkedforms.moc"
