#include "windowtest.h"

#include "core/text/textrules.h"

#include "inputs/folderscan.h"
#include "inputs/sourcelistview.h"
#include "ordinaryuser.h"
#include "ui/readablecolour.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

#include <chrono>
#include <thread>

class TestSourceList : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void openDialogReplacesOrAdds_data();
    void openDialogReplacesOrAdds();
    void openDialogRequest();
    void keysCountWhenTheDialogCloses();
    void cancelChangesNothing();
    void dropReplacesOrAdds_data();
    void dropReplacesOrAdds();
    void dropOfNothingKeepsTheList();
    void dropSkipsMissingNamesAndKeepsDuplicates();
    void dropTakesLongNamesWhole();
    void deleteSelectedLine();
    void deleteWithoutSelection();
    void doubleClickDeletesTheLine();
    void deleteAll();
    void statusLineUntouched();
    void clickBelowTheLinesKeepsTheSelection();
    void doubleClickBelowTheLinesDeletesNothing();
    void anEmptyListShowsItsFocus();
    void aFolderOfDrawings_data();
    void aFolderOfDrawings();
    void longLinesShowTheirNames();
    void searchNamesTheFoldersItCannotRead();
    void aDropKeepsItsOrder();
    void aCancelledSearchChangesNothing_data();
    void aCancelledSearchChangesNothing();
    void unreadableFoldersNamed_data();
    void unreadableFoldersNamed();

private:
    QString makeFile(const QString &name);
    QStringList lines() const { return sources()->sources(); }
    SourceListView *view() const { return child<SourceListView>(m_window, "ListBox1"); }
};

void TestSourceList::init() { QVERIFY(openWindow(QStringLiteral("bin/tessiva"))); }

void TestSourceList::cleanup() { closeWindow(); }

QString TestSourceList::makeFile(const QString &name)
{
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    return path;
}

void TestSourceList::openDialogReplacesOrAdds_data()
{
    QTest::addColumn<int>("keys");
    QTest::addColumn<QStringList>("expected");
    const QStringList before{QStringLiteral("C:\\OLD\\a.dxf"), QStringLiteral("C:\\OLD\\b.dxf")};
    const QStringList chosen{QStringLiteral("Z:\\d\\x.dxf"), QStringLiteral("Z:\\d\\y.DXF")};
    QTest::newRow("neither replaces") << int(Qt::NoModifier) << chosen;
    QTest::newRow("Ctrl adds") << int(Qt::ControlModifier) << before + chosen;
    QTest::newRow("Shift adds") << int(Qt::ShiftModifier) << before + chosen;
    QTest::newRow("Alt replaces") << int(Qt::AltModifier) << chosen;
}

void TestSourceList::openDialogReplacesOrAdds()
{
    QFETCH(int, keys);
    QFETCH(QStringList, expected);
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/old/a.dxf"), QStringLiteral("/old/b.dxf")}, {}}};
    button("Button1")->click();
    m_platform.style = jobpath::Style::Windows; // the first two lines as typed on Windows
    m_platform.openAnswers
        = {OpenFilesResult{{QStringLiteral("C:\\OLD\\a.dxf"), QStringLiteral("C:\\OLD\\b.dxf")}, {}}};
    button("Button1")->click();
    m_platform.style = jobpath::Style::Unix;
    m_platform.modifiers = Qt::KeyboardModifiers(keys);
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/d/x.dxf"), QStringLiteral("/d/y.DXF")}, {}}};
    QTest::mouseClick(button("Button1"), Qt::LeftButton);
    QCOMPARE(lines(), expected);
    QCOMPARE(fileCount(), expected.size());
    QCOMPARE(edit("Edit4")->text(), textrules::formatFileCount(int(expected.size())));
    QCOMPARE(selectedLine(), expected.size() - 1);
    QCOMPARE(QApplication::focusWidget(), list());
    QCOMPARE(view()->visualRect(view()->model()->index(0, 0)).height(), 13);
}

