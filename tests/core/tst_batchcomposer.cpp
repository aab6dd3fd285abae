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

// The composer: the plain form's lines for the worked examples and their
// edges, cmd.exe's special characters, long lines, random jobs read as
// meant, a sink that fails. The checked forms: tst_checkedforms.
class TestBatchComposer : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data();
    void workedExamples();
    void singleLineEdges_data();
    void singleLineEdges();
    void doubleByteBytesSurvive();
    void blankDestinationQuotesEveryIntermediate();
    void lineCounts();
    void cmdSpecialCharacters_data();
    void cmdSpecialCharacters();
    void aFolderThatStartsALine_data();
    void aFolderThatStartsALine();
    void intermediateAvoidsDrawings();
    void longLinesWrittenWhole();
    void trailBytesStayAsTheyAre();
    void randomJobsReadAsMeant_data();
    void randomJobsReadAsMeant();
    void aSinkThatFailsStopsTheComposer_data();
    void aSinkThatFailsStopsTheComposer();
};

void TestBatchComposer::workedExamples_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("precision");
    QTest::addColumn<QString>("acad");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("R13 to R12, ASCII 6") << int(BatchKind::R13ToR12) << int(OutputFormat::Ascii)
                                         << QStringLiteral("  6") << QStringLiteral("C:\\ACAD\\")
                                         << worked::r13ToR12Ascii6();
    QTest::newRow("R13 to GX3, binary") << int(BatchKind::R13ToGX3) << int(OutputFormat::Binary)
                                        << QStringLiteral("  6") << QStringLiteral("C:\\ACAD\\")
                                        << worked::r13ToGx3Binary();
    QTest::newRow("R12 to GX3, ASCII 16, blank in AutoCAD folder")
        << int(BatchKind::R12ToGX3) << int(OutputFormat::Ascii) << QStringLiteral(" 16")
        << QStringLiteral("C:\\Program Files\\ACAD\\") << worked::r12ToGx3Ascii16ProgramFiles();
}

void TestBatchComposer::workedExamples()
{
    QFETCH(int, kind);
    QFETCH(int, format);
    QFETCH(QString, precision);
    QFETCH(QString, acad);
    QFETCH(QByteArray, bytes);
    ConversionJob job = exampleJob(BatchKind(kind));
    job.outputFormat = OutputFormat(format);
    job.precision = precision;
    job.autocadFolder = acad;
    QCOMPARE(fileBytes(job), bytes);
    // The lines as text are the same lines.
    QCOMPARE(cp932::encode(composeBatchLines(job).join(QLatin1String("\r\n"))) + "\r\n", bytes);
}

void TestBatchComposer::singleLineEdges_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("precision");
    QTest::addColumn<QString>("line");
    const QString head = QStringLiteral("C:\\ACAD\\DXFIX.EXE -A%1 -TC:\\ACAD\\DXFIX13.DXT ");
    QTest::newRow("extension twice") << QStringLiteral("C:\\DRAW\\a.dxf.dxf") << QStringLiteral("  6")
                                     << head.arg(6) + QStringLiteral("C:\\DRAW\\A.DXF.DXF D:\\OUT\\A.DXF");
    QTest::newRow("mixed-case extension") << QStringLiteral("C:\\DRAW\\Plan.Dxf") << QStringLiteral("  6")
                                          << head.arg(6) + QStringLiteral("C:\\DRAW\\PLAN.DXF D:\\OUT\\PLAN.DXF");
    QTest::newRow("precision 12") << QStringLiteral("C:\\D\\p.dxf") << QStringLiteral(" 12")
                                  << head.arg(12) + QStringLiteral("C:\\D\\P.DXF D:\\OUT\\P.DXF");
    QTest::newRow("precision 8") << QStringLiteral("C:\\D\\p.dxf") << QStringLiteral("  8")
                                 << head.arg(8) + QStringLiteral("C:\\D\\P.DXF D:\\OUT\\P.DXF");
    QTest::newRow("hyo keeps its bytes") << QStringLiteral(u"C:\\DRAW\\表.dxf") << QStringLiteral("  6")
                                         << head.arg(6) + QStringLiteral(u"C:\\DRAW\\表.DXF D:\\OUT\\表.DXF");
}

void TestBatchComposer::singleLineEdges()
{
    QFETCH(QString, source);
    QFETCH(QString, precision);
    QFETCH(QString, line);
    ConversionJob job = exampleJob(BatchKind::R13ToR12);
    job.sources = {source};
    job.precision = precision;
    QCOMPARE(composeBatchLines(job), QStringList{line});
}

