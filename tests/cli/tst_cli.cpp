#include "batchbytes.h"
#include "cli/batchtool.h"
#include "core/job/jobpath.h"
#include "core/text/cp932.h"
#include "smalldisk.h"
#include "testfiles.h"
#include "tooltest.h"
#include "workedexamples.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using testfiles::readAll;
using testfiles::writeAll;

// tessiva-batch as a process: its worked examples, exit statuses and
// refusals, its paths, its defaults, trees and skipping. Its files and
// lists: tst_clifiles; its help and pages: tst_clihelp. The checks and
// bytes behind it are tested in the core suites.
class TestCli : public ToolTest
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startUp()); }
    void workedExamples_data();
    void workedExamples();
    void exitStatuses_data();
    void exitStatuses();
    void refusalNamesTheSource_data();
    void refusalNamesTheSource();
    void relativePathsFromTheWorkingFolder();
    void defaultsFromTheWindowsSettings();
    void besideTheWindowInTheBuild();
    void treeAndSkipping();
};

void TestCli::workedExamples_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("R13 to R12, ASCII 6") << QStringList{QStringLiteral("--kind"), QStringLiteral("r13-r12")}
                                         << worked::r13ToR12Ascii6();
    // Keywords in any case.
    QTest::newRow("R13 to GX3, binary") << QStringList{QStringLiteral("-k"), QStringLiteral("R13-GX3"),
                                                       QStringLiteral("-f"), QStringLiteral("Binary")}
                                        << worked::r13ToGx3Binary();
    QTest::newRow("R12 to GX3, ASCII 16, blank in AutoCAD folder")
        << QStringList{QStringLiteral("-k"),  QStringLiteral("r12-gx3"), QStringLiteral("-p"),
                       QStringLiteral(" 16"), QStringLiteral("-a"),      QStringLiteral("C:\\Program Files\\ACAD")}
        << worked::r12ToGx3Ascii16ProgramFiles();
}

void TestCli::workedExamples()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, bytes);
    const QStringList args = noSettings()
        + QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT\\"), QStringLiteral("-a"),
                      QStringLiteral("C:\\ACAD\\")}
        + options + kSources;
    const ToolRun r = run(args);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, bytes);
    // The same bytes into a file.
    const QString path = m_dir.filePath(QStringLiteral("JOB.BAT"));
    QCOMPARE(run(args + QStringList{QStringLiteral("-o"), path}).code, 0);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
}

void TestCli::exitStatuses_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    const QStringList folders{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                              QStringLiteral("C:\\ACAD")};
    const QString dxf = QStringLiteral("C:\\A\\x.dxf");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--no-such-option")} << 1;
    QTest::newRow("bad precision") << folders + QStringList{QStringLiteral("-p"), QStringLiteral("19"), dxf} << 1;
    QTest::newRow("bad kind") << QStringList{QStringLiteral("-k"), QStringLiteral("r14")} << 1;
    QTest::newRow("no source") << folders << 2;
    QTest::newRow("no destination") << QStringList{dxf} << 3;
    QTest::newRow("no AutoCAD folder") << QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), dxf} << 4;
    QTest::newRow("not DXF") << folders + QStringList{QStringLiteral("C:\\A\\y.dwg")} << 5;
    QTest::newRow("same folder") << folders + QStringList{QStringLiteral("d:\\out\\x.dxf")} << 6;
    QTest::newRow("unusable text") << folders + QStringList{QStringLiteral(u"C:\\\u00e9\\x.dxf")} << 7;
    QTest::newRow("a device's name") << folders + QStringList{QStringLiteral("C:\\A\\aux.dxf")} << 7;
    QTest::newRow("a colon inside a native name") << folders + QStringList{QStringLiteral("/p/rev 10:30.dxf")} << 7;
    QTest::newRow("clash") << folders + QStringList{dxf, QStringLiteral("C:\\B\\X.DXF")} << 8;
    QTest::newRow("not .BAT") << folders + QStringList{QStringLiteral("-o"), QStringLiteral("JOB.TXT"), dxf} << 9;
    QTest::newRow("cannot save") << folders + QStringList{QStringLiteral("-o"), QStringLiteral("missing/JOB.BAT"), dxf}
                                 << 10;
    QTest::newRow("outside the tree") << folders + QStringList{QStringLiteral("--tree"), QStringLiteral("C:\\P"), dxf}
                                      << 11;
    // Sources and folders the checks used to let through.
    QTest::newRow("dot-dot out of the tree onto the destination")
        << QStringList{QStringLiteral("--tree"),
                       QStringLiteral("C:\\Draw"),
                       QStringLiteral("-d"),
                       QStringLiteral("C:\\Out"),
                       QStringLiteral("-a"),
                       QStringLiteral("C:\\ACAD"),
                       QStringLiteral("C:\\Draw\\a\\..\\..\\Out\\b\\x.dxf")}
        << 11;
    QTest::newRow("blank destination") << QStringList{QStringLiteral("-d"), QStringLiteral("   "), QStringLiteral("-a"),
                                                      QStringLiteral("C:\\ACAD"), dxf}
                                       << 3;
    QTest::newRow("blank AutoCAD folder") << QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"),
                                                         QStringLiteral("-a"), QStringLiteral(" \t "), dxf}
                                          << 4;
    QTest::newRow("source path over 259 bytes")
        << folders + QStringList{QStringLiteral("C:\\") + QString(252, u'n') + QStringLiteral(".dxf")} << 7;
    QTest::newRow("a 100,000-character name")
        << folders + QStringList{QStringLiteral("C:\\") + QString(100000, u'n') + QStringLiteral(".dxf")} << 7;
    QTest::newRow("destination path over 259 bytes")
        << QStringList{QStringLiteral("-d"), QStringLiteral("D:\\") + QString(256, u'o'), QStringLiteral("-a"),
                       QStringLiteral("C:\\ACAD"), dxf}
        << 7;
    QTest::newRow("exit status checks without skipping")
        << folders + QStringList{QStringLiteral("--check-exit-status"), dxf} << 1;
    for (const char *jobs : {"0", "17", "four", ""})
        QTest::addRow("--jobs %s", jobs) << folders + QStringList{QStringLiteral("--jobs"), QLatin1String(jobs), dxf}
                                         << 1;
}

