#include "cli/batchtool.h"
#include "core/text/cp932.h"
#include "smalldisk.h"
#include "testfiles.h"
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

namespace {
struct ToolRun
{
    int code = -1;
    QByteArray out;
    QString err;
};

const QStringList kSources{QStringLiteral("C:\\DRAW\\plan1.dxf"), QStringLiteral("C:\\My Work\\site b.DXF")};

} // namespace

// tessiva-batch as a process: its exit statuses, what it says, its paths
// and lists. The checks and bytes behind it are tested in the core suites.
class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void workedExamples_data();
    void workedExamples();
    void exitStatuses_data();
    void exitStatuses();
    void refusalNamesTheSource_data();
    void refusalNamesTheSource();
    void relativePathsFromTheWorkingFolder();
    void failedWritesSayWhy();
    void fullDiskKeepsTheOldFile();
    void standardOutputThatCannotBeWritten();
    void defaultsFromTheWindowsSettings();
    void besideTheWindowInTheBuild();
    void listEncodings_data();
    void listEncodings();
    void listsThatCannotBeRead_data();
    void listsThatCannotBeRead();
    void settingsAsGiven_data();
    void settingsAsGiven();
    void filesOfOtherKinds_data();
    void filesOfOtherKinds();
    void helpFitsTheConsole_data();
    void helpFitsTheConsole();
    void windowWithoutADisplay_data();
    void windowWithoutADisplay();
    void treeAndSkipping();
    void helpAndVersion();
    void wordsInTheSystemsLanguage_data();
    void wordsInTheSystemsLanguage();
    void manualPagesRenderCleanly_data();
    void manualPagesRenderCleanly();
    void manualPagesAgreeWithTheTool_data();
    void manualPagesAgreeWithTheTool();

private:
    ToolRun run(const QStringList &args, const QByteArray &input = QByteArray(),
                const QString &program = QStringLiteral(TESSIVA_BATCH_EXE), const QString &workingFolder = QString());
    // Runs `shell` in bash with the tool and `arguments` as "$@", in the
    // test's folder, or in a new folder `ownFolder`-TAG for the data row.
    ToolRun runInShell(const QString &shell, const QStringList &arguments, const QString &ownFolder = QString());
    // No settings file, and no source read: the sources of these runs are
    // paths and files made for what each case is about, not drawings
    // (tst_drawingcheck reads them).
    QStringList noSettings() const
    {
        return {QStringLiteral("--settings"), m_none, QStringLiteral("--no-drawing-check")};
    }
    QTemporaryDir m_dir;
    QString m_none;
    QString m_locale = QStringLiteral("C.UTF-8");
};

void TestCli::initTestCase()
{
    // An empty settings file, so that no developer's settings get in.
    m_none = m_dir.filePath(QStringLiteral("none.ini"));
    QVERIFY(writeAll(m_none, QByteArray()));
}

ToolRun TestCli::run(const QStringList &args, const QByteArray &input, const QString &program,
                     const QString &workingFolder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("xdg")));
    env.insert(QStringLiteral("LC_ALL"), m_locale);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workingFolder.isEmpty() ? m_dir.path() : workingFolder);
    p.start(program, args);
    if (!p.waitForStarted())
        return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

ToolRun TestCli::runInShell(const QString &shell, const QStringList &arguments, const QString &ownFolder)
{
    QString folder;
    if (!ownFolder.isEmpty()) {
        folder = m_dir.filePath(ownFolder + u'-' + QString::fromLatin1(QTest::currentDataTag()));
        if (!QDir().mkpath(folder))
            return {};
    }
    return run(QStringList{QStringLiteral("-c"), shell, QStringLiteral("bash"), QStringLiteral(TESSIVA_BATCH_EXE)}
                   + arguments,
               QByteArray(), QStringLiteral("/bin/bash"), folder);
}

void TestCli::workedExamples_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("R13 to R12, ASCII 6") << QStringList{QStringLiteral("--kind"), QStringLiteral("r13-r12")}
                                         << worked::r13ToR12Ascii6();
    QTest::newRow("R13 to GX3, binary") << QStringList{QStringLiteral("-k"), QStringLiteral("r13-gx3"),
                                                       QStringLiteral("-f"), QStringLiteral("binary")}
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

