#include "sourcelisttest.h"

// Folders brought to the list: a folder of drawings by the menu and by a
// drop, in drop order; a cancelled search; folders that cannot be read.
class TestFolderSearch : public SourceListTest
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(openWindow(QStringLiteral("bin/tessiva"))); }
    void cleanup() { closeWindow(); }
    void aFolderOfDrawings_data();
    void aFolderOfDrawings();
    void aDropKeepsItsOrder();
    void aCancelledSearchChangesNothing_data();
    void aCancelledSearchChangesNothing();
    void unreadableFoldersNamed_data();
    void unreadableFoldersNamed();
    void searchNamesTheFoldersItCannotRead();
};

void TestFolderSearch::aFolderOfDrawings_data()
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

void TestFolderSearch::aFolderOfDrawings()
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

void TestFolderSearch::aDropKeepsItsOrder()
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

void TestFolderSearch::aCancelledSearchChangesNothing_data()
{
    QTest::addColumn<bool>("dropped");
    QTest::newRow("the folder item") << false;
    QTest::newRow("a drop") << true;
}

void TestFolderSearch::aCancelledSearchChangesNothing()
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

void TestFolderSearch::unreadableFoldersNamed_data()
{
    // How many folders could not be read; the status line names three at
    // the most, as the list names folders.
    QTest::addColumn<int>("unreadable");
    QTest::newRow("one") << 1;
    QTest::newRow("three, all named") << 3;
    QTest::newRow("four, three named") << 4;
}

void TestFolderSearch::unreadableFoldersNamed()
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

void TestFolderSearch::searchNamesTheFoldersItCannotRead()
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

QTEST_MAIN(TestFolderSearch)
#include "tst_foldersearch.moc"
