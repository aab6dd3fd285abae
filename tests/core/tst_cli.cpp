#include "core/cp932.h"
#include "workedexamples.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Result
{
    int code = -1;
    QByteArray out;
    QString err;
};


const QStringList kSources{QStringLiteral("C:\\DRAW\\plan1.dxf"), QStringLiteral("C:\\My Work\\site b.DXF")};
} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples_data();
    void workedExamples();
    void refusals_data();
    void refusals();
    void writesTheOutputFile();
    void outputRefusals();
    void listFromFileAndStdin();
    void defaultsFromTheWindowsSettings();
    void helpAndVersion();

private:
    Result run(const QStringList &args, const QByteArray &input = QByteArray(),
               const QString &program = QStringLiteral(TESSIVA_BATCH_EXE));
    QTemporaryDir m_dir;
};

Result TestCli::run(const QStringList &args, const QByteArray &input, const QString &program)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("xdg")));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForStarted())
        return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError()).trimmed()};
}

void TestCli::workedExamples_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("R13 to R12, ASCII 6")
        << QStringList{QStringLiteral("--kind"), QStringLiteral("r13-r12")}
        << worked::r13ToR12Ascii6();
    QTest::newRow("R13 to GX3, binary")
        << QStringList{QStringLiteral("-k"), QStringLiteral("r13-gx3"), QStringLiteral("-f"), QStringLiteral("binary")}
        << worked::r13ToGx3Binary();
    QTest::newRow("R12 to GX3, ASCII 16, blank in AutoCAD folder")
        << QStringList{QStringLiteral("-k"), QStringLiteral("r12-gx3"), QStringLiteral("-p"), QStringLiteral(" 16"),
                       QStringLiteral("-a"), QStringLiteral("C:\\Program Files\\ACAD")}
        << worked::r12ToGx3Ascii16ProgramFiles();
}

void TestCli::workedExamples()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, bytes);
    const QStringList args = QStringList{QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("none.ini")),
                                         QStringLiteral("-d"), QStringLiteral("D:\\OUT\\"), QStringLiteral("-a"),
                                         QStringLiteral("C:\\ACAD\\")}
        + options + kSources;
    const Result r = run(args);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, bytes);
}

void TestCli::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    const QStringList folders{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("-a"), QStringLiteral("C:\\ACAD")};
    QTest::newRow("no source") << folders << 2 << QStringLiteral(u"変換元ﾌｧｲﾙが一つも選択されていません！");
    QTest::newRow("no destination") << QStringList{QStringLiteral("C:\\A\\x.dxf")} << 3
                                    << QStringLiteral(u"変換先ﾌｫﾙﾀﾞが指定されていません！");
    QTest::newRow("no AutoCAD folder") << QStringList{QStringLiteral("-d"), QStringLiteral("D:\\OUT"), QStringLiteral("C:\\A\\x.dxf")}
                                       << 4 << QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞが指定されていません！");
    QTest::newRow("not DXF") << folders + QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\A\\y.dwg")} << 5
                             << QStringLiteral(u"DXFﾌｧｲﾙではありません！");
    QTest::newRow("same folder") << folders + QStringList{QStringLiteral("d:\\out\\x.dxf")} << 6
                                 << QStringLiteral(u"変換元と変換先のﾌｫﾙﾀﾞ名が同一です！変換先ﾌｫﾙﾀﾞを変更してください。");
    QTest::newRow("unencodable") << folders + QStringList{QStringLiteral(u"C:\\\u00e9\\x.dxf")} << 7
                                 << QStringLiteral(u"変換元ﾌｧｲﾙ( C:\\\u00e9\\x.dxf )に使用できない文字が含まれています！");
    QTest::newRow("duplicate") << folders + QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\B\\X.DXF")} << 8
                               << QStringLiteral(u"変換先ﾌｧｲﾙ( D:\\OUT\\X.DXF )が重複しています！");
    QTest::newRow("bad precision") << folders + QStringList{QStringLiteral("-p"), QStringLiteral("19"), QStringLiteral("C:\\A\\x.dxf")}
                                   << 1 << QStringLiteral("tessiva-batch: the precision must be 0 to 18, not '19'");
    QTest::newRow("bad kind") << QStringList{QStringLiteral("-k"), QStringLiteral("r14")} << 1
                              << QStringLiteral("tessiva-batch: unknown kind 'r14' (r13-r12, r13-gx3 or r12-gx3)");
}

void TestCli::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, text);
    const Result r = run(QStringList{QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("none.ini"))} + args);
    QCOMPARE(r.err, text);
    QCOMPARE(r.code, code);
    QVERIFY(r.out.isEmpty());
}

