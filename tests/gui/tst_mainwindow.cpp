#include "mainwindowtest.h"

// The main window as built: its layout, captions that fit, the file count,
// the first start, its frame and place on the screen, the menu, the tab
// order and the focus marks. Its start, end and the toolkit's dialogs:
// tst_windowlife.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void layout_data();
    void layout();
    void captionsFitTheirControls();
    void countReadsWhole_data();
    void countReadsWhole();
    void countSitsOnItsLabelsLine();
    void firstStart();
    void windowFrame();
    void placeOnTheScreen_data();
    void placeOnTheScreen();
    void menu();
    void tabOrder();
    void focusMarksStandOut_data();
    void focusMarksStandOut();

private:
    QTemporaryDir m_dir;
    FakePlatform m_platform;
};

void TestMainWindow::init()
{
    m_platform = FakePlatform();
    m_platform.exePath = m_dir.filePath(QStringLiteral("tessiva"));
}

void TestMainWindow::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("RadioGroup1") << QStringLiteral("RadioGroup1") << QRect(14, 12, 160, 67);
    QTest::newRow("Label6") << QStringLiteral("Label6") << QRect(195, 11, 48, 12);
    QTest::newRow("ComboBox1") << QStringLiteral("ComboBox1") << QRect(195, 24, 65, 20);
    QTest::newRow("Label9") << QStringLiteral("Label9") << QRect(282, 11, 48, 12);
    QTest::newRow("ComboBox2") << QStringLiteral("ComboBox2") << QRect(282, 24, 65, 20);
    QTest::newRow("Label3") << QStringLiteral("Label3") << QRect(423, 11, 118, 12);
    QTest::newRow("Edit5") << QStringLiteral("Edit5") << QRect(423, 24, 118, 20);
    QTest::newRow("Label8") << QStringLiteral("Label8") << QRect(422, 46, 119, 12);
    QTest::newRow("Edit6") << QStringLiteral("Edit6") << QRect(423, 59, 118, 20);
    QTest::newRow("Label5") << QStringLiteral("Label5") << QRect(16, 88, 64, 12);
    QTest::newRow("Button1") << QStringLiteral("Button1") << QRect(94, 86, 15, 15);
    QTest::newRow("Button4") << QStringLiteral("Button4") << QRect(121, 86, 24, 15);
    QTest::newRow("Button5") << QStringLiteral("Button5") << QRect(149, 86, 24, 15);
    QTest::newRow("Edit4") << QStringLiteral("Edit4") << QRect(486, 88, 37, 18);
    QTest::newRow("Label4") << QStringLiteral("Label4") << QRect(525, 88, 16, 12);
    QTest::newRow("ListBox1") << QStringLiteral("ListBox1") << QRect(12, 102, 529, 199);
    QTest::newRow("Label1") << QStringLiteral("Label1") << QRect(16, 311, 66, 12);
    QTest::newRow("Button2") << QStringLiteral("Button2") << QRect(94, 309, 15, 15);
    QTest::newRow("Edit1") << QStringLiteral("Edit1") << QRect(12, 325, 529, 21);
    QTest::newRow("Label2") << QStringLiteral("Label2") << QRect(16, 352, 74, 12);
    QTest::newRow("Button3") << QStringLiteral("Button3") << QRect(94, 350, 15, 15);
    QTest::newRow("Edit2") << QStringLiteral("Edit2") << QRect(12, 366, 529, 21);
    QTest::newRow("Label10") << QStringLiteral("Label10") << QRect(14, 391, 527, 16);
    QTest::newRow("Button6") << QStringLiteral("Button6") << QRect(453, 405, 88, 20);
    QTest::newRow("Bevel1") << QStringLiteral("Bevel1") << QRect(0, 0, 553, 5);
}

void TestMainWindow::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    MainWindow form(m_platform);
    auto *w = form.findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(w->geometry(), geometry);
    QCOMPARE(w->parentWidget(), form.centralWidget());
}

