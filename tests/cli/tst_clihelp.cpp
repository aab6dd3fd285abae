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

// tessiva-batch's words: the help laid out for the console, the window
// started without a display, the words in the system's language, and the
// manual pages against the tool.
class TestCliHelp : public ToolTest
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(startUp()); }
    void helpFitsTheConsole_data();
    void helpFitsTheConsole();
    void windowWithoutADisplay_data();
    void windowWithoutADisplay();
    void helpAndVersion();
    void wordsInTheSystemsLanguage_data();
    void wordsInTheSystemsLanguage();
    void manualPagesRenderCleanly_data();
    void manualPagesRenderCleanly();
    void manualPagesAgreeWithTheTool_data();
    void manualPagesAgreeWithTheTool();
};

void TestCliHelp::helpFitsTheConsole_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("sources"); // the usage's last word
    QTest::newRow("English") << QStringLiteral("C.UTF-8") << QStringLiteral("[source...]");
    QTest::newRow("Japanese") << QStringLiteral("ja_JP.UTF-8") << QStringLiteral(u"[変換元...]");
}

void TestCliHelp::helpFitsTheConsole()
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

void TestCliHelp::windowWithoutADisplay_data()
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

void TestCliHelp::windowWithoutADisplay()
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

void TestCliHelp::helpAndVersion()
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

void TestCliHelp::wordsInTheSystemsLanguage_data()
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

void TestCliHelp::wordsInTheSystemsLanguage()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, args);
    QFETCH(QString, words);
    m_locale = locale;
    const ToolRun r = run(noSettings() + args);
    m_locale = QStringLiteral("C.UTF-8");
    QVERIFY2(QString::fromUtf8(r.out).contains(words) || r.err.contains(words), qPrintable(r.err));
}

void TestCliHelp::manualPagesRenderCleanly_data()
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

void TestCliHelp::manualPagesRenderCleanly()
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

void TestCliHelp::manualPagesAgreeWithTheTool_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("locale"); // of the help it agrees with
    QTest::addColumn<QString>("statusSection");
    QTest::newRow("English") << QStringLiteral("tessiva-batch.1") << QStringLiteral("C.UTF-8")
                             << QStringLiteral(".SH \"EXIT STATUS\"");
    QTest::newRow("Japanese") << QStringLiteral("ja/tessiva-batch.1") << QStringLiteral("ja_JP.UTF-8")
                              << QStringLiteral(u".SH 終了ステータス");
}

void TestCliHelp::manualPagesAgreeWithTheTool()
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

QTEST_GUILESS_MAIN(TestCliHelp)
#include "tst_clihelp.moc"
