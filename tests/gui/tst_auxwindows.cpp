#include "fakeplatform.h"

#include "app/mainwindow.h"
#include "app/startup.h"
#include "helpwindows/aboutwindow.h"
#include "helpwindows/helptext.h"
#include "helpwindows/howtousewindow.h"
#include "helpwindows/placement.h"

#include "ui/readablecolour.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QWindow>

class TestAuxWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void helpTextLines();
    void placement_data();
    void placement();
    void helpShownOverTheMainWindow();
    void reshowingMovesItBack();
    void aboutWindow();
    void bothOpenWithAUsableMainWindow();
    void memoEditsLastWhileRunning();
    void closingTheMainWindowHidesThem();
    void helpIsAnOrdinaryWindow();
    void enterPressesTheFocusedButton_data();
    void enterPressesTheFocusedButton();
    void textsReadableInEachPalette_data();
    void textsReadableInEachPalette();

private:
    QTemporaryDir m_dir;
    FakePlatform m_platform;
    std::unique_ptr<Windows> m_windows;
};

void TestAuxWindows::init()
{
    m_platform = FakePlatform();
    m_platform.exePath = m_dir.filePath(QStringLiteral("tessiva"));
    m_windows = std::make_unique<Windows>();
    createWindows(m_platform, *m_windows);
    m_windows->main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_windows->main.get()));
}

void TestAuxWindows::cleanup() { m_windows.reset(); }

void TestAuxWindows::helpTextLines()
{
    const QStringList lines = helpText();
    QCOMPARE(lines.size(), 70);
    const auto indent = [](const QString &line) {
        int n = 0;
        while (n < line.size() && line.at(n) == QChar(0x3000))
            ++n;
        return n;
    };
    // Line number (from 1), full-width blanks before the text.
    const QList<QPair<int, int>> indents{{1, 0},  {6, 1},  {7, 3},  {17, 2}, {20, 3}, {21, 4}, {24, 4}, {26, 4},
                                         {29, 4}, {30, 9}, {31, 4}, {34, 3}, {38, 3}, {40, 3}, {43, 3}, {47, 2},
                                         {50, 3}, {52, 2}, {57, 2}, {63, 2}, {66, 2}, {69, 34}};
    for (const auto &[line, blanks] : indents)
        QVERIFY2(indent(lines.at(line - 1)) == blanks, qPrintable(QString::number(line)));
    for (int empty : {5, 8, 14, 18, 32, 36, 41, 45, 48, 53, 55, 60, 64, 67, 68})
        QVERIFY2(lines.at(empty - 1).isEmpty(), qPrintable(QString::number(empty)));
    QCOMPARE(lines.at(0), QStringLiteral(u"■ＴＥＳＳＩＶＡの用途"));
    QCOMPARE(lines.at(5), QStringLiteral(u"\u3000(1) Ｒ１３→Ｒ１２　　(2) Ｒ１３→ＧＸⅢ　　(3) Ｒ１２→ＧＸⅢ"));
    QCOMPARE(lines.at(28),
             QStringLiteral(u"\u3000\u3000\u3000\u3000一行削除　削除したい行を選択後[C ﾎﾞﾀﾝ]を押して下さい。"));
    QCOMPARE(lines.at(36), QStringLiteral(u"４　AutoCadﾌｫﾙﾀﾞを指定する。（DXFIX.EXEのパス指定になります。）"));
    QCOMPARE(lines.at(68), QString(34, QChar(0x3000)) + QStringLiteral(u"以上"));
    QCOMPARE(lines.at(69), QStringLiteral(" "));
    HowToUseWindow help;
    help.show();
    QCOMPARE(child<QPlainTextEdit>(&help, "Memo1")->document()->blockCount(), 70);
    QCOMPARE(help.windowTitle(), QStringLiteral(u"説明(Tessiva) "));
}

void TestAuxWindows::placement_data()
{
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("smaller window") << QRect(100, 50, 561, 481) << QSize(504, 426) << QPoint(128, 77);
    QTest::newRow("larger window, negative halves cut toward zero")
        << QRect(0, 0, 300, 200) << QSize(357, 233) << QPoint(-28, -16);
    QTest::newRow("main window partly off the screen")
        << QRect(-400, -300, 561, 481) << QSize(356, 236) << QPoint(-298, -178);
}

void TestAuxWindows::placement()
{
    QFETCH(QRect, main);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    QCOMPARE(centredOver(main, window), expected);
}

