#include "core/batchcomposer.h"
#include "core/cp932.h"
#include "core/filewrite.h"
#include "workedexamples.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
ConversionJob exampleJob(BatchKind kind)
{
    ConversionJob job;
    job.kind = kind;
    job.autocadFolder = QStringLiteral("C:\\ACAD\\");
    job.destinationFolder = QStringLiteral("D:\\OUT\\");
    job.sources = {QStringLiteral("C:\\DRAW\\plan1.dxf"), QStringLiteral("C:\\My Work\\site b.DXF")};
    return job;
}

QByteArray fileBytes(const QStringList &lines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("R13TO12.BAT"));
    if (!writeWholeFile(path, batchFileBytes(lines)).ok)
        return QByteArray("write failed");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("read failed");
    return file.readAll();
}

} // namespace

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
    void intermediateAvoidsDrawings();
    void longLinesWrittenWhole();
    void failedWriteReported();
};

void TestBatchComposer::workedExamples_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("precision");
    QTest::addColumn<QString>("acad");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("R13 to R12, ASCII 6")
        << int(BatchKind::R13ToR12) << QStringLiteral("ASCII") << QStringLiteral("  6")
        << QStringLiteral("C:\\ACAD\\")
        << worked::r13ToR12Ascii6();
    QTest::newRow("R13 to GX3, binary")
        << int(BatchKind::R13ToGX3) << QStringLiteral(u"ﾊﾞｲﾅﾘ") << QStringLiteral("  6")
        << QStringLiteral("C:\\ACAD\\")
        << worked::r13ToGx3Binary();
    QTest::newRow("R12 to GX3, ASCII 16, blank in AutoCAD folder")
        << int(BatchKind::R12ToGX3) << QStringLiteral("ASCII") << QStringLiteral(" 16")
        << QStringLiteral("C:\\Program Files\\ACAD\\")
        << worked::r12ToGx3Ascii16ProgramFiles();
    QTest::newRow("unknown format text gives no option")
        << int(BatchKind::R13ToR12) << QStringLiteral("ascii") << QStringLiteral("  8")
        << QStringLiteral("C:\\ACAD\\")
        << crlfLines({"C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT C:\\DRAW\\PLAN1.DXF D:\\OUT\\PLAN1.DXF",
                      "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT \"C:\\MY WORK\\SITE B.DXF\" \"D:\\OUT\\SITE B.DXF\""});
}

void TestBatchComposer::workedExamples()
{
    QFETCH(int, kind);
    QFETCH(QString, format);
    QFETCH(QString, precision);
    QFETCH(QString, acad);
    QFETCH(QByteArray, bytes);
    ConversionJob job = exampleJob(BatchKind(kind));
    job.outputFormat = format;
    job.precision = precision;
    job.autocadFolder = acad;
    QCOMPARE(fileBytes(ComposeBatchLines(job)), bytes);
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
    QCOMPARE(ComposeBatchLines(job), QStringList{line});
}

void TestBatchComposer::doubleByteBytesSurvive()
{
    // 計 is 0x8C 0x76: its second byte is the letter v and must stay lower case.
    ConversionJob job = exampleJob(BatchKind::R13ToR12);
    job.sources = {QStringLiteral(u"C:\\計画\\plan.dxf")};
    const QByteArray bytes = fileBytes(ComposeBatchLines(job));
    QVERIFY(bytes.contains(QByteArray("C:\\\x8c\x76\x89\xe6\\PLAN.DXF ")));
    QVERIFY(bytes.endsWith("D:\\OUT\\PLAN.DXF\r\n"));
}

void TestBatchComposer::blankDestinationQuotesEveryIntermediate()
{
    ConversionJob job = exampleJob(BatchKind::R13ToGX3);
    job.destinationFolder = QStringLiteral("D:\\MY OUT\\");
    job.sources = {QStringLiteral("C:\\DRAW\\plan1.dxf")};
    const QStringList lines = ComposeBatchLines(job);
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
    QCOMPARE(ComposeBatchLines(job).size(), 21);
    job.kind = BatchKind::R12ToGX3;
    QCOMPARE(ComposeBatchLines(job).size(), 7);
    job.sources.clear();
    QCOMPARE(fileBytes(ComposeBatchLines(job)), QByteArray());
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
    QCOMPARE(ComposeBatchLines(job),
             QStringList{QStringLiteral("C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\DXFIX.DXT ") + sourceToken
                         + u' ' + destinationToken});
}

void TestBatchComposer::intermediateAvoidsDrawings()
{
    ConversionJob job = exampleJob(BatchKind::R13ToGX3);
    job.sources = {QStringLiteral("C:\\A\\Dummy.dxf"), QStringLiteral("C:\\B\\dummy1.DXF"),
                   QStringLiteral("C:\\C\\plan.dxf")};
    QCOMPARE(batch::intermediateName(job), QStringLiteral("dummy2.dxf"));
    const QStringList lines = ComposeBatchLines(job);
    QCOMPARE(lines.at(2), QStringLiteral("DEL D:\\OUT\\DUMMY2.DXF"));
    QVERIFY(lines.at(1).endsWith(QStringLiteral(" D:\\OUT\\DUMMY2.DXF D:\\OUT\\DUMMY.DXF")));
    for (int i = 2; i < lines.size(); i += 3)
        QVERIFY(!lines.at(i).contains(QStringLiteral("\\DUMMY.DXF")));
}

void TestBatchComposer::longLinesWrittenWhole()
{
    ConversionJob job = exampleJob(BatchKind::R13ToR12);
    job.sources = {QStringLiteral("C:\\") + QString(300, u'a') + QStringLiteral(".dxf")};
    const QStringList lines = ComposeBatchLines(job);
    QVERIFY(cp932::encodedLength(lines.constFirst()) > 600);
    const QByteArray bytes = fileBytes(lines);
    QCOMPARE(bytes, cp932::encode(lines.constFirst()) + "\r\n");
}

void TestBatchComposer::failedWriteReported()
{
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
    QVERIFY(!WriteBatchLines(readOnly, {QStringLiteral("X")}));
    QBuffer good;
    good.open(QIODevice::WriteOnly);
    QVERIFY(WriteBatchLines(good, {QStringLiteral("X"), QStringLiteral("Y")}));
    QCOMPARE(good.data(), QByteArray("X\r\nY\r\n"));
}

QTEST_GUILESS_MAIN(TestBatchComposer)
#include "tst_batchcomposer.moc"