void TestCli::exitStatuses()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    const ToolRun r = run(noSettings() + args);
    QCOMPARE(r.code, code);
    QVERIFY(r.out.isEmpty());
    QVERIFY(!r.err.isEmpty());
}

void TestCli::refusalNamesTheSource_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("err");
    const QStringList folders{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                              QStringLiteral("C:\\ACAD")};
    QTest::newRow("an argument")
        << folders + QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\A\\y.dwg")} << QByteArray()
        << QStringLiteral(u"DXFﾌｧｲﾙではありません！\ntessiva-batch: 'C:\\A\\y.dwg' (source argument 2)");
    QTest::newRow("a line of the list") << folders
            + QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("--list"), QStringLiteral("-")}
                                        << QByteArray("C:\\B\\a.dxf\n\nC:\\C\\X.dxf\n")
                                        << QStringLiteral(u"変換先ﾌｧｲﾙ( D:\\OUT\\X.DXF )が重複しています！\n"
                                                          "tessiva-batch: 'C:\\A\\x.dxf' (source argument 1)\n"
                                                          "tessiva-batch: 'C:\\C\\X.dxf' (standard input, line 3)");
    // Two drawings on a system whose names tell case apart, and two lists
    // read in order.
    QTest::newRow("names that differ only in case, from two lists")
        << folders
            + QStringList{QStringLiteral("-l"), QStringLiteral("-"), QStringLiteral("-l"), QStringLiteral("two.txt")}
        << QByteArray("/p/A/x.dxf\n/p/Plan.dxf\n")
        << QStringLiteral(u"変換先ﾌｧｲﾙ( D:\\OUT\\PLAN.DXF )が重複しています！\n"
                          "tessiva-batch: '/p/Plan.dxf' (standard input, line 2)\n"
                          "tessiva-batch: '/p/plan.dxf' (two.txt, line 1)");
    // What a hostile name would do to the terminal is shown, not done.
    QTest::newRow("control characters")
        << folders + QStringList{QStringLiteral("--list"), QStringLiteral("-")}
        << QByteArray("C:\\A\\\x1b[2Jx\rB\x7f\xc2\x85.dxf\n")
        << QStringLiteral(u"変換元ﾌｧｲﾙ( C:\\A\\\\x1b[2Jx\\x0dB\\x7f\\x85.dxf )に使用できない文字が含まれています！\n"
                          "tessiva-batch: 'C:\\A\\\\x1b[2Jx\\x0dB\\x7f\\x85.dxf' (standard input, line 1)");
    QTest::newRow("a right-to-left override")
        << folders
            + QStringList{QStringLiteral("--list-encoding"), QStringLiteral("utf-8"), QStringLiteral("--list"),
                          QStringLiteral("-")}
        << QByteArray("C:\\A\\x\xe2\x80\xaetxt.dxf\n")
        << QStringLiteral(u"変換元ﾌｧｲﾙ( C:\\A\\x\\u202etxt.dxf )に使用できない文字が含まれています！\n"
                          "tessiva-batch: 'C:\\A\\x\\u202etxt.dxf' (standard input, line 1)");
    QTest::newRow("a wildcard") << folders
            + QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\DRAW\\*.dxf")}
                                << QByteArray()
                                << QStringLiteral(u"変換元ﾌｧｲﾙ( C:\\DRAW\\*.dxf )に使用できない文字が含まれています！\n"
                                                  "tessiva-batch: 'C:\\DRAW\\*.dxf' (source argument 2)");
    // Windows would read the name's backslash as a separator.
    QTest::newRow("a backslash inside a native name")
        << folders + QStringList{QStringLiteral("--list"), QStringLiteral("-")} << QByteArray("/bs/a\\b.dxf\n")
        << QStringLiteral(u"変換元ﾌｧｲﾙ( Z:\\bs\\a/b.dxf )の「a/b.dxf」はWindowsでは別の名前になります！\n"
                          "tessiva-batch: '/bs/a\\b.dxf' (standard input, line 1)");
    // A bare relative name with a colon, as a shell's *.dxf gives it: Windows
    // would read another file on drive A:.
    QTest::newRow("a relative name with a colon")
        << folders + QStringList{QStringLiteral("a:b.dxf")} << QByteArray()
        << QStringLiteral(u"変換元ﾌｧｲﾙ( a:b.dxf )の「a:b.dxf」はWindowsでは別の名前になります！\n"
                          "tessiva-batch: 'a:b.dxf' (source argument 1)");
}