void TestSourceList::openDialogRequest()
{
    m_platform.openAnswers
        = {OpenFilesResult{{QStringLiteral("/d/x.dxf")}, QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)")}, kCancelled};
    button("Button1")->click();
    button("Button1")->click();
    QCOMPARE(m_platform.openRequests.size(), 2);
    const OpenFilesRequest &first = m_platform.openRequests.at(0);
    QCOMPARE(first.title, QStringLiteral(u"変換元DXFﾌｧｲﾙを選択( 追加選択する時は+CTRｷｰ )"));
    QCOMPARE(first.nameFilters,
             (QStringList{QStringLiteral(u"ＤＸＦﾌｧｲﾙ(*.DXF)"), QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)")}));
    QVERIFY(first.selectedFilter.isEmpty());
    // The dialog comes back with the filter chosen last time.
    QCOMPARE(m_platform.openRequests.at(1).selectedFilter, QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)"));
}

void TestSourceList::keysCountWhenTheDialogCloses()
{
    m_platform.openAnswers
        = {OpenFilesResult{{QStringLiteral("/d/a.dxf")}, {}}, OpenFilesResult{{QStringLiteral("/d/b.dxf")}, {}}};
    button("Button1")->click();
    m_platform.modifiers = Qt::ControlModifier; // held while clicking only
    m_platform.modifiersAfterDialog = Qt::NoModifier;
    button("Button1")->click();
    QCOMPARE(lines(), QStringList{QStringLiteral("Z:\\d\\b.dxf")});
}

void TestSourceList::cancelChangesNothing()
{
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/d/a.dxf")}, {}}, kCancelled};
    button("Button1")->click();
    edit("Edit1")->setFocus();
    edit("Edit4")->setText(QStringLiteral("marker"));
    button("Button1")->click();
    QCOMPARE(lines(), QStringList{QStringLiteral("Z:\\d\\a.dxf")});
    QCOMPARE(edit("Edit4")->text(), QStringLiteral("marker")); // no count refresh
    QCOMPARE(QApplication::focusWidget(), edit("Edit1"));
}

void TestSourceList::dropReplacesOrAdds_data()
{
    QTest::addColumn<int>("keys");
    QTest::addColumn<int>("count");
    QTest::newRow("neither replaces") << int(Qt::NoModifier) << 2;
    QTest::newRow("Ctrl adds") << int(Qt::ControlModifier) << 3;
    QTest::newRow("Shift adds") << int(Qt::ShiftModifier) << 3;
}

void TestSourceList::dropReplacesOrAdds()
{
    QFETCH(int, keys);
    QFETCH(int, count);
    const QString a = makeFile(QStringLiteral("a.dxf"));
    const QString b = makeFile(QStringLiteral(u"計画/表.dxf"));
    const QString c = makeFile(QStringLiteral("notes.txt"));
    drop({a}, Qt::NoModifier);
    drop({b, c}, Qt::KeyboardModifiers(keys));
    QCOMPARE(lines().size(), count);
    QCOMPARE(lines().constLast(), QStringLiteral("Z:") + QDir::toNativeSeparators(c).replace(u'/', u'\\'));
    QCOMPARE(lines().at(count - 2), QStringLiteral("Z:") + QString(b).replace(u'/', u'\\'));
    QCOMPARE(fileCount(), count);
    QCOMPARE(selectedLine(), count - 1);
    QCOMPARE(QApplication::focusWidget(), list());
}

void TestSourceList::dropOfNothingKeepsTheList()
{
    // A drop of names that are no more (the file manager's stale ones)
    // brings nothing: the list stays as it was.
    drop({makeFile(QStringLiteral("a.dxf")), makeFile(QStringLiteral("b.dxf"))}, Qt::NoModifier);
    view()->setCurrentIndex(view()->model()->index(0, 0));
    drop({m_dir.filePath(QStringLiteral("gone.dxf"))}, Qt::NoModifier);
    QCOMPARE(lines().size(), 2);
    QCOMPARE(fileCount(), 2);
    QCOMPARE(selectedLine(), 0);
}

void TestSourceList::dropSkipsMissingNamesAndKeepsDuplicates()
{
    const QString a = makeFile(QStringLiteral("a.dxf"));
    drop({a, m_dir.filePath(QStringLiteral("gone.dxf")), a}, Qt::NoModifier);
    drop({a}, Qt::ControlModifier);
    QCOMPARE(lines().size(), 3);
    QCOMPARE(lines().at(0), lines().at(2));
    QCOMPARE(fileCount(), 3);
}

void TestSourceList::dropTakesLongNamesWhole()
{
    // A name of over 254 bytes is taken whole, never cut into another file's name.
    const QString folder = QString(120, u'f') + u'/' + QString(120, u'g');
    const QString longName = makeFile(folder + u'/' + QString(40, u'h') + QStringLiteral(".dxf"));
    QVERIFY(!longName.isEmpty());
    QVERIFY(longName.toUtf8().size() > 254);
    drop({longName}, Qt::NoModifier);
    QCOMPARE(lines(), QStringList{QStringLiteral("Z:") + QString(longName).replace(u'/', u'\\')});
    // Too long for the list, the line keeps its file's name in sight.
    QCOMPARE(view()->textElideMode(), Qt::ElideMiddle);
}

void TestSourceList::deleteSelectedLine()
{
    m_platform.openAnswers
        = {OpenFilesResult{{QStringLiteral("/d/a.dxf"), QStringLiteral("/d/b.dxf"), QStringLiteral("/d/c.dxf")}, {}}};
    button("Button1")->click();
    view()->setCurrentIndex(view()->model()->index(1, 0));
    QCOMPARE(selectedLine(), 1);
    QTest::mouseClick(button("Button4"), Qt::LeftButton);
    QCOMPARE(lines(), (QStringList{QStringLiteral("Z:\\d\\a.dxf"), QStringLiteral("Z:\\d\\c.dxf")}));
    QCOMPARE(selectedLine(), -1); // no other line takes over
    QCOMPARE(fileCount(), 2);
    QCOMPARE(edit("Edit4")->text(), QStringLiteral("       2"));
    QCOMPARE(QApplication::focusWidget(), list());
    // A second press deletes nothing.
    button("Button4")->click();
    QCOMPARE(lines().size(), 2);
}

void TestSourceList::deleteWithoutSelection()
{
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/d/a.dxf")}, {}}};
    button("Button1")->click();
    view()->selectionModel()->clear();
    edit("Edit1")->setFocus();
    edit("Edit4")->setText(QStringLiteral("marker"));
    button("Button4")->click();
    QCOMPARE(lines().size(), 1);
    QCOMPARE(edit("Edit4")->text(), QStringLiteral("       1"));
    QCOMPARE(QApplication::focusWidget(), list());
}

void TestSourceList::doubleClickDeletesTheLine()
{
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/d/a.dxf"), QStringLiteral("/d/b.dxf")}, {}}};
    button("Button1")->click();
    QWidget *viewport = view()->viewport();
    const QPoint first = view()->visualRect(view()->model()->index(0, 0)).center();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, first);
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, first);
    QCOMPARE(lines(), QStringList{QStringLiteral("Z:\\d\\b.dxf")});
    QCOMPARE(fileCount(), 1);
}

void TestSourceList::deleteAll()
{
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/d/a.dxf"), QStringLiteral("/d/b.dxf")}, {}}};
    button("Button1")->click();
    QTest::mouseClick(button("Button5"), Qt::LeftButton);
    QVERIFY(lines().isEmpty());
    QCOMPARE(fileCount(), 0);
    QCOMPARE(edit("Edit4")->text(), QStringLiteral("       0"));
    QCOMPARE(QApplication::focusWidget(), list());
}

void TestSourceList::statusLineUntouched()
{
    child<StatusLine>(m_window, "Label10")->setStatus(QStringLiteral("kept"));
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/d/a.dxf")}, {}}};
    button("Button1")->click();
    button("Button5")->click();
    drop({makeFile(QStringLiteral("a.dxf"))}, Qt::NoModifier);
    QCOMPARE(status(), QStringLiteral("kept"));
    QCOMPARE(m_platform.beeps, 0);
}

void TestSourceList::clickBelowTheLinesKeepsTheSelection()
{
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/d/a.dxf"), QStringLiteral("/d/b.dxf")}, {}}};
    button("Button1")->click();
    QCOMPARE(selectedLine(), 1);
    const QPoint below(20, view()->viewport()->height() - 5);
    QVERIFY(!view()->indexAt(below).isValid());
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QCOMPARE(selectedLine(), 1);
    QCOMPARE(QApplication::focusWidget(), list());
    // So "c" still deletes it.
    QTest::mouseClick(button("Button4"), Qt::LeftButton);
    QCOMPARE(lines(), QStringList{QStringLiteral("Z:\\d\\a.dxf")});
}

void TestSourceList::doubleClickBelowTheLinesDeletesNothing()
{
    // The selected line is not under the pointer: it stays.
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/d/a.dxf"), QStringLiteral("/d/b.dxf")}, {}}};
    button("Button1")->click();
    sources()->selectAndFocus(0);
    const QPoint below(20, view()->viewport()->height() - 5);
    QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, below);
    QCOMPARE(lines(), (QStringList{QStringLiteral("Z:\\d\\a.dxf"), QStringLiteral("Z:\\d\\b.dxf")}));
    QCOMPARE(selectedLine(), 0);
}