void TestBatchComposer::doubleByteBytesSurvive()
{
    // 計 is 0x8C 0x76: its second byte is the letter v and must stay lower case.
    ConversionJob job = exampleJob(BatchKind::R13ToR12);
    job.sources = {QStringLiteral(u"C:\\計画\\plan.dxf")};
    const QByteArray bytes = fileBytes(job);
    QVERIFY(bytes.contains(QByteArray("C:\\\x8c\x76\x89\xe6\\PLAN.DXF ")));
    QVERIFY(bytes.endsWith("D:\\OUT\\PLAN.DXF\r\n"));
}

void TestBatchComposer::blankDestinationQuotesEveryIntermediate()
{
    ConversionJob job = exampleJob(BatchKind::R13ToGX3);
    job.destinationFolder = QStringLiteral("D:\\MY OUT\\");
    job.sources = {QStringLiteral("C:\\DRAW\\plan1.dxf")};
    const QStringList lines = composeBatchLines(job);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).endsWith(QStringLiteral(" \"D:\\MY OUT\\DUMMY.DXF\"")));
    QVERIFY(lines.at(1).contains(QStringLiteral(" \"D:\\MY OUT\\DUMMY.DXF\" \"D:\\MY OUT\\PLAN1.DXF\"")));
    QCOMPARE(lines.at(2), QStringLiteral("DEL \"D:\\MY OUT\\DUMMY.DXF\""));
}

void TestBatchComposer::lineCounts()
{
    ConversionJob job = exampleJob(BatchKind::R13ToGX3);
    for (int i = 0; i < 5; ++i)
        job.sources << QStringLiteral("C:\\D\\f%1.dxf").arg(i);
    QCOMPARE(composeBatchLines(job).size(), 21);
    job.kind = BatchKind::R12ToGX3;
    QCOMPARE(composeBatchLines(job).size(), 7);
    job.sources.clear();
    QCOMPARE(batchFileBytes(job), QByteArray());
}

void TestBatchComposer::cmdSpecialCharacters_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("sourceToken");
    QTest::addColumn<QString>("destinationToken");
    QTest::newRow("ampersand") << QStringLiteral("C:\\R&D\\plan.dxf") << QStringLiteral("\"C:\\R&D\\PLAN.DXF\"")
                               << QStringLiteral("D:\\OUT\\PLAN.DXF");
    QTest::newRow("percent, unquoted") << QStringLiteral("C:\\100%\\a.dxf") << QStringLiteral("C:\\100%%\\A.DXF")
                                       << QStringLiteral("D:\\OUT\\A.DXF");
    QTest::newRow("percent and blank") << QStringLiteral("C:\\x\\50% off.dxf")
                                       << QStringLiteral("\"C:\\X\\50%% OFF.DXF\"")
                                       << QStringLiteral("\"D:\\OUT\\50%% OFF.DXF\"");
    QTest::newRow("parentheses") << QStringLiteral("C:\\a\\b(1).dxf") << QStringLiteral("\"C:\\A\\B(1).DXF\"")
                                 << QStringLiteral("\"D:\\OUT\\B(1).DXF\"");
    for (const char *c : {"|", "<", ">", "^", ",", ";", "="}) {
        QTest::newRow(c) << QStringLiteral("C:\\a\\x%1y.dxf").arg(QLatin1String(c))
                         << QStringLiteral("\"C:\\A\\X%1Y.DXF\"").arg(QLatin1String(c))
                         << QStringLiteral("\"D:\\OUT\\X%1Y.DXF\"").arg(QLatin1String(c));
    }
}

void TestBatchComposer::cmdSpecialCharacters()
{
    QFETCH(QString, source);
    QFETCH(QString, sourceToken);
    QFETCH(QString, destinationToken);
    ConversionJob job = exampleJob(BatchKind::R12ToGX3);
    job.sources = {source};
    QCOMPARE(composeBatchLines(job),
             QStringList{QStringLiteral("C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\DXFIX.DXT ") + sourceToken + u' '
                         + destinationToken});
}

void TestBatchComposer::aFolderThatStartsALine_data()
{
    // The AutoCAD folder as typed, which nothing checks is a path: its
    // converter starts each drawing's line, where a ":" would make a label
    // and an "@" would be cmd.exe's.
    QTest::addColumn<QString>("acad");
    QTest::addColumn<QString>("converter");
    QTest::newRow("a colon") << QStringLiteral(":") << QStringLiteral("\":DXFIX.EXE\"");
    QTest::newRow("an at sign") << QStringLiteral("@acad\\") << QStringLiteral("\"@ACAD\\DXFIX.EXE\"");
    QTest::newRow("an at sign alone") << QStringLiteral("@") << QStringLiteral("\"@DXFIX.EXE\"");
    QTest::newRow("a drive") << QStringLiteral("x:\\") << QStringLiteral("X:\\DXFIX.EXE");
}

