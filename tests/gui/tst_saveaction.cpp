#include "windowtest.h"

#include "app/tform1.h"
#include "inputs/sourcelistview.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
} // namespace

class TestSaveAction : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void refusalsInOrder_data();
    void refusalsInOrder();
    void dialogPerKind_data();
    void dialogPerKind();
    void cancelReportsNothing();
    void notBatRefused();
    void writesTheBatchFile();
    void unopenableTarget_data();
    void unopenableTarget();
    void failedWriteKeepsTheOldFile();
    void clashSelectsTheLaterLine();
    void wholeJobThroughTheWindow();
    void lineBreakInADroppedName();

private:
    void setSources(const QStringList &lines);
    void press();
    QString status() const { return m_form->Label10->text(); }

};

void TestSaveAction::init()
{
    QVERIFY(openWindow(QStringLiteral("bin/tessiva")));
    m_form->Edit1->setText(QStringLiteral("D:\\OUT\\"));
    m_form->Edit2->setText(QStringLiteral("C:\\ACAD\\"));
}

void TestSaveAction::cleanup()
{
    closeWindow();
}

// Fills the list the way a drop does, through the window's own handler.
void TestSaveAction::setSources(const QStringList &lines)
{
    m_platform.style = textrules::PathStyle::Windows;
    QTemporaryDir files;
    QStringList names;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // The list takes names of existing files only, so make them.
        const QString native = files.filePath(QString::number(i));
        QFile f(native);
        QVERIFY(f.open(QIODevice::WriteOnly));
        names << native;
    }
    m_form->WMDropFiles(names);
    // The drop took the temporary names; put the wanted Windows paths in.
    auto *model = qobject_cast<QStringListModel *>(m_form->ListBox1->model());
    QVERIFY(model);
    model->setStringList(lines);
    QCOMPARE(m_form->FileCount, lines.size());
}

void TestSaveAction::press()
{
    QTest::mouseClick(m_form->Button6, Qt::LeftButton);
}

void TestSaveAction::refusalsInOrder_data()
{
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QString>("destination");
    QTest::addColumn<QString>("acad");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("text");
    QTest::newRow("no source, no folders") << QStringList() << QString() << QString() << -1
                                           << QStringLiteral(u"変換元ﾌｧｲﾙが一つも選択されていません！");
    QTest::newRow("blank destination") << QStringList{QStringLiteral("C:\\A\\x.dxf")} << QStringLiteral("  ")
                                       << QString() << -1 << QStringLiteral(u"変換先ﾌｫﾙﾀﾞが指定されていません！");
    QTest::newRow("blank AutoCAD folder") << QStringList{QStringLiteral("C:\\A\\x.dxf")} << QStringLiteral("D:\\OUT\\")
                                          << QStringLiteral(" ") << -1
                                          << QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞが指定されていません！");
    QTest::newRow("second line not DXF")
        << QStringList{QStringLiteral("C:\\A\\x.dxf"), QStringLiteral("C:\\A\\plan.dwg"), QStringLiteral("C:\\A\\z")}
        << QStringLiteral("D:\\OUT\\") << QStringLiteral("C:\\ACAD\\") << 1 << QStringLiteral(u"DXFﾌｧｲﾙではありません！");
    QTest::newRow("same folder")
        << QStringList{QStringLiteral("C:\\OUT\\a.dxf"), QStringLiteral("C:\\A\\b.txt")} << QStringLiteral("c:\\out\\")
        << QStringLiteral("C:\\ACAD\\") << 0
        << QStringLiteral(u"変換元と変換先のﾌｫﾙﾀﾞ名が同一です！変換先ﾌｫﾙﾀﾞを変更してください。");
    QTest::newRow("unencodable source")
        << QStringList{QStringLiteral("C:\\A\\a.dxf"), QStringLiteral(u"C:\\A\\\u00e9.dxf")} << QStringLiteral("D:\\OUT\\")
        << QStringLiteral("C:\\ACAD\\") << 1
        << QStringLiteral(u"変換元ﾌｧｲﾙ( C:\\A\\\u00e9.dxf )に使用できない文字が含まれています！");
}

void TestSaveAction::refusalsInOrder()
{
    QFETCH(QStringList, sources);
    QFETCH(QString, destination);
    QFETCH(QString, acad);
    QFETCH(int, selected);
    QFETCH(QString, text);
    setSources(sources);
    m_form->Edit1->setText(destination);
    m_form->Edit2->setText(acad);
    m_form->Button6->setFocus();
    m_form->ListBox1->selectionModel()->clear();
    m_form->Label10->setText(QStringLiteral("old"));
    press();
    QCOMPARE(status(), text);
    QCOMPARE(m_platform.beeps, 1);
    QVERIFY(m_platform.saveRequests.isEmpty());
    QCOMPARE(m_form->sourceItemIndex(), selected);
    if (selected >= 0)
        QCOMPARE(QApplication::focusWidget(), m_form->ListBox1);
}

