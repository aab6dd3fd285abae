#include "batchbytes.h"
#include "core/files/filewrite.h"
#include "platform/qtplatformservices.h"
#include "savetest.h"
#include "testfiles.h"
#include "ui/systemreason.h"

#include "workedexamples.h"

#include <QAction>
#include <QApplication>

#include <cerrno>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>

using testfiles::readAll;

namespace {
// A tree of drawings three levels deep, with a blank, a Japanese name and an
// upper-case extension, and a file that is no drawing; the drawings' native
// paths in the order of their paths.
QStringList makeTree(const QString &root)
{
    QStringList drawings;
    for (const char16_t *name :
         {u"a.dxf", u"floor 1/b.DXF", u"floor 1/図面/c.dxf", u"floor 1/図面/deep/d.Dxf", u"floor 1/notes.txt"}) {
        const QString path = root + u'/' + QString::fromUtf16(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        testfiles::writeAll(path, "drawing\r\n");
        if (!path.endsWith(QLatin1String(".txt")))
            drawings << path;
    }
    std::sort(drawings.begin(), drawings.end());
    return drawings;
}
} // namespace

// The save button's wiring: the outcome of the save reaches the status line
// with a beep, a refused line is selected, and the batch file is written
// as the core makes it. The refusals themselves are tested in tst_jobcheck;
// the dialogs of the save in tst_savedialogs.
class TestSaveAction : public SaveTest
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(openForSaving()); }
    void cleanup() { closeWindow(); }
    void refusalReachesTheStatusLine_data();
    void refusalReachesTheStatusLine();
    void reasonsInJapanese_data();
    void reasonsInJapanese();
    void notBatRefused();
    void writesTheBatchFile();
    void runOptionsFromTheSettingsMenu_data();
    void runOptionsFromTheSettingsMenu();
    void cannotSaveReachesTheStatusLine();
    void longStatusKeepsItsStartAndReason();
    void wholeJobThroughTheWindow();
    void lineBreakInADroppedName();
    void aFolderOfDrawingsAsTheToolsTree_data();
    void aFolderOfDrawingsAsTheToolsTree();
    void aDrawingFromOutsideTheFolderRefused();
};

void TestSaveAction::refusalReachesTheStatusLine_data()
{
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("text");
    QTest::newRow("no source") << QStringList() << -1 << QStringLiteral(u"変換元ﾌｧｲﾙが一つも選択されていません！");
    QTest::newRow("a clash selects the later line")
        << QStringList{QStringLiteral("C:\\A\\plan.dxf"), QStringLiteral("C:\\B\\other.dxf"),
                       QStringLiteral("C:\\C\\Plan.DXF")}
        << 2 << QStringLiteral(u"変換先ﾌｧｲﾙ( D:\\OUT\\PLAN.DXF )が重複しています！");
}

void TestSaveAction::refusalReachesTheStatusLine()
{
    QFETCH(QStringList, sources);
    QFETCH(int, selected);
    QFETCH(QString, text);
    if (!sources.isEmpty())
        setSources(sources);
    // The press starts from another line selected and the focus elsewhere.
    if (sources.size() > 1)
        this->sources()->selectAndFocus(0);
    button("Button6")->setFocus();
    press();
    QCOMPARE(status(), text);
    QCOMPARE(m_platform.beeps, 1);
    QVERIFY(m_platform.saveRequests.isEmpty());
    if (selected >= 0) {
        QCOMPARE(this->selectedLine(), selected);
        QCOMPARE(QApplication::focusWidget(), list());
    } else {
        QCOMPARE(QApplication::focusWidget(), button("Button6"));
    }
}

void TestSaveAction::reasonsInJapanese_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<int>("systemError");
    QTest::addColumn<QString>("shown");
    QTest::newRow("the program's own") << int(WriteFailure::ReadOnly) << 0 << QStringLiteral(u"読み取り専用のﾌｧｲﾙです");
    QTest::newRow("a stream's name on Windows")
        << int(WriteFailure::StreamName) << 0 << QStringLiteral(u"名前の「:」は別のﾌｧｲﾙのｽﾄﾘｰﾑ名になります");
    QTest::newRow("the system's") << int(WriteFailure::System) << ENOSPC
                                  << QStringLiteral(u"ﾃﾞｨｽｸの空き容量が足りません");
    QTest::newRow("one without words of ours, as the system words it")
        << int(WriteFailure::System) << ENOTSOCK << qt_error_string(ENOTSOCK);
}

