// tessiva-batch reads its sources before it writes: a source that cannot
// be converted refuses the batch file, each named with why; a DXF of
// another version is a warning, and a run that reports carries it;
// --no-drawing-check reads nothing. What each head is, is tested in
// tst_drawinghead.
#include "drawingheads.h"
#include "testfiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestDrawingCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sources_data();
    void sources();
    void aListNamesItsLines();

private:
    struct Run
    {
        int code = -1;
        QByteArray out;
        QString err;
    };
    Run run(const QStringList &args, const QString &locale = QStringLiteral("C.UTF-8"));
    QTemporaryDir m_dir;
};

void TestDrawingCheck::initTestCase()
{
    using namespace drawingheads;
    const auto make = [this](const char *name, const QByteArray &bytes) {
        return testfiles::writeAll(m_dir.filePath(QLatin1String(name)), bytes);
    };
    QVERIFY(make("none.ini", QByteArray()));
    QVERIFY(make("r13.dxf", ascii("AC1012")));
    QVERIFY(make("r13b.dxf", binary("AC1012", 2)));
    QVERIFY(make("r12.dxf", ascii("AC1009", "\n")));
    QVERIFY(make("r14.dxf", ascii("AC1014")));
    QVERIFY(make("noversion.dxf", ascii({})));
    QVERIFY(make("empty.dxf", QByteArray()));
    QVERIFY(make("text.dxf", "a note, not a drawing\r\n"));
    QVERIFY(make("plan.dxf", dwg("AC1015")));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("folder.dxf")));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("out")));
}

TestDrawingCheck::Run TestDrawingCheck::run(const QStringList &args, const QString &locale)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(m_dir.path());
    p.start(QStringLiteral(TESSIVA_BATCH_EXE),
            QStringList{QStringLiteral("--settings"), QStringLiteral("none.ini"), QStringLiteral("-d"),
                        QStringLiteral("out"), QStringLiteral("-a"), QStringLiteral("C:\\ACAD")}
                + args);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