void TestSourceList::aFolderOfDrawings_data()
{
    // Steps on the list, and what it holds after them: its count, and the
    // folder its tree comes from ("" for none). A folder's drawings replace
    // the list, or with Ctrl join it; "ac", a plain drop and a plain choice
    // of files start over; a cancelled folder dialog changes nothing.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("root");
    const QString a = QStringLiteral("a");
    QTest::newRow("a folder") << QStringList{QStringLiteral("folder a")} << 3 << a;
    QTest::newRow("files, then a folder") << QStringList{QStringLiteral("files"), QStringLiteral("folder a")} << 3 << a;
    // One tree to a list: a folder outside it is refused as it is added,
    // and said; one inside it joins it.
    QTest::newRow("a folder, then another with Ctrl")
        << QStringList{QStringLiteral("folder a"), QStringLiteral("ctrl folder b")} << 3 << a;
    QTest::newRow("a folder, then one below it with Ctrl")
        << QStringList{QStringLiteral("folder a"), QStringLiteral("ctrl folder a/sub")} << 5 << a;
    // A dropped folder is taken as the folder item takes it; with files,
    // the files join the folder's drawings.
    QTest::newRow("a folder dropped") << QStringList{QStringLiteral("files"), QStringLiteral("drop folder a")} << 3
                                      << a;
    QTest::newRow("a folder, then another dropped with Ctrl")
        << QStringList{QStringLiteral("folder a"), QStringLiteral("ctrl drop folder b")} << 3 << a;
    QTest::newRow("a folder and a file dropped together")
        << QStringList{QStringLiteral("drop folder a and file")} << 4 << a;
    QTest::newRow("files, then a folder with Ctrl")
        << QStringList{QStringLiteral("files"), QStringLiteral("ctrl folder a")} << 5 << a;
    QTest::newRow("a folder, then files with Ctrl")
        << QStringList{QStringLiteral("folder a"), QStringLiteral("ctrl files")} << 5 << a;
    QTest::newRow("a folder, then ac") << QStringList{QStringLiteral("folder a"), QStringLiteral("ac")} << 0
                                       << QString();
    QTest::newRow("a folder, then a drop")
        << QStringList{QStringLiteral("folder a"), QStringLiteral("drop")} << 1 << QString();
    QTest::newRow("a folder, then files")
        << QStringList{QStringLiteral("folder a"), QStringLiteral("files")} << 2 << QString();
    QTest::newRow("a folder, then a cancelled one")
        << QStringList{QStringLiteral("folder a"), QStringLiteral("cancel")} << 3 << a;
    // Only what brings a drawing changes the list: a folder of none, a
    // folder that is not there, dropped or chosen, leave it as it was.
    QTest::newRow("a folder, then a drop of a folder of no drawing")
        << QStringList{QStringLiteral("folder a"), QStringLiteral("drop folder n")} << 3 << a;
    QTest::newRow("files, then a folder of no drawing")
        << QStringList{QStringLiteral("files"), QStringLiteral("folder n")} << 2 << QString();
    QTest::newRow("a folder, then one that is not there")
        << QStringList{QStringLiteral("folder a"), QStringLiteral("folder gone")} << 3 << a;
}