void TestCli::failedWritesSayWhy()
{
    const QString missing = QStringLiteral("missing/JOB.BAT");
    const ToolRun r
        = run(noSettings()
              + QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                            QStringLiteral("C:\\ACAD"), QStringLiteral("-o"), missing, QStringLiteral("C:\\A\\x.dxf")});
    QCOMPARE(r.code, 10);
    QCOMPARE(r.err,
             QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = missing/JOB.BATを保存できません！\n"
                            "tessiva-batch: No such file or directory"));
}

void TestCli::fullDiskKeepsTheOldFile()
{
    const QString mount = m_dir.filePath(QStringLiteral("full"));
    SmallDisk disk(mount, 64);
    if (!disk.mounted())
        QSKIP(qPrintable(disk.why));
    const QString path = mount + QStringLiteral("/OLD.BAT");
    QVERIFY(writeAll(path, "REM old\r\n"));
    QVERIFY(disk.fill(0));
    const ToolRun r
        = run(noSettings()
              + QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                            QStringLiteral("C:\\ACAD"), QStringLiteral("C:\\SRV\\A.DXF"), QStringLiteral("-o"), path});
    QCOMPARE(r.code, 10);
    QVERIFY2(r.err.endsWith(QStringLiteral("tessiva-batch: No space left on device")), qPrintable(r.err));
    QCOMPARE(readAll(path), QByteArray("REM old\r\n"));
}

void TestCli::standardOutputThatCannotBeWritten()
{
    // A full disk: the system's reason, and exit 10.
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
    p.start(QStringLiteral(TESSIVA_BATCH_EXE),
            noSettings()
                + QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                              QStringLiteral("C:\\ACAD"), QStringLiteral("C:\\A\\x.dxf")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 10);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()).trimmed(),
             QStringLiteral("tessiva-batch: cannot write standard output: No space left on device"));
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

void TestCli::listEncodings_data()
{
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("source");
    const QByteArray sjis = cp932::encode(QStringLiteral(u"C:\\計画\\a.dxf"));
    // 陦ｨ in code page 932 is 0xE8 0xA1 0xA8, which reads as UTF-8 too (表).
    const QByteArray bothWays = cp932::encode(QStringLiteral(u"C:\\陦ｨ\\b.dxf"));
    QVERIFY(QByteArrayView(bothWays).isValidUtf8());
    // One encoding for the whole list: a line that alone reads as UTF-8
    // is read as code page 932 with the rest.
    QTest::newRow("auto: a list of code page 932")
        << QStringLiteral("auto") << QByteArray("C:\\\xe8\xa1\xa8\\u.dxf\r\n") + sjis + "\r\n"
        << 0 << QStringLiteral(u"C:\\陦ｨ\\U.DXF");
    QTest::newRow("auto: text of both, read as other names")
        << QStringLiteral("auto") << QByteArray("C:\\x\\u.dxf\r\nC:\\LST\\\xc3\xb7.DXF\r\n") << 1
        << QStringLiteral(
               u"standard input, line 2 reads as \"C:\\LST\\÷.DXF\" in UTF-8 and as \"C:\\LST\\ﾃｷ.DXF\" in "
               u"code page 932: name the list's encoding with --list-encoding utf-8 or --list-encoding cp932");
    QTest::newRow("auto: a line of each")
        << QStringLiteral("auto") << QByteArray("C:\\\xe3\x81\x82.dxf\nC:\\\xb1.dxf\n") << 1
        << QStringLiteral("standard input is not in one encoding: line 2 is not UTF-8 text, line 1 not code page 932 "
                          "text (see --list-encoding)");
    QTest::newRow("auto: the code page 932 line")
        << QStringLiteral("auto") << "C:\\x\\u.dxf\n" + sjis << 0 << QStringLiteral(u"C:\\計画\\A.DXF");
    QTest::newRow("cp932 named") << QStringLiteral("cp932") << bothWays << 0 << QStringLiteral(u"C:\\陦ｨ\\B.DXF");
    QTest::newRow("utf-8 named, a line that is not") << QStringLiteral("utf-8") << "C:\\x\\u.dxf\n" + sjis << 1
                                                     << QStringLiteral("standard input, line 2: not UTF-8 text");
    QTest::newRow("Shift_JIS, another name in another case")
        << QStringLiteral("Shift_JIS") << bothWays << 0 << QStringLiteral(u"C:\\陦ｨ\\B.DXF");
    QTest::newRow("UTF8 names UTF-8") << QStringLiteral("UTF8") << "C:\\x\\u.dxf\n" + sjis << 1
                                      << QStringLiteral("standard input, line 2: not UTF-8 text");
    QTest::newRow("an unknown name, the names shown")
        << QStringLiteral("latin1") << QByteArray() << 1
        << QStringLiteral("unknown list encoding 'latin1' (auto, utf-8 or cp932)");
    QTest::newRow("utf-8 named, the first line not") << QStringLiteral("utf-8") << sjis + "\nC:\\x\\u.dxf\n"
                                                     << 1 << QStringLiteral("standard input, line 1: not UTF-8 text");
    QTest::newRow("auto, a line of neither")
        << QStringLiteral("auto") << QByteArray("C:\\x\\u.dxf\n\n\x81\n") << 1
        << QStringLiteral("standard input, line 3: not UTF-8 or code page 932 text");
}

