#include "core/drawing/drawinghead.h"
#include "core/drawing/sourcecheck.h"
#include "core/job/jobplan.h"
#include "drawingheads.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using drawing::Head;
using drawing::Kind;
using drawing::Verdict;

namespace {
Head head(Kind kind, const QString &version = QString())
{
    Head h;
    h.kind = kind;
    h.version = version;
    return h;
}
} // namespace

class TestDrawingHead : public QObject
{
    Q_OBJECT

private slots:
    void heads_data();
    void heads();
    void aHeadCutShortWaitsForMore();
    void files_data();
    void files();
    void verdicts_data();
    void verdicts();
    void sourcesOfAJob();
    void aCancelledReadingFindsNothing();
    void otherVersionsNotedForTheRun();
};

void TestDrawingHead::heads_data()
{
    using namespace drawingheads;
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Head>("expected");
    for (const drawing::DrawingVersion &v : drawing::kDrawingVersions) {
        const QByteArray code = v.code.toLatin1();
        QTest::addRow("ASCII %s", code.constData()) << ascii(code) << head(Kind::AsciiDxf, v.code.toString());
        QTest::addRow("binary %s", code.constData())
            << binary(code, code == "AC1009" ? 1 : 2) << head(Kind::BinaryDxf, v.code.toString());
    }
    QTest::newRow("ASCII, an older version") << ascii("AC1006") << head(Kind::AsciiDxf, QStringLiteral("AC1006"));
    QTest::newRow("ASCII, LF ends") << ascii("AC1012", "\n") << head(Kind::AsciiDxf, QStringLiteral("AC1012"));
    QTest::newRow("ASCII after a byte-order mark")
        << QByteArray("\xEF\xBB\xBF" + ascii("AC1012")) << head(Kind::AsciiDxf, QStringLiteral("AC1012"));
    QTest::newRow("ASCII without $ACADVER") << ascii({}) << head(Kind::AsciiDxf);
    QTest::newRow("ASCII that starts with its entities")
        << QByteArray("  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nLINE\r\n") << head(Kind::AsciiDxf);
    QTest::newRow("ASCII, a version of other bytes")
        << ascii("AC1012\x1b[2J&DEL *") << head(Kind::AsciiDxf, QStringLiteral("AC1012??2J?D"));
    QTest::newRow("ASCII, the file ends in the header")
        << QByteArray("  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n") << head(Kind::AsciiDxf);
    QTest::newRow("binary R12 without a version")
        << QByteArray("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0\2ENTITIES\0", 41) << head(Kind::BinaryDxf);
    QTest::newRow("binary, truncated in its sentinel's wake")
        << QByteArray("AutoCAD Binary DXF\r\n\x1a\0\0\0SECT", 28) << head(Kind::BinaryDxf);
    QTest::newRow("binary, truncated in the version") << binary("AC1015", 2).left(60) << head(Kind::BinaryDxf);
    QTest::newRow("DWG 2000") << dwg("AC1015") << head(Kind::Dwg, QStringLiteral("AC1015"));
    QTest::newRow("DWG R14") << dwg("AC1014") << head(Kind::Dwg, QStringLiteral("AC1014"));
    QTest::newRow("empty") << QByteArray() << head(Kind::Empty);
    QTest::newRow("text") << QByteArray("drawing a.dxf, with some lines\r\n") << head(Kind::NotADrawing);
    QTest::newRow("a byte-order mark alone") << QByteArray("\xEF\xBB\xBF") << head(Kind::NotADrawing);
    QTest::newRow("NUL bytes") << QByteArray(70000, '\0') << head(Kind::NotADrawing);
    QTest::newRow("a line of 64 KiB") << QByteArray(drawing::kHeadBytes, '0') << head(Kind::NotADrawing);
    QTest::newRow("a group code line too long")
        << QByteArray("  0\r\nSECTION\r\n  2\r\nHEADER\r\n" + QByteArray(5000, '9') + "\r\nx\r\n")
        << head(Kind::AsciiDxf);
    // Group codes without end, and the version past the head: not looked for.
    QByteArray endless = "  0\r\nSECTION\r\n  2\r\nHEADER\r\n";
    while (endless.size() < 3 * drawing::kHeadBytes)
        endless += "  9\r\n$X\r\n 70\r\n1\r\n";
    QTest::newRow("endless header") << QByteArray(endless + "  9\r\n$ACADVER\r\n  1\r\nAC1012\r\n")
                                    << head(Kind::AsciiDxf);
}

