#include "windowtest.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>

class TestFolderFields : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void leavingNormalises_data();
    void leavingNormalises();
    void notLeaving_data();
    void notLeaving();
    void saveButtonSeesTheNormalisedFolder();
    void browse_data();
    void browse();
    void browseCancelled();
    void browseStartsAtTheFieldsFolder();
    void leftWhileTheWindowIsInactive_data();
    void leftWhileTheWindowIsInactive();
    void leftByFocusGivenInCode();
    void switchingApplicationsIsNotLeaving();

private:
    void dropOnTheList(const QString &file);
};

void TestFolderFields::init() { QVERIFY(openWindow()); }

void TestFolderFields::cleanup() { closeWindow(); }

void TestFolderFields::leavingNormalises_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    const int win = int(jobpath::Style::Windows);
    const int unixStyle = int(jobpath::Style::Unix);
    for (const char *field : {"Edit1", "Edit2"}) {
        const QString f = QLatin1String(field);
        QTest::addRow("%s appended", field) << f << win << QStringLiteral("C:\\WORK") << QStringLiteral("C:\\WORK\\");
        QTest::addRow("%s kept", field) << f << win << QStringLiteral("C:\\WORK\\") << QStringLiteral("C:\\WORK\\");
        QTest::addRow("%s trailing blanks", field)
            << f << win << QStringLiteral("C:\\A ") << QStringLiteral("C:\\A \\");
        QTest::addRow("%s ends in hyo", field)
            << f << win << QStringLiteral(u"C:\\図表") << QStringLiteral(u"C:\\図表\\");
        QTest::addRow("%s empty stays empty", field) << f << win << QString() << QString();
        // So that the save says no folder was given, rather than taking "   \\".
        QTest::addRow("%s blanks stay blanks", field) << f << win << QStringLiteral("   ") << QStringLiteral("   ");
        QTest::addRow("%s native folder mapped", field)
            << f << unixStyle << QStringLiteral("/home/a/out") << QStringLiteral("Z:\\home\\a\\out\\");
        QTest::addRow("%s Windows text kept off Windows", field)
            << f << unixStyle << QStringLiteral("D:") << QStringLiteral("D:\\");
        QTest::addRow("%s slashes in a Windows path", field)
            << f << win << QStringLiteral("C:/OUT") << QStringLiteral("C:\\OUT\\");
        QTest::addRow("%s relative stays relative", field)
            << f << unixStyle << QStringLiteral("out/sub") << QStringLiteral("out\\sub\\");
    }
}

void TestFolderFields::leavingNormalises()
{
    QFETCH(QString, field);
    QFETCH(int, style);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    m_platform.style = jobpath::Style(style);
    QLineEdit *box = edit(qPrintable(field));
    box->setFocus(Qt::TabFocusReason);
    typeText(box, typed);
    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(!box->hasFocus());
    QCOMPARE(box->text(), shown);
    // Leaving again changes nothing.
    box->setFocus(Qt::MouseFocusReason);
    edit("Edit5")->setFocus(Qt::MouseFocusReason);
    QCOMPARE(box->text(), shown);
}

void TestFolderFields::notLeaving_data()
{
    QTest::addColumn<int>("reason");
    QTest::newRow("another window takes the focus") << int(Qt::ActiveWindowFocusReason);
    QTest::newRow("a popup opens") << int(Qt::PopupFocusReason);
    QTest::newRow("the menu bar opens") << int(Qt::MenuBarFocusReason);
}

void TestFolderFields::notLeaving()
{
    QFETCH(int, reason);
    edit("Edit1")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit("Edit1"), QStringLiteral("C:\\WORK"));
    QTest::keyClick(edit("Edit1"), Qt::Key_Return);
    QCOMPARE(edit("Edit1")->text(), QStringLiteral("C:\\WORK"));
    QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
    QApplication::sendEvent(edit("Edit1"), &out);
    QCOMPARE(edit("Edit1")->text(), QStringLiteral("C:\\WORK"));
}

void TestFolderFields::saveButtonSeesTheNormalisedFolder()
{
    m_platform.style = jobpath::Style::Windows;
    edit("Edit2")->setText(QStringLiteral("C:\\ACAD\\"));
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("C:\\OUT\\a.dxf")}, {}}};
    button("Button1")->click();
    edit("Edit1")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit("Edit1"), QStringLiteral("C:\\OUT"));
    // Without the trailing backslash the same-folder test would not match.
    QTest::mouseClick(button("Button6"), Qt::LeftButton);
    QCOMPARE(edit("Edit1")->text(), QStringLiteral("C:\\OUT\\"));
    QCOMPARE(status(), QStringLiteral(u"変換元と変換先のﾌｫﾙﾀﾞ名が同一です！変換先ﾌｫﾙﾀﾞを変更してください。"));
}

void TestFolderFields::browse_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("shown");
    const QString destination = QStringLiteral(u"変換先ﾌｫﾙﾀﾞを指定してください。");
    const QString acad = QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞを指定してください。");
    QTest::newRow("destination") << QStringLiteral("Button2") << QStringLiteral("Edit1") << destination
                                 << QStringLiteral("/data/out") << QStringLiteral("Z:\\data\\out\\");
    QTest::newRow("AutoCAD") << QStringLiteral("Button3") << QStringLiteral("Edit2") << acad
                             << QStringLiteral("/opt/acad") << QStringLiteral("Z:\\opt\\acad\\");
    QTest::newRow("root keeps one backslash") << QStringLiteral("Button2") << QStringLiteral("Edit1") << destination
                                              << QStringLiteral("/") << QStringLiteral("Z:\\");
}