void TestSourceList::aFolderOfDrawings()
{
    QFETCH(QStringList, steps);
    QFETCH(int, count);
    QFETCH(QString, root);
    // Folder a: three drawings (one of them in a folder below, one .DXF),
    // and a file that is none; folder b: one drawing.
    for (const char *name : {"a/x.dxf", "a/sub/y.DXF", "a/sub/z.dxf", "a/notes.txt", "b/w.dxf", "n/x.txt"})
        QVERIFY(!makeFile(QLatin1String(name)).isEmpty());
    const QString dropped = makeFile(QStringLiteral("c/v.dxf"));
    for (const QString &step : std::as_const(steps)) {
        m_platform.modifiers = step.startsWith(QLatin1String("ctrl")) ? Qt::ControlModifier : Qt::NoModifier;
        const QString folder = m_dir.filePath(step.section(QStringLiteral("folder "), 1).section(u' ', 0, 0));
        if (step.contains(QLatin1String("drop folder"))) {
            QStringList names{folder};
            if (step.endsWith(QLatin1String("and file")))
                names << dropped;
            drop(names, m_platform.modifiers);
        } else if (step.contains(QLatin1String("folder "))) {
            m_platform.browseAnswers = {folder};
            TRIGGER(m_window, "AddFolder1");
        } else if (step == QLatin1String("cancel")) {
            m_platform.browseAnswers = {kCancelled};
            TRIGGER(m_window, "AddFolder1");
        } else if (step.endsWith(QLatin1String("files"))) {
            m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("/e/1.dxf"), QStringLiteral("/e/2.dxf")}, {}}};
            QTest::mouseClick(button("Button1"), Qt::LeftButton);
        } else if (step == QLatin1String("ac")) {
            QTest::mouseClick(button("Button5"), Qt::LeftButton);
        } else if (step == QLatin1String("drop")) {
            drop({dropped}, Qt::NoModifier);
        }
    }
    m_platform.modifiers = Qt::NoModifier;
    QCOMPARE(fileCount(), count);
    const QString expected
        = root.isEmpty() ? QString() : jobpath::folderToJob(m_dir.filePath(root), jobpath::Style::Unix);
    QCOMPARE(m_window->currentJob().treeRoot, expected);
    // What a folder brought is said, as the list names folders.
    const auto named = [&](const char *folder) {
        return jobpath::folderToJob(m_dir.filePath(QLatin1String(folder)), jobpath::Style::Unix);
    };
    if (steps.last().endsWith(QLatin1String("folder n")))
        QCOMPARE(status(), QStringLiteral(u"変換元ﾌｫﾙﾀﾞ( ") + named("n") + QStringLiteral(u" )には図面がありません！"));
    if (steps.last().endsWith(QLatin1String("folder gone")))
        QCOMPARE(status(), QStringLiteral(u"変換元ﾌｫﾙﾀﾞ( ") + named("gone") + QStringLiteral(u" )がありません！"));
    // A folder refused is said, with the tree's root.
    if (steps.join(u' ').contains(QLatin1String("folder b")))
        QVERIFY2(status().contains(QStringLiteral(u"の下にありません！")) && status().contains(expected),
                 qPrintable(status()));
}