void TestCli::listEncodings()
{
    QFETCH(QString, encoding);
    QFETCH(QByteArray, list);
    QFETCH(int, code);
    QFETCH(QString, source);
    const ToolRun r = run(noSettings()
                              + QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                                            QStringLiteral("C:\\ACAD"), QStringLiteral("--list-encoding"), encoding,
                                            QStringLiteral("-l"), QStringLiteral("-")},
                          list);
    QCOMPARE(r.code, code);
    if (code == 0)
        QVERIFY2(cp932::decode(r.out).contains(source), r.out.constData());
    else
        QVERIFY2(r.err.contains(source), qPrintable(r.err));
}

void TestCli::listsThatCannotBeRead_data()
{
    // A list that cannot be read to its end is never taken as a shorter
    // one: the run ends with status 1 and the reason.
    QTest::addColumn<QString>("shell"); // how the tool is started, its arguments as "$@"
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder") << QStringLiteral("exec \"$@\" -l \"$PWD\"") << m_dir.path()
                              << QStringLiteral("directory");
    QTest::newRow("a folder as standard input") << QStringLiteral("exec \"$@\" -l - < \"$PWD\"")
                                                << QStringLiteral("standard input") << QStringLiteral("Is a directory");
    QTest::newRow("standard input closed") << QStringLiteral("exec \"$@\" -l - <&-") << QStringLiteral("standard input")
                                           << QStringLiteral("Bad file descriptor");
    // A list that never ends, or longer than the tool reads: refused before
    // it fills the memory.
    QTest::newRow("a list that never ends") << QStringLiteral("exec \"$@\" -l /dev/zero") << QStringLiteral("/dev/zero")
                                            << QStringLiteral("longer than 256 MiB");
    QTest::newRow("standard input that never ends")
        << QStringLiteral("exec \"$@\" -l - < /dev/zero") << QStringLiteral("standard input")
        << QStringLiteral("longer than 256 MiB");
    // A disk that fails after the list's first bytes were read (leak
    // checking, in the sanitizer build, cannot run under ptrace).
    if (!QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
        QTest::newRow("a read that fails half-way")
            << QStringLiteral("ASAN_OPTIONS=detect_leaks=0 exec strace -o /dev/null -P \"$PWD/long.txt\" -e trace=read "
                              "-e inject=read:error=EIO:when=2 \"$@\" -l long.txt")
            << QStringLiteral("long.txt") << QStringLiteral("Input/output error");
}