void TestSaveAction::reasonsInJapanese()
{
    QFETCH(int, failure);
    QFETCH(int, systemError);
    QFETCH(QString, shown);
    QVERIFY(!shown.isEmpty());
    QCOMPARE(japaneseReason(WriteError{WriteFailure(failure), systemError}), shown);
}

void TestSaveAction::notBatRefused()
{
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    const QString path = m_dir.filePath(QStringLiteral("sub/JOB.TXT"));
    m_platform.saveAnswers = {path, kCancelled};
    press();
    QCOMPARE(status(), QStringLiteral(u"拡張子が.BATでないため( JOB.TXT )では保存できません！"));
    QCOMPARE(m_platform.beeps, 1);
    QVERIFY(!QFile::exists(path));
    // A refused name still moves the next dialog to its folder.
    press();
    QCOMPARE(m_platform.saveRequests.at(1).initialFolder, m_dir.filePath(QStringLiteral("sub/")));
}

void TestSaveAction::writesTheBatchFile()
{
    setSources({QStringLiteral("C:\\DRAW\\plan1.dxf"), QStringLiteral("C:\\My Work\\site b.DXF")});
    child<QRadioButton>(m_window, "RadioGroup1Item1")->click();
    combo("ComboBox2")->setCurrentIndex(1);
    const QString path = m_dir.filePath(QStringLiteral("job.bat"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x')); // a longer file than the new one: truncated
    old.close();
    m_platform.saveAnswers = {path};
    press();
    QCOMPARE(status(), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + path + QStringLiteral(u"を保存しました！"));
    QCOMPARE(m_platform.beeps, 1);
    QCOMPARE(readAll(path), worked::r13ToGx3Binary());
    // The action changes none of the inputs.
    QCOMPARE(fileCount(), 2);
    QCOMPARE(edit("Edit1")->text(), QStringLiteral("D:\\OUT\\"));
}

void TestSaveAction::runOptionsFromTheSettingsMenu_data()
{
    // The items of the settings menu triggered, and the options of the run
    // the saved batch file has: the exit status is checked only by a run
    // that makes its drawings under temporary names.
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("report");
    QTest::addColumn<bool>("skip");
    QTest::addColumn<bool>("check");
    QTest::addColumn<int>("jobs");
    const QString report = QStringLiteral("Report1");
    const QString skip = QStringLiteral("SkipExisting1");
    const QString check = QStringLiteral("CheckExitStatus1");
    QTest::newRow("the report") << QStringList{report} << true << false << false << 1;
    QTest::newRow("skipping") << QStringList{skip} << false << true << false << 1;
    QTest::newRow("the report, checked") << QStringList{report, check} << true << false << true << 1;
    QTest::newRow("skipping, checked") << QStringList{skip, check} << false << true << true << 1;
    QTest::newRow("all three") << QStringList{report, skip, check} << true << true << true << 1;
    QTest::newRow("checked, then the report taken off")
        << QStringList{report, check, report} << false << false << false << 1;
    // More than one converter at once reports the run, and lets the exit
    // status be checked; back at one, the report is as the user left it.
    QTest::newRow("four at once") << QStringList{QStringLiteral("Jobs4"), check} << true << false << true << 4;
    QTest::newRow("eight at once") << QStringList{QStringLiteral("Jobs8")} << true << false << false << 8;
    QTest::newRow("eight, then one again")
        << QStringList{QStringLiteral("Jobs8"), QStringLiteral("Jobs1")} << false << false << false << 1;
    QTest::newRow("the report, two, then one again")
        << QStringList{report, QStringLiteral("Jobs2"), QStringLiteral("Jobs1")} << true << false << false << 1;
}

void TestSaveAction::runOptionsFromTheSettingsMenu()
{
    QFETCH(QStringList, items);
    QFETCH(bool, report);
    QFETCH(bool, skip);
    QFETCH(bool, check);
    QFETCH(int, jobs);
    setSources({QStringLiteral("C:\\DRAW\\plan1.dxf")});
    QAction *checkItem = m_window->findChild<QAction *>(QStringLiteral("CheckExitStatus1"));
    QVERIFY(checkItem && !checkItem->isEnabled());
    for (const QString &name : std::as_const(items)) {
        QAction *item = m_window->findChild<QAction *>(name);
        QVERIFY2(item && item->isEnabled(), qPrintable(name));
        item->trigger();
    }
    QCOMPARE(checkItem->isEnabled(), report || skip);
    QCOMPARE(m_window->findChild<QAction *>(report ? QStringLiteral("Report1") : QStringLiteral("Jobs1"))->isChecked(),
             true);
    QCOMPARE(m_window->findChild<QAction *>(QStringLiteral("Report1"))->isEnabled(), jobs == 1);
    const QString path = m_dir.filePath(QStringLiteral("RUN.BAT"));
    m_platform.saveAnswers = {path};
    press();
    ConversionJob job;
    job.sources = {QStringLiteral("C:\\DRAW\\plan1.dxf")};
    job.destinationFolder = edit("Edit1")->text();
    job.autocadFolder = edit("Edit2")->text();
    job.report = report;
    job.skipExisting = skip;
    job.checkExitStatus = check;
    job.jobs = jobs;
    QCOMPARE(readAll(path), batchFileBytes(job));
}

void TestSaveAction::cannotSaveReachesTheStatusLine()
{
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    const QString path = m_dir.filePath(QStringLiteral("missing/R13TO12.BAT"));
    m_platform.saveAnswers = {path};
    press();
    // The reason follows, in the window's words.
    QCOMPARE(status(),
             QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + path
                 + QStringLiteral(u"を保存できません！（ﾌｫﾙﾀﾞまたはﾌｧｲﾙがありません）"));
    QCOMPARE(m_platform.beeps, 1);
}

void TestSaveAction::longStatusKeepsItsStartAndReason()
{
    // A path far wider than the line: what is shown keeps the start of the
    // text and its reason, and the whole text is at hand.
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    const QString path
        = m_dir.filePath(QString(30, u'd') + QStringLiteral("/") + QString(120, u'n') + QStringLiteral(".BAT"));
    m_platform.saveAnswers = {path};
    press();
    const QLabel *line = child<QLabel>(m_window, "Label10");
    const QString shown = line->text();
    QVERIFY2(shown.startsWith(QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ")) && shown.contains(u'…')
                 && shown.endsWith(QStringLiteral(u"を保存できません！（ﾌｫﾙﾀﾞまたはﾌｧｲﾙがありません）")),
             qPrintable(shown));
    QVERIFY(line->fontMetrics().horizontalAdvance(shown) <= line->contentsRect().width());
    QCOMPARE(line->toolTip(), status());
    QCOMPARE(line->accessibleDescription(), status());
}

void TestSaveAction::wholeJobThroughTheWindow()
{
    // Real drawings on disk, dropped on the list and then added with Ctrl.
    QTemporaryDir drawings;
    QStringList names;
    for (const char *name : {"site plan.dxf", "R&D.DXF", "dummy.dxf"}) {
        names << drawings.filePath(QLatin1String(name));
        QFile f(names.constLast());
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    edit("Edit1")->clear();
    edit("Edit2")->clear();
    drop({names.at(0), drawings.filePath(QStringLiteral("gone.dxf"))});
    drop({names.at(1), names.at(2)}, Qt::ControlModifier);
    m_platform.modifiers = Qt::NoModifier;
    QCOMPARE(edit("Edit4")->text(), QStringLiteral("       3"));

    // The destination folder from the browser, the AutoCAD folder typed.
    m_platform.browseAnswers = {QStringLiteral("/srv/out")};
    QTest::mouseClick(button("Button2"), Qt::LeftButton);
    edit("Edit2")->setFocus(Qt::TabFocusReason);
    typeText(edit("Edit2"), QStringLiteral("C:\\ACAD"));
    // Conversion R13 -> GX3, binary output chosen from the list.
    QTest::mouseClick(child<QRadioButton>(m_window, "RadioGroup1Item1"), Qt::LeftButton);
    combo("ComboBox2")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(combo("ComboBox2"), Qt::Key_Down);
    QVERIFY(!combo("ComboBox1")->isEnabled());
    edit("Edit5")->setText(QStringLiteral("MINE.DXT"));
    TRIGGER(m_window, "DP1");

    const QString target = m_dir.filePath(QStringLiteral("R13TOGX3.BAT"));
    m_platform.saveAnswers = {target};
    press();
    QCOMPARE(status(), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + target + QStringLiteral(u"を保存しました！"));

    const QString folder = QStringLiteral("Z:") + QString(drawings.path()).replace(u'/', u'\\').toUpper();
    const QByteArray f = folder.toLatin1();
    // dummy.dxf is one of the drawings, so the intermediate file is DUMMY1.DXF.
    QCOMPARE(
        readAll(target),
        "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT \"" + f
            + "\\SITE PLAN.DXF\" Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
              "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX.DXT Z:\\SRV\\OUT\\DUMMY1.DXF \"Z:\\SRV\\OUT\\SITE PLAN.DXF\"\r\n"
              "DEL Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
              "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT \""
            + f
            + "\\R&D.DXF\" Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
              "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX.DXT Z:\\SRV\\OUT\\DUMMY1.DXF \"Z:\\SRV\\OUT\\R&D.DXF\"\r\n"
              "DEL Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
              "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT "
            + f
            + "\\DUMMY.DXF Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
              "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX.DXT Z:\\SRV\\OUT\\DUMMY1.DXF Z:\\SRV\\OUT\\DUMMY.DXF\r\n"
              "DEL Z:\\SRV\\OUT\\DUMMY1.DXF\r\n");
}

void TestSaveAction::lineBreakInADroppedName()
{
    // A file system that allows a line break in a name must not let it
    // split a batch line into a second command.
    QTemporaryDir drawings;
    const QString name = drawings.filePath(QStringLiteral("a\nDEL C:\\b.dxf"));
    QFile f(name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    drop({name});
    QCOMPARE(fileCount(), 1);
    press();
    QVERIFY(status().endsWith(QStringLiteral(u" )に使用できない文字が含まれています！")));
    QCOMPARE(selectedLine(), 0);
    QVERIFY(m_platform.saveRequests.isEmpty());
}

void TestSaveAction::aFolderOfDrawingsAsTheToolsTree_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("R13 to R12") << 0;
    QTest::newRow("R13 to GX3") << 1;
    QTest::newRow("R12 to GX3") << 2;
}

void TestSaveAction::aFolderOfDrawingsAsTheToolsTree()
{
    // The drawings below a folder, from the file menu: the batch file is the
    // one tessiva-batch --tree writes for the same tree, byte for byte.
    QFETCH(int, kind);
    const QString root = m_dir.filePath(QStringLiteral("project"));
    const QStringList drawings = makeTree(root);
    m_platform.browseAnswers = {root};
    TRIGGER(m_window, "AddFolder1");
    QCOMPARE(fileCount(), 4);
    child<QRadioButton>(m_window, QStringLiteral("RadioGroup1Item%1").arg(kind).toLatin1().constData())->click();
    const QString windows = m_dir.filePath(QStringLiteral("WINDOW.BAT"));
    m_platform.saveAnswers = {windows};
    press();
    QCOMPARE(status(), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + windows + QStringLiteral(u"を保存しました！"));

    const QString none = m_dir.filePath(QStringLiteral("none.ini"));
    QVERIFY(testfiles::writeAll(none, QByteArray()));
    const QString tools = m_dir.filePath(QStringLiteral("TOOL.BAT"));
    const char *keywords[] = {"r13-r12", "r13-gx3", "r12-gx3"};
    QProcess tool;
    tool.start(QStringLiteral(TESSIVA_BATCH_EXE),
               QStringList{QStringLiteral("--settings"), none, QStringLiteral("--no-drawing-check"),
                           QStringLiteral("--tree"), root, QStringLiteral("-k"), QLatin1String(keywords[kind]),
                           QStringLiteral("-d"), QStringLiteral("D:\\OUT\\"), QStringLiteral("-a"),
                           QStringLiteral("C:\\ACAD\\"), QStringLiteral("-o"), tools}
                   + drawings);
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 0);
    QCOMPARE(testfiles::readAll(windows), testfiles::readAll(tools));
    // A tree's file: the drawings go into their folders below D:\OUT.
    QVERIFY(testfiles::readAll(windows).contains("\"D:\\OUT\\FLOOR 1\""));
}

void TestSaveAction::aDrawingFromOutsideTheFolderRefused()
{
    // A drawing added later from elsewhere lies outside the tree: the save
    // says so and selects it.
    const QString root = m_dir.filePath(QStringLiteral("project"));
    makeTree(root);
    m_platform.browseAnswers = {root};
    TRIGGER(m_window, "AddFolder1");
    m_platform.modifiers = Qt::ControlModifier;
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/elsewhere/x.dxf")}, {}}};
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    m_platform.modifiers = Qt::NoModifier;
    QCOMPARE(fileCount(), 5);
    press();
    QCOMPARE(status(),
             QStringLiteral(u"変換元ﾌｧｲﾙ( Z:\\elsewhere\\x.dxf )が変換元ﾌｫﾙﾀﾞ( Z:")
                 + QDir::toNativeSeparators(root).replace(u'/', u'\\') + QStringLiteral(u"\\ )の下にありません！"));
    QCOMPARE(selectedLine(), 4);
}

QTEST_MAIN(TestSaveAction)
#include "tst_saveaction.moc"