void TestSourceList::anEmptyListShowsItsFocus()
{
    // Inside its frame, an empty list looks otherwise with the focus.
    QVERIFY(lines().isEmpty());
    m_window->activateWindow();
    view()->setFocus();
    QTRY_VERIFY(view()->hasFocus());
    const QImage focused = view()->viewport()->grab().toImage();
    button("Button6")->setFocus();
    QTRY_VERIFY(!view()->hasFocus());
    QVERIFY(view()->viewport()->grab().toImage() != focused);
    // The mark stands out: its strongest pixel at least 3:1 against the
    // list's background, as a mark that is no text needs.
    const QColor background = view()->palette().color(QPalette::Base);
    double strongest = 1;
    for (int y = 0; y < focused.height(); ++y) {
        for (int x = 0; x < focused.width(); ++x)
            strongest = qMax(strongest, readablecolour::contrast(focused.pixelColor(x, y), background));
    }
    QVERIFY2(strongest >= 3, qPrintable(QString::number(strongest)));
}

void TestSourceList::aDropKeepsItsOrder()
{
    // A file, then a folder: the file's line first, then the folder's
    // drawings; the folder the tree's root.
    const QString loose = makeFile(QStringLiteral("loose.dxf"));
    for (const char *name : {"inner/b.dxf", "inner/a.dxf"})
        QVERIFY(!makeFile(QLatin1String(name)).isEmpty());
    drop({loose, m_dir.filePath(QStringLiteral("inner"))}, Qt::NoModifier);
    const auto job
        = [&](const char *name) { return jobpath::toJob(m_dir.filePath(QLatin1String(name)), jobpath::Style::Unix); };
    QCOMPARE(lines(), (QStringList{job("loose.dxf"), job("inner/a.dxf"), job("inner/b.dxf")}));
    QCOMPARE(m_window->currentJob().treeRoot,
             jobpath::folderToJob(m_dir.filePath(QStringLiteral("inner")), jobpath::Style::Unix));
}