void TestCli::listsThatCannotBeRead()
{
    QFETCH(QString, shell);
    QFETCH(QString, list);
    QFETCH(QString, reason);
    QByteArray lines;
    for (int i = 0; i < 20000; ++i)
        lines += "C:\\DRAWINGS\\" + QByteArray::number(i).rightJustified(6, '0') + ".dxf\n";
    QVERIFY(writeAll(m_dir.filePath(QStringLiteral("long.txt")), lines));
    const ToolRun r
        = runInShell(shell,
                     noSettings()
                         + QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                                       QStringLiteral("C:\\ACAD"), QStringLiteral("-o"), QStringLiteral("R.BAT")});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(QStringLiteral("tessiva-batch: cannot read the list ")) && r.err.contains(reason),
             qPrintable(r.err));
    QVERIFY(r.err.contains(list));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("R.BAT"))));
}

void TestCli::settingsAsGiven_data()
{
    // The settings file given is read, a pipe included, or the run ends
    // with status 1 and the reason; never passed over for the defaults.
    QTest::addColumn<QString>("shell"); // the tool is "$@"
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("said"); // on standard output, or standard error
    const QString settings
        = QStringLiteral("printf 'P13.DXT\\r\\nP12.DXT\\r\\nD:\\\\OUT\\\\\\r\\nC:\\\\ACAD\\\\\\r\\n'");
    const QString converted = QStringLiteral("C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\P13.DXT C:\\D\\A.DXF D:\\OUT\\A.DXF");
    QTest::newRow("a pipe of the shell's")
        << QStringLiteral("exec \"$@\" --settings <(%1)").arg(settings) << 0 << converted;
    QTest::newRow("standard input") << QStringLiteral("%1 | exec \"$@\" --settings /dev/stdin").arg(settings) << 0
                                    << converted;
    QTest::newRow("a named pipe")
        << QStringLiteral("mkfifo s.ini && { %1 > s.ini & } && exec \"$@\" --settings s.ini").arg(settings) << 0
        << converted;
    QTest::newRow("a folder") << QStringLiteral("exec \"$@\" --settings \"$PWD\"") << 1
                              << QStringLiteral("it is a folder");
    QTest::newRow("a missing file") << QStringLiteral("exec \"$@\" --settings missing.ini") << 1
                                    << QStringLiteral("No such file");
}

void TestCli::settingsAsGiven()
{
    QFETCH(QString, shell);
    QFETCH(int, code);
    QFETCH(QString, said);
    const ToolRun r = runInShell(shell, {QStringLiteral("C:\\D\\a.dxf")}, QStringLiteral("settings"));
    QCOMPARE(r.code, code);
    QVERIFY2((code == 0 ? QString::fromLatin1(r.out) : r.err).contains(said), qPrintable(r.err));
}

void TestCli::filesOfOtherKinds_data()
{
    QTest::addColumn<QString>("shell"); // the tool is "$@", in a folder of its own
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err"); // what standard error says, in part
    QTest::newRow("a link to a terminal, without one")
        << QStringLiteral("ln -s /dev/tty tty.bat && exec setsid \"$@\" -o tty.bat") << 10
        << QStringLiteral("tessiva-batch: No such device or address");
    if (!QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
        QTest::newRow("a file system that keeps no modes") << QStringLiteral(
            "printf old > OLD.BAT && ASAN_OPTIONS=detect_leaks=0 exec strace -o /dev/null -e trace=fchmod "
            "-e inject=fchmod:error=ENOSYS \"$@\" -o OLD.BAT")
                                                           << 0 << QString();
    // A disk that cannot flush what was written: no save is reported until
    // the bytes are on the disk, so the old file stays and no new one
    // appears (status 99 when either is not so).
    if (!QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty()) {
        const QString unflushed
            = QStringLiteral("ASAN_OPTIONS=detect_leaks=0 strace -f -o /dev/null -e trace=fdatasync "
                             "-e inject=fdatasync:error=EIO \"$@\" -o %1.BAT; s=$?; %2 || s=99; exit $s");
        QTest::newRow("a disk that cannot flush, a file replaced")
            << QStringLiteral("printf old > OLD.BAT && ")
                + unflushed.arg(QStringLiteral("OLD"), QStringLiteral("[ \"$(cat OLD.BAT)\" = old ]"))
            << 10 << QStringLiteral("tessiva-batch: Input/output error");
        QTest::newRow("a disk that cannot flush, a new file")
            << unflushed.arg(QStringLiteral("NEW"), QStringLiteral("[ ! -e NEW.BAT ]")) << 10
            << QStringLiteral("tessiva-batch: Input/output error");
    }
}

void TestCli::filesOfOtherKinds()
{
    QFETCH(QString, shell);
    QFETCH(int, code);
    QFETCH(QString, err);
    const ToolRun r
        = runInShell(shell,
                     noSettings()
                         + QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                                       QStringLiteral("C:\\ACAD"), QStringLiteral("C:\\A\\x.dxf")},
                     QStringLiteral("kinds"));
    QVERIFY2(r.code == code, qPrintable(r.err));
    QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.endsWith(err), qPrintable(r.err));
}