void TestDrawingHead::heads()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Head, expected);
    const std::optional<Head> found = drawing::headOf(bytes);
    QVERIFY(found.has_value());
    QCOMPARE(found->kind, expected.kind);
    QCOMPARE(found->version, expected.version);
}

void TestDrawingHead::aHeadCutShortWaitsForMore()
{
    // Only the head as a file gives it, a page at a time: the first page
    // of a long header or of a short sentinel tells nothing yet.
    const QByteArray file = drawingheads::ascii("AC1014");
    for (qsizetype cut = 0; cut < file.indexOf("AC1014"); ++cut)
        QVERIFY2(!drawing::headOf(file.left(cut), false).has_value(), qPrintable(QString::number(cut)));
    QCOMPARE(drawing::headOf(file, false)->version, QStringLiteral("AC1014"));
    QVERIFY(!drawing::headOf(QByteArray("AutoCAD Bin"), false).has_value());
    QCOMPARE(drawing::headOf(QByteArray("AutoCAD Bin"), true)->kind, Kind::NotADrawing);
}

void TestDrawingHead::files_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Head>("expected");
    QTest::newRow("a drawing") << QStringLiteral("r13.dxf") << head(Kind::AsciiDxf, QStringLiteral("AC1012"));
    QTest::newRow("a drawing whose version is past the first page")
        << QStringLiteral("late.dxf") << head(Kind::AsciiDxf, QStringLiteral("AC1014"));
    QTest::newRow("an empty file") << QStringLiteral("empty.dxf") << head(Kind::Empty);
    QTest::newRow("not there") << QStringLiteral("gone.dxf") << head(Kind::Missing);
    QTest::newRow("a folder below a file") << QStringLiteral("r13.dxf/x.dxf") << head(Kind::Missing);
    Head folder = head(Kind::Unreadable);
    folder.reason = {WriteFailure::IsFolder, 0};
    QTest::newRow("a folder") << QStringLiteral("folder.dxf") << folder;
#ifndef Q_OS_WIN
    // A FIFO no one writes to: opened, never read, so never waited on.
    Head other = head(Kind::Unreadable);
    other.reason = {WriteFailure::NotRegular, 0};
    QTest::newRow("a FIFO") << QStringLiteral("fifo.dxf") << other;
    QTest::newRow("a device") << QStringLiteral("/dev/zero") << other;
    // A file whose read fails: the process's memory at address 0.
    Head failing = head(Kind::Unreadable);
    failing.reason = WriteError::system(EIO);
    QTest::newRow("a read that fails") << QStringLiteral("/proc/self/mem") << failing;
#endif
}