void TestSaveAction::dialogPerKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("R13 to R12") << 0 << QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存 R13DXF to R12DXF") << QStringLiteral("R13TO12.BAT");
    QTest::newRow("R13 to GX3") << 1 << QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存 R13DXF to GX3DXF") << QStringLiteral("R13TOGX3.BAT");
    QTest::newRow("R12 to GX3") << 2 << QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存 R12DXF to GX3DXF") << QStringLiteral("R12TOGX3.BAT");
}

void TestSaveAction::dialogPerKind()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, name);
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    m_form->findChild<QRadioButton *>(QStringLiteral("RadioGroup1Item%1").arg(kind))->click();
    const QString first = m_dir.filePath(QStringLiteral("first/OTHER.BAT"));
    QDir().mkpath(m_dir.filePath(QStringLiteral("first")));
    m_platform.saveAnswers = {first, std::nullopt};
    press();
    press();
    QCOMPARE(m_platform.saveRequests.size(), 2);
    for (const SaveFileRequest &r : m_platform.saveRequests) {
        QCOMPARE(r.title, title);
        QCOMPARE(r.proposedName, name); // never the name chosen last time
        QCOMPARE(r.defaultSuffix, QStringLiteral("BAT"));
        QCOMPARE(r.nameFilters, (QStringList{QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)"), QStringLiteral(u"BATﾌｧｲﾙ(*.BAT)")}));
    }
    // The first dialog opens in the executable's folder, the next where the last file went.
    QCOMPARE(m_platform.saveRequests.at(0).initialFolder, m_dir.filePath(QStringLiteral("bin/")));
    QCOMPARE(m_platform.saveRequests.at(1).initialFolder, m_dir.filePath(QStringLiteral("first/")));
}

void TestSaveAction::cancelReportsNothing()
{
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    m_form->LastBatchFolder = QStringLiteral("/somewhere/");
    m_form->Label10->setText(QStringLiteral("old"));
    m_platform.saveAnswers = {std::nullopt};
    press();
    QVERIFY(status().isEmpty());
    QCOMPARE(m_platform.beeps, 0);
    QCOMPARE(m_form->LastBatchFolder, QStringLiteral("/somewhere/"));
}

void TestSaveAction::notBatRefused()
{
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    const QString path = m_dir.filePath(QStringLiteral("JOB.TXT"));
    m_platform.saveAnswers = {path};
    press();
    QCOMPARE(status(), QStringLiteral(u"拡張子が.BATでないため( JOB.TXT )では保存できません！"));
    QCOMPARE(m_platform.beeps, 1);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(m_form->LastBatchFolder, m_dir.path() + u'/');
}

void TestSaveAction::writesTheBatchFile()
{
    setSources({QStringLiteral("C:\\DRAW\\plan1.dxf"), QStringLiteral("C:\\My Work\\site b.DXF")});
    m_form->findChild<QRadioButton *>(QStringLiteral("RadioGroup1Item1"))->click();
    m_form->ComboBox2->setCurrentIndex(1);
    const QString path = m_dir.filePath(QStringLiteral("job.bat"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'x')); // a longer file than the new one: truncated
    old.close();
    m_platform.saveAnswers = {path};
    press();
    QCOMPARE(status(), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + path + QStringLiteral(u"を保存しました！"));
    QCOMPARE(m_platform.beeps, 1);
    QCOMPARE(readAll(path),
             QByteArray("C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT C:\\DRAW\\PLAN1.DXF D:\\OUT\\DUMMY.DXF\r\n"
                        "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX.DXT D:\\OUT\\DUMMY.DXF D:\\OUT\\PLAN1.DXF\r\n"
                        "DEL D:\\OUT\\DUMMY.DXF\r\n"
                        "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT \"C:\\MY WORK\\SITE B.DXF\" D:\\OUT\\DUMMY.DXF\r\n"
                        "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX.DXT D:\\OUT\\DUMMY.DXF \"D:\\OUT\\SITE B.DXF\"\r\n"
                        "DEL D:\\OUT\\DUMMY.DXF\r\n"));
    // The action changes none of the inputs.
    QCOMPARE(m_form->FileCount, 2);
    QCOMPARE(m_form->Edit1->text(), QStringLiteral("D:\\OUT\\"));
}

void TestSaveAction::unopenableTarget_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("folder missing") << QStringLiteral("missing/R13TO12.BAT");
    QTest::newRow("a folder of that name") << QStringLiteral("taken.BAT");
    QTest::newRow("below a file") << QStringLiteral("plain/R13TO12.BAT");
}