void TestCli::helpFitsTheConsole_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("sources"); // the usage's last word
    QTest::newRow("English") << QStringLiteral("C.UTF-8") << QStringLiteral("[source...]");
    QTest::newRow("Japanese") << QStringLiteral("ja_JP.UTF-8") << QStringLiteral(u"[変換元...]");
}

void TestCli::helpFitsTheConsole()
{
    // At every width a console may have, every line within it, a Japanese
    // character taking two columns as in a code page 932 console; each
    // exit status on a line of its own number; the placeholders in the
    // help's language.
    QFETCH(QString, locale);
    QFETCH(QString, sources);
    m_locale = locale;
    for (int columns = 40; columns <= 130; ++columns) {
        qputenv("COLUMNS", QByteArray::number(columns));
        const ToolRun r = run({QStringLiteral("--help")});
        QCOMPARE(r.code, 0);
        const QStringList lines = QString::fromUtf8(r.out).split(u'\n');
        for (const QString &line : lines)
            QVERIFY2(cp932::encode(line).size() < columns, qPrintable(QStringLiteral("%1: %2").arg(columns).arg(line)));
        static const QRegularExpression status(QStringLiteral("^ {2,3}(\\d+)  \\S"));
        QStringList numbers;
        for (const QString &line : lines) {
            if (const QRegularExpressionMatch m = status.match(line); m.hasMatch())
                numbers << m.captured(1);
        }
        QCOMPARE(numbers.size(), 13);
        const QString usage = QString::fromUtf8(r.out).section(u'\n', 0, 1);
        QVERIFY2(usage.contains(sources), qPrintable(usage));
    }
    m_locale = QStringLiteral("C.UTF-8");
    qunsetenv("COLUMNS");
}

