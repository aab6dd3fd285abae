#include "sourcelisttest.h"

// The source list's wiring: the open dialog and drops replace or add, by
// the keys; lines deleted; the status line left alone; clicks below the
// lines; the focus of an empty list; long lines. Folders and their search:
// tst_foldersearch.
class TestSourceList : public SourceListTest
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(openWindow(QStringLiteral("bin/tessiva"))); }
    void cleanup() { closeWindow(); }
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
    void longLinesShowTheirNames();
};

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