namespace {
// A search that goes on until it is told to stop.
folderscan::Found endless(const QString &, folderscan::Progress &progress)
{
    while (!progress.stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return {};
}
} // namespace

void TestSourceList::aCancelledSearchChangesNothing_data()
{
    QTest::addColumn<bool>("dropped");
    QTest::newRow("the folder item") << false;
    QTest::newRow("a drop") << true;
}

void TestSourceList::aCancelledSearchChangesNothing()
{
    // While a search goes on, the list and its count are those it had;
    // cancelled, the list stays as it was.
    QFETCH(bool, dropped);
    drop({makeFile(QStringLiteral("a.dxf")), makeFile(QStringLiteral("b.dxf"))}, Qt::NoModifier);
    const QStringList before = lines();
    const QString folder = m_dir.filePath(QStringLiteral("big"));
    QVERIFY(QDir().mkpath(folder));
    folderscan::setSearcher(&endless);
    // Once the search shows its progress: what the list holds then, and
    // its cancel pressed. Looked at from the search's own waiting.
    QStringList during;
    int countDuring = -1;
    QTimer look;
    connect(&look, &QTimer::timeout, this, [&] {
        QProgressDialog *progress = m_window->findChild<QProgressDialog *>();
        if (!progress || !progress->isVisible())
            return;
        during = lines();
        countDuring = fileCount();
        look.stop();
        progress->cancel();
    });
    look.start(20);
    if (dropped) {
        drop({folder}, Qt::NoModifier);
    } else {
        m_platform.browseAnswers = {folder};
        TRIGGER(m_window, "AddFolder1");
    }
    folderscan::setSearcher(nullptr);
    QCOMPARE(during, before);
    QCOMPARE(countDuring, 2);
    QCOMPARE(lines(), before);
    QCOMPARE(fileCount(), 2);
}

namespace {
int g_unreadable = 0;
// A search that finds one drawing and g_unreadable folders it could not
// read, below the folder it is given.
folderscan::Found someUnreadable(const QString &folder, folderscan::Progress &)
{
    folderscan::Found found{{folder + QStringLiteral("/a.dxf")}, {}};
    for (int i = 1; i <= g_unreadable; ++i)
        found.unreadable << folder + QStringLiteral("/shut%1").arg(i);
    return found;
}
} // namespace

void TestSourceList::unreadableFoldersNamed_data()
{
    // How many folders could not be read; the status line names three at
    // the most, as the list names folders.
    QTest::addColumn<int>("unreadable");
    QTest::newRow("one") << 1;
    QTest::newRow("three, all named") << 3;
    QTest::newRow("four, three named") << 4;
}

void TestSourceList::unreadableFoldersNamed()
{
    QFETCH(int, unreadable);
    const QString folder = m_dir.filePath(QStringLiteral("t"));
    QVERIFY(QDir().mkpath(folder));
    QStringList named;
    for (int i = 1; i <= qMin(unreadable, 3); ++i)
        named << jobpath::folderToJob(folder + QStringLiteral("/shut%1").arg(i), jobpath::Style::Unix);
    if (unreadable > 3)
        named << QStringLiteral(u"…");
    g_unreadable = unreadable;
    folderscan::setSearcher(&someUnreadable);
    m_platform.browseAnswers = {folder};
    TRIGGER(m_window, "AddFolder1");
    folderscan::setSearcher(nullptr);
    QCOMPARE(status(),
             QStringLiteral(u"読めないﾌｫﾙﾀﾞが %1 個あります: ").arg(unreadable) + named.join(QStringLiteral(u"、")));
    QCOMPARE(fileCount(), 1);
    // The next action says what it did: the old notice goes.
    drop({makeFile(QStringLiteral("b.dxf"))}, Qt::ControlModifier);
    QCOMPARE(status(), QString());
}

void TestSourceList::searchNamesTheFoldersItCannotRead()
{
    // A folder the user may not read is named, not passed over in silence;
    // what could be read is found, and every folder looked in is counted.
    for (const char *name : {"tree/a.dxf", "tree/open/b.dxf", "tree/shut/c.dxf", "tree/seen/d.dxf"})
        QVERIFY(!makeFile(QLatin1String(name)).isEmpty());
    const QString tree = m_dir.filePath(QStringLiteral("tree"));
    QVERIFY(ordinaryuser::handOver(tree));
    for (const char *folder : {"", "/open", "/shut", "/seen"}) {
        const QByteArray path = QFile::encodeName(tree + QLatin1String(folder));
        if (ordinaryuser::isRoot())
            QCOMPARE(::chown(path.constData(), ordinaryuser::kNobody, ordinaryuser::kNobody), 0);
    }
    // One folder that cannot be read, one that can be read but not entered.
    QVERIFY(QFile::setPermissions(tree + QStringLiteral("/shut"), QFileDevice::WriteOwner));
    QVERIFY(QFile::setPermissions(tree + QStringLiteral("/seen"), QFileDevice::ReadOwner));
    const bool named = ordinaryuser::run([&] {
        folderscan::Progress progress;
        const folderscan::Found found = folderscan::search(tree, progress);
        return found.unreadable == QStringList{tree + QStringLiteral("/seen"), tree + QStringLiteral("/shut")}
        && found.drawings == QStringList{tree + QStringLiteral("/a.dxf"), tree + QStringLiteral("/open/b.dxf")}
        && progress.folders == 2 && progress.drawings == 2;
    });
    for (const char *folder : {"/shut", "/seen"})
        QFile::setPermissions(tree + QLatin1String(folder),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(named);
}

void TestSourceList::longLinesShowTheirNames()
{
    // A path far wider than the list: its line is no wider than the list,
    // ends with the file's name, and the whole path is its tooltip.
    const QString longPath = QStringLiteral("\\\\fileserver\\projects\\") + QString(90, u'x')
        + QStringLiteral("\\drawings\\plan-2026-final.dxf");
    m_platform.style = jobpath::Style::Windows;
    m_platform.openAnswers = {OpenFilesResult{{longPath}, {}}};
    button("Button1")->click();
    const QRect line = view()->visualRect(view()->model()->index(0, 0));
    QVERIFY2(line.width() <= view()->viewport()->width(), qPrintable(QString::number(line.width())));
    QVERIFY(!view()->horizontalScrollBar()->isVisible());
    QStyleOptionViewItem option;
    option.initFrom(view());
    option.rect = line;
    option.font = view()->font();
    option.fontMetrics = QFontMetrics(view()->font());
    const QString shown = option.fontMetrics.elidedText(longPath, Qt::ElideMiddle, line.width());
    QVERIFY2(shown.endsWith(QStringLiteral("final.dxf")) && shown.size() < longPath.size(), qPrintable(shown));
    QHelpEvent tip(QEvent::ToolTip, line.center(), view()->viewport()->mapToGlobal(line.center()));
    QCoreApplication::sendEvent(view()->viewport(), &tip);
    QTRY_COMPARE(QToolTip::text(), longPath);
    QToolTip::hideText();
}

QTEST_MAIN(TestSourceList)
#include "tst_sourcelist.moc"