void TestCli::refusalNamesTheSource()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, list);
    QFETCH(QString, err);
    QVERIFY(writeAll(m_dir.filePath(QStringLiteral("two.txt")), "/p/plan.dxf\n/p/a/X.DXF\n"));
    const ToolRun r = run(noSettings() + args, list);
    QCOMPARE(r.err, err);
}

void TestCli::relativePathsFromTheWorkingFolder()
{
    // In a folder with sub/a.dxf: every path of the batch file is a whole
    // Z: path, and the same folder is found through a relative path too.
    const QString work = m_dir.filePath(QStringLiteral("work"));
    QVERIFY(writeAll(work + QStringLiteral("/sub/a.dxf"), QByteArray()));
    const QByteArray z = "Z:" + QDir::toNativeSeparators(m_dir.path()).replace(u'/', u'\\').toUpper().toUtf8();
    ToolRun r = run(noSettings()
                        + QStringList{QStringLiteral("-d"), QStringLiteral("../out"), QStringLiteral("-a"),
                                      QStringLiteral("C:\\ACAD"), QStringLiteral("sub/a.dxf")},
                    QByteArray(), QStringLiteral(TESSIVA_BATCH_EXE), work);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out,
             crlfLines({"C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\DXFIX13.DXT " + z + "\\WORK\\SUB\\A.DXF " + z
                        + "\\OUT\\A.DXF"}));
    r = run(noSettings()
                + QStringList{QStringLiteral("-d"), work + QStringLiteral("/sub"), QStringLiteral("-a"),
                              QStringLiteral("C:\\ACAD"), QStringLiteral("sub/a.dxf")},
            QByteArray(), QStringLiteral(TESSIVA_BATCH_EXE), work);
    QCOMPARE(r.code, 6);
    // A Windows path written with slashes.
    r = run(noSettings()
            + QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                          QStringLiteral("C:/ACAD"), QStringLiteral("C:/DRAW/A.DXF")});
    QCOMPARE(r.out, crlfLines({"C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\DXFIX13.DXT C:\\DRAW\\A.DXF D:\\OUT\\A.DXF"}));
}

