#include "cli/batchtool.h"
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

// tessiva-batch as a process, with what it reads and writes: writes that
// fail, full disks, standard output, lists and their encodings, settings
// files, files of other kinds.
class TestCliFiles : public ToolTest
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startUp()); }
    void failedWritesSayWhy();
    void fullDiskKeepsTheOldFile();
    void standardOutputThatCannotBeWritten();
    void listEncodings_data();
    void listEncodings();
    void listsThatCannotBeRead_data();
    void listsThatCannotBeRead();
    void settingsAsGiven_data();
    void settingsAsGiven();
    void filesOfOtherKinds_data();
    void filesOfOtherKinds();
};

void TestCliFiles::failedWritesSayWhy()
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

void TestCliFiles::fullDiskKeepsTheOldFile()
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

void TestCliFiles::standardOutputThatCannotBeWritten()
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

void TestCliFiles::listEncodings_data()
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

void TestCliFiles::listEncodings()
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

void TestCliFiles::listsThatCannotBeRead_data()
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

void TestCliFiles::listsThatCannotBeRead()
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

void TestCliFiles::settingsAsGiven_data()
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

void TestCliFiles::settingsAsGiven()
{
    QFETCH(QString, shell);
    QFETCH(int, code);
    QFETCH(QString, said);
    const ToolRun r = runInShell(shell, {QStringLiteral("C:\\D\\a.dxf")}, QStringLiteral("settings"));
    QCOMPARE(r.code, code);
    QVERIFY2((code == 0 ? QString::fromLatin1(r.out) : r.err).contains(said), qPrintable(r.err));
}

void TestCliFiles::filesOfOtherKinds_data()
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

void TestCliFiles::filesOfOtherKinds()
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

QTEST_GUILESS_MAIN(TestCliFiles)
#include "tst_clifiles.moc"