void TestBatchComposer::aFolderThatStartsALine()
{
    QFETCH(QString, acad);
    QFETCH(QString, converter);
    ConversionJob job = exampleJob(BatchKind::R13ToGX3);
    job.autocadFolder = acad;
    QVERIFY(checkJob(job).passed());
    QVERIFY(composeBatchLines(job).constFirst().startsWith(converter + u' '));
    QVERIFY(batchwords::readsAsMeant(job));
    job.skipExisting = true;
    QVERIFY(batchwords::readsAsMeant(job));
}

void TestBatchComposer::intermediateAvoidsDrawings()
{
    ConversionJob job = exampleJob(BatchKind::R13ToGX3);
    job.sources
        = {QStringLiteral("C:\\A\\Dummy.dxf"), QStringLiteral("C:\\B\\dummy1.DXF"), QStringLiteral("C:\\C\\plan.dxf")};
    QCOMPARE(job::JobPlan(job).intermediateName(), QStringLiteral("dummy2.dxf"));
    const QStringList lines = composeBatchLines(job);
    QCOMPARE(lines.at(2), QStringLiteral("DEL D:\\OUT\\DUMMY2.DXF"));
    QVERIFY(lines.at(1).endsWith(QStringLiteral(" D:\\OUT\\DUMMY2.DXF D:\\OUT\\DUMMY.DXF")));
    for (int i = 2; i < lines.size(); i += 3)
        QVERIFY(!lines.at(i).contains(QStringLiteral("\\DUMMY.DXF")));
}

void TestBatchComposer::longLinesWrittenWhole()
{
    ConversionJob job = exampleJob(BatchKind::R13ToR12);
    job.sources = {QStringLiteral("C:\\") + QString(300, u'a') + QStringLiteral(".dxf")};
    const QStringList lines = composeBatchLines(job);
    QVERIFY(cp932::encodedLength(lines.constFirst()) > 600);
    const QByteArray bytes = fileBytes(job);
    QCOMPARE(bytes, cp932::encode(lines.constFirst()) + "\r\n");
}

void TestBatchComposer::trailBytesStayAsTheyAre()
{
    // ヂ ends in 0x61 ("a"), ポ in 0x7C ("|"), タ in 0x5E ("^"), 表 in 0x5C
    // ("\"): none is upper-cased, none asks for quotes.
    ConversionJob job = exampleJob(BatchKind::R13ToR12);
    job.sources = {QStringLiteral(u"C:\\ヂポタ表\\ヂ.dxf")};
    const QByteArray bytes = batchFileBytes(job);
    QVERIFY(
        bytes.contains(QByteArray(" C:\\\x83\x61\x83\x7c\x83\x5e\x95\x5c\\\x83\x61.DXF D:\\OUT\\\x83\x61.DXF\r\n")));
    QVERIFY(!bytes.contains('"'));
}

void TestBatchComposer::randomJobsReadAsMeant_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("tree");
    QTest::addColumn<int>("skipping"); // 0 off, 1 on, 2 on with the exit status checked
    QTest::addColumn<bool>("report");
    const char *kinds[] = {"R13->R12", "R13->GX3", "R12->GX3"};
    const char *skips[] = {"", ", skipping", ", skipping, exit status"};
    for (int kind = 0; kind < 3; ++kind) {
        for (const bool tree : {false, true}) {
            for (int skipping = 0; skipping < 3; ++skipping) {
                for (const bool report : {false, true})
                    QTest::addRow("%s%s%s%s", kinds[kind], tree ? ", tree" : "", skips[skipping],
                                  report ? ", report" : "")
                        << kind << tree << skipping << report;
            }
        }
    }
}