void TestDrawingCheck::sources_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("said"); // the lines on standard error, each in full
    const QString warning = QStringLiteral("tessiva-batch: warning: '%1' (source argument %2): %3; %4");
    const QString refusal = QStringLiteral("tessiva-batch: '%1' (source argument %2): %3");
    QTest::newRow("drawings of the version taken")
        << QStringList{QStringLiteral("r13.dxf"), QStringLiteral("r13b.dxf")} << 0 << QStringList();
    QTest::newRow("R12 for R12 to GX3") << QStringList{QStringLiteral("-k"), QStringLiteral("r12-gx3"),
                                                       QStringLiteral("r12.dxf")}
                                        << 0 << QStringList();
    QTest::newRow("another version is a warning")
        << QStringList{QStringLiteral("r13.dxf"), QStringLiteral("r14.dxf"), QStringLiteral("noversion.dxf")} << 0
        << QStringList{warning.arg(QStringLiteral("r14.dxf"))
                           .arg(2)
                           .arg(QStringLiteral("a DXF of R14 (AC1014)"),
                                QStringLiteral("r13-r12 converts a DXF of R13 (AC1012)")),
                       warning.arg(QStringLiteral("noversion.dxf"))
                           .arg(3)
                           .arg(QStringLiteral("a DXF that states no version ($ACADVER)"),
                                QStringLiteral("r13-r12 converts a DXF of R13 (AC1012)"))};
    QTest::newRow("R13 for R12 to GX3")
        << QStringList{QStringLiteral("-k"), QStringLiteral("r12-gx3"), QStringLiteral("r13.dxf")} << 0
        << QStringList{warning.arg(QStringLiteral("r13.dxf"))
                           .arg(1)
                           .arg(QStringLiteral("a DXF of R13 (AC1012)"),
                                QStringLiteral("r12-gx3 converts a DXF of R12 (AC1009)"))};
    QTest::newRow("each source that cannot be converted is named")
        << QStringList{QStringLiteral("gone.dxf"), QStringLiteral("empty.dxf"), QStringLiteral("r13.dxf"),
                       QStringLiteral("text.dxf"), QStringLiteral("plan.dxf"),  QStringLiteral("folder.dxf"),
                       QStringLiteral("r14.dxf")}
        << 12
        << QStringList{
               refusal.arg(QStringLiteral("gone.dxf")).arg(1).arg(QStringLiteral("not there")),
               refusal.arg(QStringLiteral("empty.dxf")).arg(2).arg(QStringLiteral("an empty file")),
               refusal.arg(QStringLiteral("text.dxf")).arg(4).arg(QStringLiteral("not a drawing")),
               refusal.arg(QStringLiteral("plan.dxf"))
                   .arg(5)
                   .arg(QStringLiteral("a DWG drawing of 2000 (AC1015), not a DXF")),
               refusal.arg(QStringLiteral("folder.dxf")).arg(6).arg(QStringLiteral("cannot be read: Is a directory")),
               warning.arg(QStringLiteral("r14.dxf"))
                   .arg(7)
                   .arg(QStringLiteral("a DXF of R14 (AC1014)"),
                        QStringLiteral("r13-r12 converts a DXF of R13 (AC1012)")),
               QStringLiteral(u"変換元ﾌｧｲﾙ( Z:") + QString(m_dir.path()).replace(u'/', u'\\')
                   + QStringLiteral(u"\\gone.dxf )を確かめてください（ﾌｧｲﾙがありません）！")};
    QTest::newRow("paths of another system are counted, not read")
        << QStringList{QStringLiteral("r13.dxf"), QStringLiteral("D:\\DRAW\\a.dxf"), QStringLiteral("E:\\b.dxf")} << 0
        << QStringList{QStringLiteral(
               "tessiva-batch: sources not read: 2, whose paths name no file of this system (a drive letter, say)")};
    QTest::newRow("one path of another system")
        << QStringList{QStringLiteral("r13.dxf"), QStringLiteral("D:\\DRAW\\a.dxf")} << 0
        << QStringList{QStringLiteral(
               "tessiva-batch: sources not read: 1, whose paths name no file of this system (a drive letter, say)")};
    QTest::newRow("--no-drawing-check reads none")
        << QStringList{QStringLiteral("--no-drawing-check"), QStringLiteral("gone.dxf"), QStringLiteral("plan.dxf"),
                       QStringLiteral("D:\\a.dxf")}
        << 0 << QStringList();
}

void TestDrawingCheck::sources()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QStringList, said);
    const QString batch = m_dir.filePath(QStringLiteral("JOB.BAT"));
    QFile::remove(batch);
    const Run r = run(QStringList{QStringLiteral("--report"), QStringLiteral("-o"), batch} + args);
    QCOMPARE(r.err, said.join(u'\n'));
    QCOMPARE(r.code, status);
    QCOMPARE(QFileInfo::exists(batch), status == 0);
    // A warned drawing is to be looked at in the run's report; no other is.
    const QByteArray bytes = testfiles::readAll(batch);
    const qsizetype warnings = said.filter(QStringLiteral("warning:")).size();
    if (status == 0)
        QCOMPARE(bytes.count("\x95\xcf\x8a\xb7\x8c\xb3"), warnings); // the note, "変換元…" in code page 932
    // Standard output gets nothing of a refused job.
    const Run toOutput = run(args);
    QCOMPARE(toOutput.code, status);
    QCOMPARE(toOutput.out.isEmpty(), status != 0);
}

void TestDrawingCheck::aListNamesItsLines()
{
    // A source from a list is named by its line; in Japanese on a Japanese
    // system.
    QVERIFY(testfiles::writeAll(m_dir.filePath(QStringLiteral("list.txt")), "r13.dxf\nempty.dxf\n"));
    const Run r = run({QStringLiteral("-l"), QStringLiteral("list.txt")}, QStringLiteral("ja_JP.UTF-8"));
    QCOMPARE(r.code, 12);
    QVERIFY2(r.err.startsWith(QStringLiteral(u"tessiva-batch: 'empty.dxf' (list.txt の 2 行目): 空のファイルです\n")),
             qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestDrawingCheck)
#include "tst_drawingcheck.moc"