void TestCli::writesTheOutputFile()
{
    const QString path = m_dir.filePath(QStringLiteral("job.bat"));
    const Result r = run({QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("none.ini")), QStringLiteral("-d"),
                          QStringLiteral("/srv/out"), QStringLiteral("-a"), QStringLiteral("C:\\ACAD"),
                          QStringLiteral("-o"), path, QStringLiteral("/home/a/R&D/plan.dxf")});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), crlfLines({"C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\DXFIX13.DXT \"Z:\\HOME\\A\\R&D\\PLAN.DXF\" Z:\\SRV\\OUT\\PLAN.DXF"}));
}

void TestCli::outputRefusals()
{
    const QStringList job{QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("none.ini")), QStringLiteral("-d"),
                          QStringLiteral("D:\\OUT"), QStringLiteral("-a"), QStringLiteral("C:\\ACAD"), QStringLiteral("C:\\A\\x.dxf")};
    const QString txt = m_dir.filePath(QStringLiteral("JOB.TXT"));
    Result r = run(job + QStringList{QStringLiteral("-o"), txt});
    QCOMPARE(r.code, 9);
    QCOMPARE(r.err, QStringLiteral(u"拡張子が.BATでないため( JOB.TXT )では保存できません！"));
    QVERIFY(!QFile::exists(txt));
    const QString missing = m_dir.filePath(QStringLiteral("missing/JOB.BAT"));
    r = run(job + QStringList{QStringLiteral("-o"), missing});
    QCOMPARE(r.code, 10);
    QCOMPARE(r.err, QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + missing + QStringLiteral(u"を保存できません！"));
}

void TestCli::listFromFileAndStdin()
{
    const QString listPath = m_dir.filePath(QStringLiteral("list.txt"));
    QFile list(listPath);
    QVERIFY(list.open(QIODevice::WriteOnly));
    // A code page 932 list with CR LF line ends and a blank line.
    list.write(cp932::encode(QStringLiteral(u"C:\\計画\\a.dxf\r\n\r\nC:\\B\\b.dxf\r\n")));
    list.close();
    const QStringList job{QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("none.ini")), QStringLiteral("-d"),
                          QStringLiteral("D:\\OUT"), QStringLiteral("-a"), QStringLiteral("C:\\ACAD")};
    Result r = run(job + QStringList{QStringLiteral("--list"), listPath});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out.count("\r\n"), 2);
    QVERIFY(r.out.contains(cp932::encode(QStringLiteral(u"C:\\計画\\A.DXF D:\\OUT\\A.DXF\r\n"))));
    r = run(job + QStringList{QStringLiteral("--list"), QStringLiteral("-")}, QByteArray("C:\\A\\x.dxf\nC:\\A\\y.dxf\n"));
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out.count("\r\n"), 2);
    r = run(job + QStringList{QStringLiteral("--list"), m_dir.filePath(QStringLiteral("nope.txt"))});
    QCOMPARE(r.code, 1);
}

void TestCli::defaultsFromTheWindowsSettings()
{
    // The window's settings file lies beside the window's executable, which
    // lies beside the tool.
    const QString bin = m_dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    const QString tool = bin + QStringLiteral("/tessiva-batch");
    QVERIFY(QFile::copy(QStringLiteral(TESSIVA_BATCH_EXE), tool));
    QFile ini(bin + QStringLiteral("/tessiva.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("MY13.DXT\r\nMY12.DXT\r\nE:\\CONV\r\nF:\\ACAD14\\\r\n");
    ini.close();
    const Result r = run({QStringLiteral("-k"), QStringLiteral("r13-gx3"), QStringLiteral("C:\\A\\x.dxf")}, QByteArray(), tool);
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, crlfLines({"F:\\ACAD14\\DXFIX.EXE -A6 -TF:\\ACAD14\\MY13.DXT C:\\A\\X.DXF E:\\CONV\\DUMMY.DXF",
                          "F:\\ACAD14\\DXFIX.EXE -A6 -TF:\\ACAD14\\MY12.DXT E:\\CONV\\DUMMY.DXF E:\\CONV\\X.DXF",
                          "DEL E:\\CONV\\DUMMY.DXF"}));
}

void TestCli::helpAndVersion()
{
    Result r = run({QStringLiteral("--help")});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains("--output <file>"));
    QVERIFY(r.out.contains("Exit status:"));
    r = run({QStringLiteral("--version")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QByteArray("tessiva-batch " TESSIVA_VERSION "\n"));
    r = run({QStringLiteral("--no-such-option")});
    QCOMPARE(r.code, 1);
    QVERIFY(r.err.contains(QStringLiteral("--help")));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