void TestBatchComposer::randomJobsReadAsMeant()
{
    // Random jobs that pass their checks, with awkward characters and paths
    // as long as the checks allow: every line of the batch file reads under
    // cmd.exe's rules as the words it is meant to have, and the pieces the
    // composer hands on, of any size, end with whole lines and make the
    // same file.
    QFETCH(int, kind);
    QFETCH(bool, tree);
    QFETCH(int, skipping);
    QFETCH(bool, report);
    QRandomGenerator random(quint32(20261208 + kind * 10 + tree * 3 + skipping));
    // Every character cmd.exe treats specially that a Windows name can hold.
    static const char16_t alphabet[] = u"abcXYZ019 .&^(),;=%!'-_~表計ﾊｱ　ヂポａＡ";
    const auto text = [&](int min, int max) {
        QString out;
        const int n = int(random.bounded(min, max + 1));
        for (int i = 0; i < n; ++i)
            out += QChar(alphabet[random.bounded(int(std::size(alphabet) - 1))]);
        return out;
    };
    // `path` made as long as a limit allows, in bytes of the code page.
    const auto filledTo = [](QString path, qsizetype bytes) {
        while (cp932::encodedLength(path) < bytes)
            path.insert(path.lastIndexOf(u'\\') + 1, u'x');
        return path;
    };
    int composed = 0;
    for (int round = 0; round < 400 && composed < 25; ++round) {
        ConversionJob job;
        job.kind = BatchKind(kind);
        job.outputFormat = random.bounded(2) ? OutputFormat::Ascii : OutputFormat::Binary;
        job.precision = QString::number(random.bounded(19));
        job.autocadFolder = QStringLiteral("C:\\") + text(1, 12) + u'\\';
        job.r13ToR12Parameter = text(1, 8) + QStringLiteral(".DXT");
        job.r12ToGx3Parameter = text(1, 8) + QStringLiteral(".DXT");
        job.destinationFolder = QStringLiteral("D:\\") + text(0, 12) + u'\\';
        const QString root = QStringLiteral("C:\\") + text(1, 8) + u'\\';
        if (tree)
            job.treeRoot = root;
        job.skipExisting = skipping > 0;
        job.checkExitStatus = skipping == 2;
        job.report = report;
        // One run in four on several workers.
        job.jobs = random.bounded(4) == 0 ? int(random.bounded(2, 5)) : 1;
        const bool longest = random.bounded(3) == 0;
        const int sources = int(random.bounded(1, 6));
        for (int i = 0; i < sources; ++i) {
            const QString below = random.bounded(2) ? QString(text(1, 6) + u'\\') : QString();
            QString source = (tree ? root : QStringLiteral("E:\\") + text(0, 8) + u'\\') + below + text(1, 10)
                + (random.bounded(2) ? u".dxf" : u".DXF");
            if (longest) // the longest source, or the longest drawing it makes
                source = filledTo(source, BatchLimits::kMaxPathBytes - (i % 2) * 40);
            job.sources << source;
        }
        if (longest && resultOf(checkJob(job)) == int(SaveResult::TooLong)) {
            // The drawing's name is the longer one: shorten the sources until it fits.
            for (QString &source : job.sources) {
                while (cp932::encodedLength(QString(job.destinationFolder + source)) > BatchLimits::kMaxPathBytes - 16)
                    source.remove(source.lastIndexOf(u'\\') + 1, 1);
            }
        }
        if (checkJob(job).refused())
            continue;
        ++composed;

        const QByteArray whole = batchFileBytes(job);
        QByteArray joined;
        const qsizetype chunk = random.bounded(1, 2048);
        QVERIFY(batch::composeBytes(
                    job,
                    [&](const QByteArray &piece) {
                        joined += piece;
                        return piece.endsWith("\r\n");
                    },
                    chunk)
                    .passed());
        QCOMPARE(joined, whole);

        QVERIFY(batchwords::readsAsMeant(job));
        for (const QString &line : composeBatchLines(job))
            QVERIFY2(cp932::encode(line).size() <= kMaxCmdLineBytes, qPrintable(line));
    }
    QVERIFY2(composed >= 25, qPrintable(QStringLiteral("only %1 jobs passed their checks").arg(composed)));
}

void TestBatchComposer::aSinkThatFailsStopsTheComposer_data()
{
    // Each form, with enough drawings for many pieces.
    QTest::addColumn<bool>("skip");
    QTest::addColumn<bool>("report");
    QTest::addColumn<int>("jobs");
    QTest::newRow("plain") << false << false << 1;
    QTest::newRow("skipping") << true << false << 1;
    QTest::newRow("report") << false << true << 1;
    QTest::newRow("parallel") << false << false << 4;
}

void TestBatchComposer::aSinkThatFailsStopsTheComposer()
{
    // A full disk says so at the first piece: the composer stops there,
    // having handed on one piece of about its size, never the whole file.
    QFETCH(bool, skip);
    QFETCH(bool, report);
    QFETCH(int, jobs);
    ConversionJob job = exampleJob(BatchKind::R13ToGX3);
    job.sources.clear();
    for (int i = 0; i < 3000; ++i)
        job.sources << QStringLiteral("C:\\DRAW\\plan%1.dxf").arg(i);
    job.skipExisting = skip;
    job.report = report;
    job.jobs = jobs;
    QVERIFY(checkJob(job).passed());
    constexpr qsizetype kChunk = 4096;
    QList<qsizetype> pieces;
    const bool composed = batch::composeBytes(
                              job,
                              [&](const QByteArray &piece) {
                                  pieces << piece.size();
                                  return false;
                              },
                              kChunk)
                              .passed();
    QVERIFY(!composed);
    QCOMPARE(pieces.size(), 1);
    QVERIFY2(pieces.first() < 2 * kChunk + kMaxCmdLineBytes, qPrintable(QString::number(pieces.first())));
}

QTEST_GUILESS_MAIN(TestBatchComposer)
#include "tst_batchcomposer.moc"