void TestAuxWindows::helpShownOverTheMainWindow()
{
    MainWindow *form = m_windows->main.get();
    QVERIFY(!m_windows->howToUse->isVisible());
    TRIGGER(form, "HowtoUseHelp1");
    HowToUseWindow *help = m_windows->howToUse.get();
    QVERIFY(help->isVisible());
    QCOMPARE(help->frameGeometry().topLeft(), centredOver(form->frameGeometry(), help->frameGeometry().size()));
    QVERIFY(form->isEnabled()); // not modal
}

void TestAuxWindows::reshowingMovesItBack()
{
    MainWindow *form = m_windows->main.get();
    TRIGGER(form, "About1");
    AboutWindow *about = m_windows->about;
    about->move(about->pos() + QPoint(200, 100));
    form->move(form->pos() + QPoint(30, 20)); // the main window moved too
    TRIGGER(form, "About1");
    QCOMPARE(about->frameGeometry().topLeft(), centredOver(form->frameGeometry(), about->frameGeometry().size()));
}

void TestAuxWindows::aboutWindow()
{
    TRIGGER(m_windows->main.get(), "About1");
    AboutWindow *about = m_windows->about;
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QCOMPARE(about->windowTitle(), QStringLiteral(u"バージョン情報"));
    QVERIFY(about->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(about->parentWidget(), m_windows->main.get()); // kept above the main window
    QCOMPARE(about->size(), QSize(350, 210));
    QCOMPARE(child<QLabel>(about, "Label1")->text(), QStringLiteral("Tessiva ( for DXF to DXF DataConvert )"));
    QCOMPARE(child<QLabel>(about, "Label2")->text(), QStringLiteral("Version 1.70"));
    QCOMPARE(child<QLabel>(about, "Label3")->text(), QStringLiteral("2002.04.21"));
    QCOMPARE(child<QLabel>(about, "Image1")->pixmap().size(), QSize(32, 32));
    QCOMPARE(child<QPushButton>(about, "BitBtn1")->geometry(), QRect(131, 180, 88, 20));
    QApplication::setActiveWindow(about);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QCOMPARE(QApplication::focusWidget(), child<QPushButton>(about, "BitBtn1"));
    QTest::mouseClick(child<QPushButton>(about, "BitBtn1"), Qt::LeftButton);
    QVERIFY(!about->isVisible());
}

void TestAuxWindows::bothOpenWithAUsableMainWindow()
{
    MainWindow *form = m_windows->main.get();
    TRIGGER(form, "HowtoUseHelp1");
    TRIGGER(form, "About1");
    QVERIFY(m_windows->howToUse->isVisible());
    QVERIFY(m_windows->about->isVisible());
    TRIGGER(form, "DP1"); // the main window still takes commands
    QTest::mouseClick(child<QPushButton>(m_windows->howToUse.get(), "Button1"), Qt::LeftButton);
    QVERIFY(!m_windows->howToUse->isVisible());
    QVERIFY(m_windows->about->isVisible());
}

void TestAuxWindows::memoEditsLastWhileRunning()
{
    TRIGGER(m_windows->main.get(), "HowtoUseHelp1");
    auto *memo = child<QPlainTextEdit>(m_windows->howToUse.get(), "Memo1");
    QVERIFY(!memo->isReadOnly());
    memo->appendPlainText(QStringLiteral("note"));
    m_windows->howToUse->close();
    TRIGGER(m_windows->main.get(), "HowtoUseHelp1");
    QVERIFY(memo->toPlainText().endsWith(QStringLiteral("note")));
    HowToUseWindow fresh; // the next start
    fresh.show();
    QCOMPARE(child<QPlainTextEdit>(&fresh, "Memo1")->toPlainText(), helpText().join(u'\n'));
}

void TestAuxWindows::closingTheMainWindowHidesThem()
{
    TRIGGER(m_windows->main.get(), "HowtoUseHelp1");
    TRIGGER(m_windows->main.get(), "About1");
    TRIGGER(m_windows->main.get(), "Exit1");
    QVERIFY(!m_windows->main->isVisible());
    QVERIFY(!m_windows->howToUse->isVisible());
    QVERIFY(!m_windows->about->isVisible());
}

void TestAuxWindows::helpIsAnOrdinaryWindow()
{
    TRIGGER(m_windows->main.get(), "HowtoUseHelp1");
    HowToUseWindow *help = m_windows->howToUse.get();
    QVERIFY(QTest::qWaitForWindowExposed(help));
    // A window of its own: no dialog kept over the application's windows,
    // not above the main window.
    QCOMPARE(help->windowType(), Qt::Window);
    QVERIFY(!help->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!help->parentWidget());
    QVERIFY(!help->windowHandle()->transientParent());
    QVERIFY(help->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!help->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(help->minimumSize(), help->maximumSize());
}

void TestAuxWindows::enterPressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("key");
    QTest::newRow("Ok of the About window, Return") << QStringLiteral("About1") << int(Qt::Key_Return);
    QTest::newRow("Ok of the About window, keypad Enter") << QStringLiteral("About1") << int(Qt::Key_Enter);
    QTest::newRow("Close of the help window") << QStringLiteral("HowtoUseHelp1") << int(Qt::Key_Return);
}

void TestAuxWindows::enterPressesTheFocusedButton()
{
    QFETCH(QString, menu);
    QFETCH(int, key);
    child<QAction>(m_windows->main.get(), qPrintable(menu))->trigger();
    QWidget *window = menu == QLatin1String("About1") ? static_cast<QWidget *>(m_windows->about.data())
                                                      : static_cast<QWidget *>(m_windows->howToUse.get());
    QVERIFY(showActive(window));
    auto *button = child<QPushButton>(window, menu == QLatin1String("About1") ? "BitBtn1" : "Button1");
    button->setFocus();
    QTest::keyClick(button, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QVERIFY(!window->isVisible());

    // Enter in the help text is a line break, not Close.
    if (menu == QLatin1String("HowtoUseHelp1")) {
        TRIGGER(m_windows->main.get(), "HowtoUseHelp1");
        auto *memo = child<QPlainTextEdit>(window, "Memo1");
        memo->setFocus();
        const int blocks = memo->document()->blockCount();
        QTest::keyClick(memo, Qt::Key_Return);
        QVERIFY(window->isVisible());
        QCOMPARE(memo->document()->blockCount(), blocks + 1);
    }
}

void TestAuxWindows::textsReadableInEachPalette_data()
{
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<bool>("yellowKept"); // the status line's own colour reads there as it is
    QTest::newRow("the style's own") << QApplication::style()->standardPalette() << false;
    QPalette face(QColor(Qt::black), QColor(0xf0, 0xf0, 0xf0));
    QTest::newRow("the Windows light face") << face << false;
    QPalette dark(QColor(Qt::white), QColor(0x35, 0x35, 0x35));
    QTest::newRow("a dark palette") << dark << true;
}

void TestAuxWindows::textsReadableInEachPalette()
{
    // Every text of the main window and the About window against what it is
    // drawn on, as the widgets have them.
    QFETCH(QPalette, palette);
    QFETCH(bool, yellowKept);
    TRIGGER(m_windows->main.get(), "About1");
    m_windows->main->setPalette(palette);
    m_windows->about->setPalette(palette);
    QList<QLabel *> labels = m_windows->main->findChildren<QLabel *>();
    labels += m_windows->about->findChildren<QLabel *>();
    int checked = 0;
    for (const QLabel *label : std::as_const(labels)) {
        if (label->text().isEmpty())
            continue;
        const QWidget *drawnOn = label->autoFillBackground() ? label : label->parentWidget();
        const QColor text = label->palette().color(QPalette::WindowText);
        const QColor background = drawnOn->palette().color(drawnOn->backgroundRole());
        const double ratio = readablecolour::contrast(text, background);
        QVERIFY2(ratio >= readablecolour::kMinimum,
                 qPrintable(QStringLiteral("%1 (%2): %3 on %4, %5:1")
                                .arg(label->objectName(), label->text(), text.name(), background.name())
                                .arg(ratio, 0, 'f', 2)));
        ++checked;
    }
    QVERIFY(checked >= 10);
    QLabel *statusLine = child<QLabel>(m_windows->main.get(), "Label10");
    const QColor status = statusLine->palette().color(QPalette::WindowText);
    QCOMPARE(status == QColor(Qt::yellow), yellowKept);
    // A colour that had to change is aimed past the least contrast, as its
    // smoothed edges draw it a little paler than itself.
    const QColor background = statusLine->parentWidget()->palette().color(statusLine->parentWidget()->backgroundRole());
    if (!yellowKept)
        QVERIFY2(readablecolour::contrast(status, background) >= readablecolour::kAim,
                 qPrintable(QString::number(readablecolour::contrast(status, background))));
}

QTEST_MAIN(TestAuxWindows)
#include "tst_auxwindows.moc"