void TestMainWindow::captionsFitTheirControls()
{
    // With the faces this machine has, every caption fits the control the
    // fixed layout gives it.
    MainWindow form(m_platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList clipped;
    int measured = 0;
    for (const QWidget *w : form.findChildren<QWidget *>()) {
        const bool caption = qobject_cast<const QRadioButton *>(w)
            || (qobject_cast<const QLabel *>(w) && w->objectName() != QLatin1String("Label10"));
        if (!caption || !w->isVisible() || captionfit::neededWidth(w) == 0)
            continue;
        ++measured;
        if (captionfit::neededWidth(w) > captionfit::availableWidth(w))
            clipped << QStringLiteral("%1: %2 > %3")
                           .arg(w->objectName())
                           .arg(captionfit::neededWidth(w))
                           .arg(captionfit::availableWidth(w));
    }
    for (const QPushButton *b : form.findChildren<QPushButton *>()) {
        ++measured;
        if (b->fontMetrics().horizontalAdvance(b->text()) > b->contentsRect().width())
            clipped << b->objectName();
    }
    QVERIFY(measured >= 15);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
}

void TestMainWindow::countReadsWhole_data()
{
    QTest::addColumn<int>("count");
    for (const int count : {0, 9999, 99999, 999999})
        QTest::addRow("%d", count) << count;
}

void TestMainWindow::countReadsWhole()
{
    // Up to six digits, the whole count is drawn inside the field, from its
    // start.
    MainWindow form(m_platform);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QFETCH(int, count);
    auto *field = form.findChild<QLineEdit *>(QStringLiteral("Edit4"));
    QVERIFY(field);
    field->setText(textrules::formatFileCount(count));
    captionfit::fitText(field);
    QVERIFY2(captionfit::neededWidth(field) <= captionfit::availableWidth(field),
             qPrintable(
                 QStringLiteral("%1 > %2").arg(captionfit::neededWidth(field)).arg(captionfit::availableWidth(field))));
    QCOMPARE(field->cursorPosition(), 0);
}

void TestMainWindow::countSitsOnItsLabelsLine()
{
    // "0 file": the count and its word share one baseline, and the count
    // keeps clear of the list below it.
    MainWindow form(m_platform);
    QVERIFY(showActive(&form));
    const QImage shown = form.grab().toImage();
    const QWidget *count = form.findChild<QWidget *>(QStringLiteral("Edit4"));
    const QWidget *word = form.findChild<QWidget *>(QStringLiteral("Label4"));
    const QWidget *list = form.findChild<QWidget *>(QStringLiteral("ListBox1"));
    const int countLine = lowestInkRow(shown, count);
    const int wordLine = lowestInkRow(shown, word);
    QVERIFY(countLine > 0 && wordLine > 0);
    QVERIFY2(qAbs(countLine - wordLine) <= 1, qPrintable(QStringLiteral("%1 and %2").arg(countLine).arg(wordLine)));
    QVERIFY(countLine < list->mapTo(&form, QPoint(0, 0)).y() - 1);
}

void TestMainWindow::firstStart()
{
    MainWindow form(m_platform);
    FIND(radio, QGroupBox, &form, "RadioGroup1");
    QCOMPARE(radio->title(), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ　選択"));
    const auto items = radio->findChildren<QRadioButton *>();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items.at(0)->text(), QStringLiteral("DXF(R13) -> DXF(R12)"));
    QCOMPARE(items.at(2)->text(), QStringLiteral("DXF(R12) -> DXF(GX3)"));
    QVERIFY(items.at(0)->isChecked());
    QCOMPARE(form.currentJob().kind, BatchKind::R13ToR12);
    FIND(precision, QComboBox, &form, "ComboBox1");
    QCOMPARE(precision->currentText(), QStringLiteral("  6"));
    QCOMPARE(precision->count(), 4);
    QCOMPARE(precision->itemText(2), QStringLiteral(" 12"));
    FIND(format, QComboBox, &form, "ComboBox2");
    QCOMPARE(format->currentText(), QStringLiteral("ASCII"));
    QCOMPARE(format->itemText(1), QStringLiteral(u"ﾊﾞｲﾅﾘ"));
    FIND(edit5, QLineEdit, &form, "Edit5");
    FIND(edit6, QLineEdit, &form, "Edit6");
    FIND(edit1, QLineEdit, &form, "Edit1");
    FIND(edit2, QLineEdit, &form, "Edit2");
    FIND(edit4, QLineEdit, &form, "Edit4");
    QCOMPARE(edit5->text(), QStringLiteral("DXFIX13.DXT"));
    QCOMPARE(edit6->text(), QStringLiteral("DXFIX.DXT"));
    QVERIFY(edit1->text().isEmpty());
    QVERIFY(edit2->text().isEmpty());
    QCOMPARE(edit4->text(), QStringLiteral("       0"));
    QVERIFY(edit4->isReadOnly());
    QCOMPARE(edit4->focusPolicy(), Qt::NoFocus);
    FIND(list, SourceListView, &form, "ListBox1");
    QCOMPARE(list->model()->rowCount(), 0);
    FIND(status, QLabel, &form, "Label10");
    QVERIFY(status->text().isEmpty());
    FIND(save, QPushButton, &form, "Button6");
    QCOMPARE(save->text(), QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存"));
}

void TestMainWindow::windowFrame()
{
    MainWindow form(m_platform);
    QCOMPARE(form.windowTitle(), QStringLiteral("Tessiva ( for DXF to DXF Data Convert )"));
    QCOMPARE(form.centralWidget()->size(), QSize(553, 434));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!form.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
    QCOMPARE(m_platform.sizeCommandRemovals, 1);
    QCOMPARE(applicationTitle(), QStringLiteral("Morvane Tessiva"));
}

void TestMainWindow::placeOnTheScreen_data()
{
    // Centred in the screen's free area, halves cut toward zero; a window
    // larger than that area starts at its top-left corner, where its title
    // bar can be reached.
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("placed");
    QTest::newRow("centred") << QRect(0, 0, 1024, 768) << QSize(555, 473) << QPoint(234, 147);
    QTest::newRow("below a panel") << QRect(0, 30, 1024, 738) << QSize(555, 473) << QPoint(234, 162);
    QTest::newRow("larger than the screen") << QRect(0, 0, 512, 384) << QSize(555, 473) << QPoint(0, 0);
    QTest::newRow("wider only, on a second screen") << QRect(1024, 0, 512, 768) << QSize(555, 473) << QPoint(1024, 147);
}

void TestMainWindow::placeOnTheScreen()
{
    QFETCH(QRect, available);
    QFETCH(QSize, window);
    QFETCH(QPoint, placed);
    QCOMPARE(centredOnScreen(available, window), placed);
}

void TestMainWindow::menu()
{
    MainWindow form(m_platform);
    const QList<QAction *> top = form.menuBar()->actions();
    // Every menu in the window's face, its digits too.
    QCOMPARE(QFontInfo(form.menuBar()->font()).family(), QFontInfo(form.font()).family());
    for (QMenu *menu : form.menuBar()->findChildren<QMenu *>())
        QCOMPARE(QFontInfo(menu->font()).family(), QFontInfo(form.font()).family());
    QStringList captions;
    for (QAction *a : top) {
        captions << a->text();
        for (QAction *item : a->menu()->actions()) {
            captions << QStringLiteral("  ") + item->text();
            QVERIFY(item->shortcut().isEmpty());
            // The options of the run, off at every start.
            const QString name = item->objectName();
            QCOMPARE(item->isCheckable(),
                     name == QLatin1String("Report1") || name == QLatin1String("SkipExisting1")
                         || name == QLatin1String("CheckExitStatus1"));
            QVERIFY(!item->isChecked());
            QVERIFY(!item->isSeparator());
        }
    }
    QCOMPARE(captions,
             (QStringList{QStringLiteral(u"ﾌｧｲﾙ(&F)"), QStringLiteral(u"  フォルダから追加(&A)..."),
                          QStringLiteral(u"  終了(&X)"), QStringLiteral(u"設定"),
                          QStringLiteral(u"  ﾃﾞｨﾌｫﾙﾄﾊﾟﾗﾒｰﾀﾌｧｲﾙ"), QStringLiteral(u"  実行結果を記録する"),
                          QStringLiteral(u"  既にある図面は飛ばす"), QStringLiteral(u"  終了ステータスを確かめる"),
                          QStringLiteral(u"  同時に変換する数"), QStringLiteral(u"ﾍﾙﾌﾟ(&H)"),
                          QStringLiteral(u"  説明(&H)"), QStringLiteral(u"  ﾊﾞｰｼﾞｮﾝ情報(&A)...")}));
}

void TestMainWindow::tabOrder()
{
    MainWindow form(m_platform);
    QVERIFY(showActive(&form));
    const auto named = [&form](QWidget *w) {
        while (w && w != &form) {
            if (w->objectName().startsWith(QLatin1String("RadioGroup1")))
                return QStringLiteral("RadioGroup1");
            if (!w->objectName().isEmpty() && w->parentWidget() == form.centralWidget())
                return w->objectName();
            w = w->parentWidget();
        }
        return QStringLiteral("?");
    };
    form.findChild<QRadioButton *>(QStringLiteral("RadioGroup1Item0"))->setFocus(Qt::TabFocusReason);
    QStringList visited{named(QApplication::focusWidget())};
    for (int i = 0; i < 14; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << named(QApplication::focusWidget());
    }
    QCOMPARE(visited,
             (QStringList{QStringLiteral("RadioGroup1"), QStringLiteral("ComboBox1"), QStringLiteral("ComboBox2"),
                          QStringLiteral("Edit5"), QStringLiteral("Edit6"), QStringLiteral("Button1"),
                          QStringLiteral("ListBox1"), QStringLiteral("Button2"), QStringLiteral("Edit1"),
                          QStringLiteral("Button3"), QStringLiteral("Edit2"), QStringLiteral("Button4"),
                          QStringLiteral("Button5"), QStringLiteral("Button6"), QStringLiteral("RadioGroup1")}));
}

void TestMainWindow::focusMarksStandOut_data()
{
    // Each control that takes the focus by the keyboard, and the list in
    // each of its states.
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines"); // of the list
    QTest::addColumn<bool>("current"); // whether it has a current line
    for (const char *name : {"RadioGroup1Item0", "RadioGroup1Item2", "ComboBox1", "ComboBox2", "Edit5", "Edit6",
                             "Button1", "Button2", "Edit1", "Button3", "Edit2", "Button4", "Button5", "Button6"})
        QTest::newRow(name) << QString::fromLatin1(name) << 0 << false;
    QTest::newRow("ListBox1, empty") << QStringLiteral("ListBox1") << 0 << false;
    QTest::newRow("ListBox1, a current line") << QStringLiteral("ListBox1") << 3 << true;
    QTest::newRow("ListBox1, lines, none current") << QStringLiteral("ListBox1") << 3 << false;
}

void TestMainWindow::focusMarksStandOut()
{
    // What the focus changes in a control stands out at least 3:1 from
    // what was there before, as a mark that is no text needs: its
    // strongest changed pixel against the same pixel without the focus.
    QFETCH(QString, name);
    QFETCH(int, lines);
    QFETCH(bool, current);
    MainWindow form(m_platform);
    QVERIFY(showActive(&form));
    QWidget *control = form.findChild<QWidget *>(name);
    QVERIFY(control);
    if (lines > 0) {
        auto *view = qobject_cast<SourceListView *>(control);
        QStringList paths;
        for (int i = 0; i < lines; ++i)
            paths << QStringLiteral("C:\\A\\%1.dxf").arg(i);
        m_platform.openAnswers = {OpenFilesResult{paths, {}}};
        form.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        if (!current) // a line deleted: lines, and none current
            form.findChild<QPushButton *>(QStringLiteral("Button4"))->click();
        view->selectionModel()->clearCurrentIndex();
        if (current)
            view->setCurrentIndex(view->model()->index(0, 0));
    }
    form.findChild<QPushButton *>(name == QLatin1String("Button6") ? QStringLiteral("Button5")
                                                                   : QStringLiteral("Button6"))
        ->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(!control->hasFocus());
    // As after a Tab: the focus has moved by the keyboard in this window.
    form.setAttribute(Qt::WA_KeyboardFocusChange);
    const QImage without = control->grab().toImage();
    control->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(control->hasFocus());
    const QImage with = control->grab().toImage();
    QCOMPARE(with.size(), without.size());
    double strongest = 1;
    for (int y = 0; y < with.height(); ++y) {
        for (int x = 0; x < with.width(); ++x)
            strongest = qMax(strongest, readablecolour::contrast(with.pixelColor(x, y), without.pixelColor(x, y)));
    }
    QVERIFY2(strongest >= 3, qPrintable(QString::number(strongest)));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