void TestDrawingHead::files()
{
    QFETCH(QString, name);
    QFETCH(Head, expected);
    QTemporaryDir dir;
    QVERIFY(testfiles::writeAll(dir.filePath(QStringLiteral("r13.dxf")), drawingheads::ascii("AC1012")));
    QVERIFY(testfiles::writeAll(dir.filePath(QStringLiteral("late.dxf")),
                                QByteArray("999\r\n" + QByteArray(2000, 'c') + "\r\n").repeated(3)
                                    + drawingheads::ascii("AC1014")));
    QVERIFY(testfiles::writeAll(dir.filePath(QStringLiteral("empty.dxf")), QByteArray()));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.dxf")));
#ifndef Q_OS_WIN
    QCOMPARE(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo.dxf"))).constData(), 0644), 0);
#endif
    const Head found = drawing::readHead(name.startsWith(u'/') ? name : dir.filePath(name));
    QCOMPARE(found.kind, expected.kind);
    QCOMPARE(found.version, expected.version);
    QCOMPARE(found.reason, expected.reason);
}

void TestDrawingHead::verdicts_data()
{
    QTest::addColumn<Head>("found");
    QTest::addColumn<int>("kind");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("why");
    QTest::newRow("R13 for R13 to R12") << head(Kind::AsciiDxf, QStringLiteral("AC1012")) << 0 << Verdict::Fits
                                        << QStringLiteral(u"DXF R13（AC1012）") << QString();
    QTest::newRow("binary R13 for R13 to GX3") << head(Kind::BinaryDxf, QStringLiteral("AC1012")) << 1 << Verdict::Fits
                                               << QStringLiteral(u"ﾊﾞｲﾅﾘDXF R13（AC1012）") << QString();
    QTest::newRow("R12 for R12 to GX3") << head(Kind::AsciiDxf, QStringLiteral("AC1009")) << 2 << Verdict::Fits
                                        << QStringLiteral(u"DXF R12（AC1009）") << QString();
    QTest::newRow("R13 for R12 to GX3") << head(Kind::AsciiDxf, QStringLiteral("AC1012")) << 2 << Verdict::OtherVersion
                                        << QStringLiteral(u"DXF R13（AC1012）")
                                        << QStringLiteral(u"R12のDXFを変換する設定です");
    QTest::newRow("an older code") << head(Kind::AsciiDxf, QStringLiteral("AC1006")) << 0 << Verdict::OtherVersion
                                   << QStringLiteral(u"DXF AC1006") << QStringLiteral(u"R13のDXFを変換する設定です");
    QTest::newRow("no version") << head(Kind::AsciiDxf) << 0 << Verdict::OtherVersion
                                << QStringLiteral(u"版の書かれていないDXF")
                                << QStringLiteral(u"R13の図面かどうか分かりません");
    QTest::newRow("DWG of the version") << head(Kind::Dwg, QStringLiteral("AC1012")) << 0 << Verdict::Unusable
                                        << QStringLiteral(u"DWGﾌｧｲﾙ R13（AC1012）")
                                        << QStringLiteral(u"DXFではないので変換できません");
    QTest::newRow("missing") << head(Kind::Missing) << 0 << Verdict::Unusable << QStringLiteral(u"ﾌｧｲﾙがありません")
                             << QStringLiteral(u"変換できません");
    QTest::newRow("empty") << head(Kind::Empty) << 1 << Verdict::Unusable << QStringLiteral(u"空のﾌｧｲﾙです")
                           << QStringLiteral(u"変換できません");
    QTest::newRow("no drawing") << head(Kind::NotADrawing) << 2 << Verdict::Unusable
                                << QStringLiteral(u"図面ではありません") << QStringLiteral(u"変換できません");
    QTest::newRow("unreadable") << head(Kind::Unreadable) << 2 << Verdict::Unusable << QStringLiteral(u"読めません")
                                << QStringLiteral(u"変換できません");
}

void TestDrawingHead::verdicts()
{
    QFETCH(Head, found);
    QFETCH(int, kind);
    QFETCH(Verdict, verdict);
    QFETCH(QString, what);
    QFETCH(QString, why);
    QCOMPARE(drawing::verdictOf(found, BatchKind(kind)), verdict);
    QCOMPARE(drawing::whatItIs(found), what);
    if (verdict != Verdict::Fits)
        QCOMPARE(drawing::whyItMatters({0, found, verdict}, BatchKind(kind)), why);
}

void TestDrawingHead::sourcesOfAJob()
{
    // Many sources, read on several threads: every finding in list order,
    // at its own line; what names no file here is counted, not read.
    QTemporaryDir dir;
    ConversionJob job;
    // Off Windows, a drive letter names no file of the system: not read.
    const jobpath::Style style = jobpath::hostStyle();
    const bool lettersUnread = style == jobpath::Style::Unix;
    const QString folder = jobpath::folderToJob(dir.path(), style);
    for (int i = 0; i < 600; ++i) {
        const QString name = QStringLiteral("d%1.dxf").arg(i);
        const QByteArray bytes = i % 7 == 3 ? drawingheads::ascii("AC1014")
            : i % 11 == 5                   ? drawingheads::dwg("AC1015")
                                            : drawingheads::ascii("AC1012");
        QVERIFY(testfiles::writeAll(dir.filePath(name), bytes));
        job.sources << (i % 13 == 0 && lettersUnread ? QStringLiteral("D:\\") : folder) + name;
    }
    drawing::ReadProgress progress;
    const Cancellable<drawing::Findings> read = drawing::readSources(job, style, &progress);
    QVERIFY(!read.cancelled());
    QCOMPARE(progress.done.load(), 600);
    qsizetype unchecked = 0;
    std::vector<qsizetype> expected;
    for (int i = 0; i < 600; ++i) {
        if (i % 13 == 0 && lettersUnread)
            ++unchecked;
        else if (i % 7 == 3 || i % 11 == 5)
            expected.push_back(i);
    }
    QCOMPARE(read->unchecked, unchecked);
    std::vector<qsizetype> lines;
    for (const drawing::Finding &f : read->sources) {
        lines.push_back(f.line);
        QCOMPARE(f.verdict, f.line % 7 == 3 ? Verdict::OtherVersion : Verdict::Unusable);
    }
    QCOMPARE(lines, expected);
    // The first to look at is the first that cannot be converted.
    QCOMPARE(read->first()->line, 5);
    const SaveOutcome stopped = drawing::stopped(*read, job);
    QCOMPARE(stopped.result, SaveResult::UnfitSource);
    QCOMPARE(stopped.line, 5);
    QCOMPARE(stopped.statusText,
             u"変換元ﾌｧｲﾙ( " + job.sources.at(5) + u" )を確かめてください（DWGﾌｧｲﾙ 2000（AC1015））！");
}

void TestDrawingHead::aCancelledReadingFindsNothing()
{
    ConversionJob job;
    for (int i = 0; i < 50; ++i)
        job.sources << QStringLiteral("Z:\\d%1.dxf").arg(i);
    drawing::ReadProgress progress;
    std::atomic<int> reads{0};
    const Cancellable<drawing::Findings> read
        = drawing::readSources(job, jobpath::Style::Unix, &progress, [&](const QString &) {
              if (++reads == 10)
                  progress.cancel = true;
              return head(Kind::Missing);
          });
    QVERIFY(read.cancelled());
    QVERIFY(reads < 50);
}

void TestDrawingHead::otherVersionsNotedForTheRun()
{
    ConversionJob job;
    job.kind = BatchKind::R12ToGX3;
    job.sources = {QStringLiteral("Z:\\a.dxf"), QStringLiteral("Z:\\b.dxf"), QStringLiteral("Z:\\c.dxf")};
    drawing::Findings findings;
    findings.sources = {{0, head(Kind::AsciiDxf, QStringLiteral("AC1012")), Verdict::OtherVersion},
                        {1, head(Kind::Missing), Verdict::Unusable},
                        {2, head(Kind::BinaryDxf), Verdict::OtherVersion}};
    job::JobPlan plan(job);
    drawing::noteOtherVersions(findings, plan);
    QCOMPARE(plan.lookNote(0), QStringLiteral(u"変換元はR13（AC1012）の図面でした（R12を変換する設定です）"));
    QCOMPARE(plan.lookNote(1), QString());
    QCOMPARE(plan.lookNote(2), QStringLiteral(u"変換元の図面に版が書かれていません（R12を変換する設定です）"));
}

QTEST_GUILESS_MAIN(TestDrawingHead)
#include "tst_drawinghead.moc"