void TestCli::windowWithoutADisplay_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("display"); // empty: not set
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("platform"); // QT_QPA_PLATFORM, or none
    // A display no X server serves.
    int free = 55;
    while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(free)))
        ++free;
    const QString unreachable = QStringLiteral(":%1").arg(free);
    const QString english = QStringLiteral("tessiva: there is no display to show the window on (%1). "
                                           "Start Tessiva in a desktop session.\n");
    const QString japanese = QStringLiteral(u"tessiva: ウィンドウを表示するディスプレイがありません（%1）。"
                                            u"デスクトップのセッションで起動してください。\n");
    QTest::newRow("not set") << QStringLiteral("C.UTF-8") << QString()
                             << english.arg(QStringLiteral("DISPLAY is not set")) << QString();
    QTest::newRow("one that cannot be reached")
        << QStringLiteral("C.UTF-8") << unreachable
        << english.arg(QStringLiteral("DISPLAY=%1 cannot be reached").arg(unreachable)) << QString();
    QTest::newRow("not set, in Japanese") << QStringLiteral("ja_JP.UTF-8") << QString()
                                          << japanese.arg(QStringLiteral(u"DISPLAY が設定されていません")) << QString();
    QTest::newRow("one that cannot be reached, in Japanese")
        << QStringLiteral("ja_JP.UTF-8") << unreachable
        << japanese.arg(QStringLiteral(u"DISPLAY=%1 に接続できません").arg(unreachable)) << QString();
    // The X server's platform asked for by name says the same.
    QTest::newRow("QT_QPA_PLATFORM=xcb, not set, in Japanese")
        << QStringLiteral("ja_JP.UTF-8") << QString() << japanese.arg(QStringLiteral(u"DISPLAY が設定されていません"))
        << QStringLiteral("xcb");
    QTest::newRow("QT_QPA_PLATFORM=xcb with options, cannot be reached")
        << QStringLiteral("C.UTF-8") << unreachable
        << english.arg(QStringLiteral("DISPLAY=%1 cannot be reached").arg(unreachable))
        << QStringLiteral("xcb:nomitshm");
    // Whatever the toolkit cannot open: a screen the X server does not
    // have ("SCREEN": a real server's display, screen 5), Wayland without
    // its plugin, a platform of another name.
    QTest::newRow("a screen the server does not have, in Japanese")
        << QStringLiteral("ja_JP.UTF-8") << QStringLiteral("SCREEN")
        << japanese.arg(QStringLiteral(u"DISPLAY=SCREEN に接続できません")) << QString();
    QTest::newRow("Wayland without its plugin, in Japanese")
        << QStringLiteral("ja_JP.UTF-8") << QStringLiteral("WAYLAND")
        << japanese.arg(QStringLiteral(u"WAYLAND_DISPLAY=wayland-9 に接続できません")) << QString();
    QTest::newRow("a platform of another name")
        << QStringLiteral("C.UTF-8") << QString() << english.arg(QStringLiteral("nonesuch cannot be opened"))
        << QStringLiteral("nonesuch");
}

void TestCli::windowWithoutADisplay()
{
    // The window says what is missing, in the user's language and with no
    // developer's command in it, and ends with 1, as the toolkit would
    // abort with a core dump.
    QFETCH(QString, locale);
    QFETCH(QString, display);
    QFETCH(QString, said);
    QFETCH(QString, platform);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    QProcess server;
    if (display == QLatin1String("SCREEN")) {
        // An X server of the test's own, which has one screen.
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            QSKIP("Xvfb is not installed");
        server.start(
            xvfb,
            {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(server.waitForReadyRead(30000));
        display = QStringLiteral(":%1.5").arg(QString::fromLatin1(server.readAllStandardOutput()).trimmed());
        said.replace(QStringLiteral("SCREEN"), display);
    } else if (display == QLatin1String("WAYLAND")) {
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-9"));
        display.clear();
    }
    const auto stopServer = qScopeGuard([&server] {
        server.kill();
        server.waitForFinished();
    });
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    if (!platform.isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    env.insert(QStringLiteral("LC_ALL"), locale);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TESSIVA_WINDOW_EXE), {});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 1);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()), said);
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
    // The bytes are the composer's; here, that the options reach it.
    QVERIFY(r.out.contains("\r\nIF NOT EXIST D:\\OUT\\ MD D:\\OUT\r\n"));
    QVERIFY(r.out.contains("FOR %%F IN (\"D:\\OUT\\FLOOR 1\\PLAN.DXF\") DO @SET \"TESSIVA_A=%%~aF\"\r\n"));
    QVERIFY(r.out.contains("MOVE /Y D:\\OUT\\~TESSIVA~\\DRAWING.DXF D:\\OUT\\FLOOR2\\PLAN.DXF >NUL& "));
    QVERIFY(!r.out.contains("IF ERRORLEVEL 1"));
    const ToolRun checked
        = run(job
              + QStringList{QStringLiteral("--tree"), QStringLiteral("project"), QStringLiteral("--skip-existing"),
                            QStringLiteral("--check-exit-status")});
    QCOMPARE(checked.code, 0);
    QVERIFY(checked.out.contains("@(IF ERRORLEVEL 1 GOTO FAILED2)"));
    // One converter at a time is today's batch file, byte for byte; more
    // reports the run, and checks the exit status when asked.
    const QStringList skipping{QStringLiteral("--tree"), QStringLiteral("project"), QStringLiteral("--skip-existing")};
    QCOMPARE(run(job + skipping + QStringList{QStringLiteral("--jobs"), QStringLiteral("1")}).out, r.out);
    const ToolRun parallel
        = run(job + skipping
              + QStringList{QStringLiteral("--jobs"), QStringLiteral("4"), QStringLiteral("--check-exit-status")});
    QCOMPARE(parallel.code, 0);
    QVERIFY(parallel.out.contains("SET \"TESSIVA_REPORT=%~dpn0.LOG\""));
    QVERIFY(
        parallel.out.contains("START \"\" /B \"%TESSIVA_SYSTEM%\\cmd.exe\" /D /C .\\WORKER.BAT TESSIVA_WORKER 4 <NUL"));

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

