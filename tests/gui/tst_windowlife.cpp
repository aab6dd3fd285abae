#include "mainwindowtest.h"

// The main window's start and end, and what it takes from the toolkit:
// drops only on the list, exit, an exception's and a failed start's error
// box, the toolkit's dialogs in Japanese, the "all files" filter, the
// desktop entry.
class TestWindowLife : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void dropsOnlyOnTheList();
    void exitClosesTheWindow();
    void handlerExceptionShowsErrorBox();
    void startUpFailureShowsErrorBoxAndEnds();
    void toolkitDialogsInJapanese();
    void allFilesMeansEveryFile();
    void desktopEntryCarriesTheTitle();

private:
    QTemporaryDir m_dir;
    FakePlatform m_platform;
};

void TestWindowLife::init()
{
    m_platform = FakePlatform();
    m_platform.exePath = m_dir.filePath(QStringLiteral("tessiva"));
}

void TestWindowLife::dropsOnlyOnTheList()
{
    MainWindow form(m_platform);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.dxf"))});
    mime.setText(QStringLiteral("/tmp/a.dxf"));
    for (const char *name : {"Edit1", "Edit2", "Edit5", "ComboBox1", "Client"}) {
        auto *w = form.findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(w, name);
        QVERIFY2(!w->acceptDrops(), name);
    }
    QVERIFY(!form.acceptDrops());
    FIND(list, SourceListView, &form, "ListBox1");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);
}

void TestWindowLife::exitClosesTheWindow()
{
    MainWindow form(m_platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    TRIGGER(&form, "Exit1");
    QVERIFY(!form.isVisible());
}

void TestWindowLife::handlerExceptionShowsErrorBox()
{
    // A failure inside a handler reached by a click is shown, and the
    // window goes on taking clicks.
    MainWindow form(m_platform);
    QVERIFY(showActive(&form));
    m_platform.browseThrows = true;
    QTest::mouseClick(child<QPushButton>(&form, "Button2"), Qt::LeftButton);
    QCOMPARE(m_platform.errorBoxes, QStringList{QStringLiteral("Morvane Tessiva|Access violation.")});
    m_platform.browseThrows = false;
    m_platform.browseAnswers = {QStringLiteral("/data/drawings")};
    QTest::mouseClick(child<QPushButton>(&form, "Button3"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(&form, "Edit2")->text(), QStringLiteral("Z:\\data\\drawings\\"));
}

void TestWindowLife::startUpFailureShowsErrorBoxAndEnds()
{
    bool ran = false;
    const int code = runStartUp(
        m_platform, [](Windows &) { throw std::runtime_error("Cannot create window"); },
        [&ran] {
            ran = true;
            return 3;
        });
    QCOMPARE(code, 1);
    QVERIFY(!ran);
    QCOMPARE(m_platform.errorBoxes, QStringList{QStringLiteral("Morvane Tessiva|Cannot create window.")});
}

void TestWindowLife::toolkitDialogsInJapanese()
{
    QVERIFY(!toolkittranslation::install(*qApp, m_dir.filePath(QStringLiteral("nowhere"))));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + QStringLiteral("/qtbase_ja.qm")))
        QSKIP("Qt's Japanese translation is not installed (Debian: qt6-translations-l10n)");
    QTranslator *translator = toolkittranslation::install(*qApp);
    QVERIFY(translator);
    // The save dialog's button and its overwrite question.
    QFileDialog dialog(nullptr, QStringLiteral("t"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList buttons;
    for (QPushButton *b : dialog.findChildren<QPushButton *>())
        buttons << b->text();
    QCoreApplication::removeTranslator(translator);
    QVERIFY2(buttons.contains(QStringLiteral(u"保存(&S)")), qPrintable(buttons.join(u'|')));
    QCoreApplication::installTranslator(translator);
    QCOMPARE(QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?"),
             QStringLiteral(u"%1 は既に存在します。\n置き換えますか?"));
    QCoreApplication::removeTranslator(translator);
}

void TestWindowLife::allFilesMeansEveryFile()
{
    // The dialogs' "(*.*)" shows names without a dot too; another filter
    // keeps its own patterns.
    QFileDialog dialog(nullptr, QStringLiteral("t"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)"), QStringLiteral(u"BATﾌｧｲﾙ(*.BAT)")});
    showEveryFileForStarDotStar(dialog);
    auto *model = dialog.findChild<QFileSystemModel *>();
    QVERIFY(model);
    QCOMPARE(model->nameFilters(), QStringList{QStringLiteral("*")});
    dialog.selectNameFilter(QStringLiteral(u"BATﾌｧｲﾙ(*.BAT)"));
    QCoreApplication::processEvents();
    QCOMPARE(model->nameFilters(), QStringList{QStringLiteral("*.BAT")});
    dialog.selectNameFilter(QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)"));
    QCoreApplication::processEvents();
    QCOMPARE(model->nameFilters(), QStringList{QStringLiteral("*")});
}

void TestWindowLife::desktopEntryCarriesTheTitle()
{
    QFile entry(QStringLiteral(TESSIVA_SOURCE_DIR "/resources/tessiva.desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(u'\n');
    QVERIFY(lines.contains(QStringLiteral("Name=") + applicationTitle()));
    QVERIFY(lines.contains(QStringLiteral("Exec=tessiva")));
}

QTEST_MAIN(TestWindowLife)
#include "tst_windowlife.moc"