void TestCli::defaultsFromTheWindowsSettings()
{
    // The window's settings file lies beside the window's executable, which
    // lies beside the tool.
    const QString bin = m_dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    const QString tool = bin + QStringLiteral("/tessiva-batch");
    QVERIFY(QFile::copy(QStringLiteral(TESSIVA_BATCH_EXE), tool));
    QVERIFY(writeAll(bin + QStringLiteral("/tessiva.ini"), "MY13.DXT\r\nMY12.DXT\r\nE:\\CONV\r\nF:\\ACAD14\\\r\n"));
    ToolRun r
        = run({QStringLiteral("-k"), QStringLiteral("r13-gx3"), QStringLiteral("C:\\A\\x.dxf")}, QByteArray(), tool);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out,
             crlfLines({"F:\\ACAD14\\DXFIX.EXE -A6 -TF:\\ACAD14\\MY13.DXT C:\\A\\X.DXF E:\\CONV\\DUMMY.DXF",
                        "F:\\ACAD14\\DXFIX.EXE -A6 -TF:\\ACAD14\\MY12.DXT E:\\CONV\\DUMMY.DXF E:\\CONV\\X.DXF",
                        "DEL E:\\CONV\\DUMMY.DXF"}));
    // A settings file named on the command line that is missing is no
    // silent fallback.
    r = run({QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("gone.ini")), QStringLiteral("C:\\A\\x.dxf")},
            QByteArray(), tool);
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.startsWith(QStringLiteral("tessiva-batch: cannot read the settings file ")));
}

void TestCli::besideTheWindowInTheBuild()
{
    // So that the settings the window stores in the build are the tool's
    // defaults there too.
    QCOMPARE(QFileInfo(QStringLiteral(TESSIVA_BATCH_EXE)).absolutePath(),
             QFileInfo(QStringLiteral(TESSIVA_WINDOW_EXE)).absolutePath());
}

void TestCli::treeAndSkipping()
{
    const QString tree = m_dir.filePath(QStringLiteral("project"));
    QVERIFY(writeAll(tree + QStringLiteral("/floor 1/plan.dxf"), QByteArray()));
    QVERIFY(writeAll(tree + QStringLiteral("/floor2/plan.dxf"), QByteArray()));
    const QStringList job = noSettings()
        + QStringList{QStringLiteral("-d"),
                      QStringLiteral("D:\\OUT"),
                      QStringLiteral("-a"),
                      QStringLiteral("C:\\ACAD"),
                      QStringLiteral("project/floor 1/plan.dxf"),
                      QStringLiteral("project/floor2/plan.dxf")};
    // Without --tree, one name in two folders is a clash.
    QCOMPARE(run(job).code, 8);
    const ToolRun r = run(
        job + QStringList{QStringLiteral("--tree"), QStringLiteral("project"), QStringLiteral("--skip-existing")});
    QCOMPARE(r.code, 0);
    // The bytes are the composer's for the job the options name.
    const jobpath::Style style = jobpath::hostStyle();
    ConversionJob expected = exampleJob(BatchKind::R13ToR12);
    expected.treeRoot = jobpath::folderToJob(tree, style);
    expected.sources = {jobpath::toJob(tree + QStringLiteral("/floor 1/plan.dxf"), style),
                        jobpath::toJob(tree + QStringLiteral("/floor2/plan.dxf"), style)};
    expected.skipExisting = true;
    QCOMPARE(r.out, batchFileBytes(expected));
    const QStringList skipping{QStringLiteral("--tree"), QStringLiteral("project"), QStringLiteral("--skip-existing")};
    const ToolRun checked = run(job + skipping + QStringList{QStringLiteral("--check-exit-status")});
    QCOMPARE(checked.code, 0);
    expected.checkExitStatus = true;
    QCOMPARE(checked.out, batchFileBytes(expected));
    // One converter at a time is today's batch file, byte for byte.
    QCOMPARE(run(job + skipping + QStringList{QStringLiteral("--jobs"), QStringLiteral("1")}).out, r.out);
    const ToolRun parallel
        = run(job + skipping
              + QStringList{QStringLiteral("--jobs"), QStringLiteral("4"), QStringLiteral("--check-exit-status")});
    QCOMPARE(parallel.code, 0);
    expected.jobs = 4;
    QCOMPARE(parallel.out, batchFileBytes(expected));

    // In a folder reached through a link, "$PWD" as the root and relative
    // sources name the same folders.
    const QString link = m_dir.filePath(QStringLiteral("through-a-link"));
    QVERIFY(QFile::link(tree, link));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PWD"), link);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(link);
    p.start(QStringLiteral(TESSIVA_BATCH_EXE),
            noSettings()
                + QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                              QStringLiteral("C:\\ACAD"), QStringLiteral("--tree"), link, QStringLiteral("-l"),
                              QStringLiteral("-")});
    p.write("./floor 1/plan.dxf\nfloor2/plan.dxf\n");
    p.closeWriteChannel();
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