void TestCli::helpAndVersion()
{
    ToolRun r = run({QStringLiteral("--help")});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.startsWith("Usage: tessiva-batch [options] [source...]\n"));
    for (const char *text : {"--output <file>", "--tree <root>", "--skip-existing", "--list-encoding",
                             "Exit status:", "code page 932", "control character", "no Windows name"})
        QVERIFY2(r.out.contains(text), text);
    r = run({QStringLiteral("--version")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("tessiva-batch " TESSIVA_VERSION "\n"));
    r = run({QStringLiteral("--no-such-option")});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("--help")));
}

void TestCli::wordsInTheSystemsLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("words"); // what standard output or error holds
    const QStringList folders{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"),
                              QStringLiteral("C:\\ACAD")};
    QTest::newRow("help") << QStringLiteral("C.UTF-8") << QStringList{QStringLiteral("--help")}
                          << QStringLiteral("Exit status:");
    QTest::newRow("help, Japanese") << QStringLiteral("ja_JP.UTF-8") << QStringList{QStringLiteral("--help")}
                                    << QStringLiteral(u"終了ステータス:");
    QTest::newRow("usage error, Japanese")
        << QStringLiteral("ja_JP.UTF-8") << QStringList{QStringLiteral("-k"), QStringLiteral("r14")}
        << QStringLiteral(u"変換の種類 'r14' はありません");
    QTest::newRow("the toolkit's own, Japanese")
        << QStringLiteral("ja_JP.UTF-8") << QStringList{QStringLiteral("--bogus")}
        << QStringLiteral(u"未知のオプション");
    // The refusals are the window's texts, whatever the language.
    QTest::newRow("a refusal") << QStringLiteral("C.UTF-8") << folders + QStringList{QStringLiteral("C:\\A\\x.dwg")}
                               << QStringLiteral(
                                      u"DXFﾌｧｲﾙではありません！\ntessiva-batch: 'C:\\A\\x.dwg' (source argument 1)");
    QTest::newRow("a refusal, Japanese")
        << QStringLiteral("ja_JP.UTF-8") << folders + QStringList{QStringLiteral("C:\\A\\x.dwg")}
        << QStringLiteral(u"DXFﾌｧｲﾙではありません！\ntessiva-batch: 'C:\\A\\x.dwg' (変換元の引数 1)");
}

void TestCli::wordsInTheSystemsLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, args);
    QFETCH(QString, words);
    m_locale = locale;
    const ToolRun r = run(noSettings() + args);
    m_locale = QStringLiteral("C.UTF-8");
    QVERIFY2(QString::fromUtf8(r.out).contains(words) || r.err.contains(words), qPrintable(r.err));
}

void TestCli::manualPagesRenderCleanly_data()
{
    // Every page without a warning in the locales a machine may run man
    // in; the English pages in plain ASCII, so that a C locale draws them
    // whole.
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("locale");
    for (const char *page : {"tessiva.1", "tessiva-batch.1"}) {
        for (const char *locale : {"C", "C.UTF-8", "ja_JP.UTF-8"})
            QTest::addRow("%s, %s", page, locale) << QString::fromLatin1(page) << QString::fromLatin1(locale);
        for (const char *locale : {"C.UTF-8", "ja_JP.UTF-8"})
            QTest::addRow("ja/%s, %s", page, locale)
                << QStringLiteral("ja/") + QString::fromLatin1(page) << QString::fromLatin1(locale);
    }
}