void TestSaveAction::unopenableTarget()
{
    QFETCH(QString, relative);
    QDir().mkpath(m_dir.filePath(QStringLiteral("taken.BAT")));
    QFile plain(m_dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    setSources({QStringLiteral("C:\\A\\x.dxf")});
    const QString path = m_dir.filePath(relative);
    m_platform.saveAnswers = {path};
    press();
    QCOMPARE(status(), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + path + QStringLiteral(u"を保存できません！"));
    QCOMPARE(m_platform.beeps, 1);
}

void TestSaveAction::failedWriteKeepsTheOldFile()
{
    const QString path = m_dir.filePath(QStringLiteral("GOOD.BAT"));
    QFile good(path);
    QVERIFY(good.open(QIODevice::WriteOnly));
    good.write("REM a good batch file\r\n");
    good.close();

    QStringList sources;
    for (int i = 0; i < 2000; ++i)
        sources << QStringLiteral("C:\\DRAWINGS\\PLAN%1.DXF").arg(i);
    setSources(sources);
    m_platform.saveAnswers = {path};

    // Let the disk run full after 16 KiB: the write fails part way.
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 16 * 1024;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    press();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    QCOMPARE(status(), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + path + QStringLiteral(u"を保存できません！"));
    QCOMPARE(readAll(path), QByteArray("REM a good batch file\r\n"));
    // No temporary file is left behind either.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("GOOD.BAT*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("GOOD.BAT")});
}

void TestSaveAction::clashSelectsTheLaterLine()
{
    setSources({QStringLiteral("C:\\A\\plan.dxf"), QStringLiteral("C:\\B\\other.dxf"),
                QStringLiteral("C:\\C\\Plan.DXF")});
    press();
    QCOMPARE(status(), QStringLiteral(u"変換先ﾌｧｲﾙ( D:\\OUT\\PLAN.DXF )が重複しています！"));
    QCOMPARE(m_form->sourceItemIndex(), 2);
    QCOMPARE(QApplication::focusWidget(), m_form->ListBox1);
    QCOMPARE(m_platform.beeps, 1);
    QVERIFY(m_platform.saveRequests.isEmpty());
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
    m_form->Edit1->clear();
    m_form->Edit2->clear();
    m_platform.modifiers = Qt::NoModifier;
    m_form->WMDropFiles({names.at(0), drawings.path()});
    m_platform.modifiers = Qt::ControlModifier;
    m_form->WMDropFiles({names.at(1), names.at(2)});
    m_platform.modifiers = Qt::NoModifier;
    QCOMPARE(m_form->Edit4->text(), QStringLiteral("       3"));

    // The destination folder from the browser, the AutoCAD folder typed.
    m_platform.browseAnswers = {QStringLiteral("/srv/out")};
    QTest::mouseClick(m_form->Button2, Qt::LeftButton);
    m_form->Edit2->setFocus(Qt::TabFocusReason);
    typeText(m_form->Edit2, QStringLiteral("C:\\ACAD"));
    // Conversion R13 -> GX3, binary output chosen from the list.
    QTest::mouseClick(m_form->findChild<QRadioButton *>(QStringLiteral("RadioGroup1Item1")), Qt::LeftButton);
    m_form->ComboBox2->setFocus(Qt::TabFocusReason);
    QTest::keyClick(m_form->ComboBox2, Qt::Key_Down);
    QVERIFY(!m_form->ComboBox1->isEnabled());
    m_form->Edit5->setText(QStringLiteral("MINE.DXT"));
    TRIGGER(m_form, "DP1");

    const QString target = m_dir.filePath(QStringLiteral("R13TOGX3.BAT"));
    m_platform.saveAnswers = {target};
    QTest::mouseClick(m_form->Button6, Qt::LeftButton);
    QCOMPARE(status(), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + target + QStringLiteral(u"を保存しました！"));

    const QString folder = QStringLiteral("Z:") + QString(drawings.path()).replace(u'/', u'\\').toUpper();
    const QByteArray f = folder.toLatin1();
    // dummy.dxf is one of the drawings, so the intermediate file is DUMMY1.DXF.
    QCOMPARE(readAll(target),
             "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT \"" + f + "\\SITE PLAN.DXF\" Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
             "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX.DXT Z:\\SRV\\OUT\\DUMMY1.DXF \"Z:\\SRV\\OUT\\SITE PLAN.DXF\"\r\n"
             "DEL Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
             "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT \"" + f + "\\R&D.DXF\" Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
             "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX.DXT Z:\\SRV\\OUT\\DUMMY1.DXF \"Z:\\SRV\\OUT\\R&D.DXF\"\r\n"
             "DEL Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
             "C:\\ACAD\\DXFIX.EXE -TC:\\ACAD\\DXFIX13.DXT " + f + "\\DUMMY.DXF Z:\\SRV\\OUT\\DUMMY1.DXF\r\n"
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
    m_form->WMDropFiles({name});
    QCOMPARE(m_form->FileCount, 1);
    press();
    QVERIFY(status().endsWith(QStringLiteral(u" )に使用できない文字が含まれています！")));
    QCOMPARE(m_form->sourceItemIndex(), 0);
    QVERIFY(m_platform.saveRequests.isEmpty());
}

QTEST_MAIN(TestSaveAction)
#include "tst_saveaction.moc"