void TestFolderFields::browse()
{
    QFETCH(QString, button);
    QFETCH(QString, field);
    QFETCH(QString, title);
    QFETCH(QString, chosen);
    QFETCH(QString, shown);
    auto *edit = child<QLineEdit>(m_window, qPrintable(field));
    edit->setText(QStringLiteral("whatever was there"));
    m_platform.browseAnswers = {chosen};
    QTest::mouseClick(child<QPushButton>(m_window, qPrintable(button)), Qt::LeftButton);
    QCOMPARE(m_platform.browseRequests.size(), 1);
    QCOMPARE(m_platform.browseRequests.constFirst().first, title);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(QApplication::focusWidget(), edit);
}

void TestFolderFields::browseCancelled()
{
    edit("Edit2")->setText(QStringLiteral("C:\\NOT NORMALISED"));
    button("Button6")->setFocus();
    m_platform.browseAnswers = {kCancelled};
    button("Button3")->click();
    QCOMPARE(edit("Edit2")->text(), QStringLiteral("C:\\NOT NORMALISED"));
    QCOMPARE(QApplication::focusWidget(), button("Button6"));
}

void TestFolderFields::browseStartsAtTheFieldsFolder()
{
    edit("Edit1")->setText(QStringLiteral("Z:\\home\\a\\out\\"));
    edit("Edit2")->setText(QStringLiteral("Z:\\"));
    m_platform.browseAnswers = {kCancelled, kCancelled};
    button("Button2")->click();
    button("Button3")->click();
    QCOMPARE(m_platform.browseRequests.at(0).second, QStringLiteral("/home/a/out"));
    QCOMPARE(m_platform.browseRequests.at(1).second, QStringLiteral("/"));
}

void TestFolderFields::dropOnTheList(const QString &file)
{
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QWidget *target = child<QAbstractScrollArea>(m_window, "ListBox1")->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

void TestFolderFields::leftWhileTheWindowIsInactive_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::newRow("destination folder") << QStringLiteral("Edit1") << QStringLiteral("C:\\X")
                                        << QStringLiteral("C:\\X\\");
    QTest::newRow("AutoCAD folder") << QStringLiteral("Edit2") << QStringLiteral("C:\\Y") << QStringLiteral("C:\\Y\\");
    QTest::newRow("precision") << QStringLiteral("ComboBox1") << QStringLiteral("abc") << QStringLiteral("  6");
}

void TestFolderFields::leftWhileTheWindowIsInactive()
{
    // The user types, switches to the file manager and drops files on the
    // list: the list takes the focus while the window is inactive, and Qt
    // sends no focus event. The field is left all the same.
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, left);
    m_platform.style = jobpath::Style::Windows;
    QWidget *control = child<QWidget>(m_window, qPrintable(field));
    control->setFocus(Qt::TabFocusReason);
    QWidget *input = control->focusProxy() ? control->focusProxy() : control;
    if (auto *box = qobject_cast<QComboBox *>(control))
        box->lineEdit()->clear();
    typeText(input, typed);

    QWidget fileManager;
    QVERIFY(showActive(&fileManager));
    QVERIFY(!m_window->isActiveWindow());
    const QString text = m_dir.filePath(QStringLiteral("a.dxf"));
    QFile f(text);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    dropOnTheList(text);
    QCOMPARE(fileCount(), 1);
    const QString shown = qobject_cast<QComboBox *>(control) ? qobject_cast<QComboBox *>(control)->currentText()
                                                             : qobject_cast<QLineEdit *>(control)->text();
    QCOMPARE(shown, left);
}

void TestFolderFields::leftByFocusGivenInCode()
{
    m_platform.style = jobpath::Style::Windows;
    edit("Edit1")->setFocus(Qt::TabFocusReason);
    typeText(edit("Edit1"), QStringLiteral("C:\\A"));
    edit("Edit5")->setFocus(); // no reason given: code, not the user
    QCOMPARE(edit("Edit1")->text(), QStringLiteral("C:\\A\\"));

    // The same while the window is inactive: the field counts as left once
    // the window is back.
    edit("Edit2")->setFocus(Qt::TabFocusReason);
    typeText(edit("Edit2"), QStringLiteral("C:\\B"));
    {
        QWidget other;
        QVERIFY(showActive(&other));
        edit("Edit5")->setFocus();
        QCOMPARE(edit("Edit2")->text(), QStringLiteral("C:\\B"));
    }
    QVERIFY(showActive(m_window));
    QCOMPARE(edit("Edit2")->text(), QStringLiteral("C:\\B\\"));
}

void TestFolderFields::switchingApplicationsIsNotLeaving()
{
    edit("Edit1")->setFocus(Qt::TabFocusReason);
    typeText(edit("Edit1"), QStringLiteral("C:\\WORK"));
    {
        QWidget other;
        QVERIFY(showActive(&other));
        QCOMPARE(edit("Edit1")->text(), QStringLiteral("C:\\WORK"));
    }
    QVERIFY(showActive(m_window));
    QCOMPARE(QApplication::focusWidget(), edit("Edit1"));
    QCOMPARE(edit("Edit1")->text(), QStringLiteral("C:\\WORK"));
}

QTEST_MAIN(TestFolderFields)
#include "tst_folderfields.moc"