void TestCli::manualPagesRenderCleanly()
{
    QFETCH(QString, page);
    QFETCH(QString, locale);
    QFile file(QStringLiteral(TESSIVA_SOURCE_DIR "/docs/") + page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    if (!page.startsWith(QLatin1String("ja/"))) {
        const QByteArray troff = file.readAll();
        const auto nonAscii = std::find_if(troff.begin(), troff.end(), [](char c) { return uchar(c) >= 0x80; });
        QVERIFY2(nonAscii == troff.end(), troff.mid(troff.lastIndexOf('\n', nonAscii - troff.begin()) + 1, 80));
    }
    if (QStandardPaths::findExecutable(QStringLiteral("man")).isEmpty())
        QFAIL("man is not installed (Debian: man-db)");
    // Only what the page needs from the environment: the locale (from the
    // tests' own locales where the system has none of that name) and the
    // width.
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("HOME"), m_dir.path());
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("LOCPATH"), QStringLiteral(TESSIVA_TEST_LOCALES));
    env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
    QProcess man;
    man.setProcessEnvironment(env);
    man.start(QStringLiteral("man"), {QStringLiteral("--warnings"), QStringLiteral("-l"), file.fileName()});
    QVERIFY(man.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(man.readAllStandardError()), QString());
    QCOMPARE(man.exitCode(), 0);
    QVERIFY(man.readAllStandardOutput().contains("TESSIVA"));
}

void TestCli::manualPagesAgreeWithTheTool_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("locale"); // of the help it agrees with
    QTest::addColumn<QString>("statusSection");
    QTest::newRow("English") << QStringLiteral("tessiva-batch.1") << QStringLiteral("C.UTF-8")
                             << QStringLiteral(".SH \"EXIT STATUS\"");
    QTest::newRow("Japanese") << QStringLiteral("ja/tessiva-batch.1") << QStringLiteral("ja_JP.UTF-8")
                              << QStringLiteral(u".SH 終了ステータス");
}

void TestCli::manualPagesAgreeWithTheTool()
{
    QFETCH(QString, page);
    QFETCH(QString, locale);
    QFETCH(QString, statusSection);
    QFile file(QStringLiteral(TESSIVA_SOURCE_DIR "/docs/") + page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString troff = QString::fromUtf8(file.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
    // Every option of --help has its entry in the page.
    m_locale = locale;
    const QString help = QString::fromUtf8(run({QStringLiteral("--help")}).out);
    m_locale = QStringLiteral("C.UTF-8");
    static const QRegularExpression longOption(QStringLiteral("--[a-z0-9-]+"));
    for (auto it = longOption.globalMatch(help); it.hasNext();) {
        const QString option = it.next().captured();
        QVERIFY2(troff.contains(option), qPrintable(option));
    }
    // The exit statuses of the page, of --help and of the tool's own table
    // are the same ones, in the same order.
    const qsizetype statusStart = troff.indexOf(statusSection);
    QVERIFY(statusStart >= 0);
    const QString statusText
        = troff.mid(statusStart, troff.indexOf(QStringLiteral("\n.SH"), statusStart + 1) - statusStart);
    static const QRegularExpression pageStatus(QStringLiteral("^\\.TP\\n\\.B (\\d+)$"),
                                               QRegularExpression::MultilineOption);
    static const QRegularExpression helpStatus(QStringLiteral("^ {2,4}(\\d+)  \\S"),
                                               QRegularExpression::MultilineOption);
    const auto codesOf = [](const QRegularExpression &pattern, const QString &text) {
        QList<int> codes;
        for (auto it = pattern.globalMatch(text); it.hasNext();)
            codes << it.next().captured(1).toInt();
        return codes;
    };
    QCOMPARE(codesOf(pageStatus, statusText), batchtool::exitCodes());
    QCOMPARE(codesOf(helpStatus, help.mid(help.lastIndexOf(QStringLiteral("\n\n")))), batchtool::exitCodes());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
