#include "windowtest.h"

#include "app/tform1.h"
#include "inputs/sourcelistview.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

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

private:
};

void TestFolderFields::init()
{
    QVERIFY(openWindow());
}

void TestFolderFields::cleanup()
{
    closeWindow();
}

void TestFolderFields::leavingNormalises_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    const int win = int(textrules::PathStyle::Windows);
    const int unixStyle = int(textrules::PathStyle::Unix);
    for (const char *field : {"Edit1", "Edit2"}) {
        const QString f = QLatin1String(field);
        QTest::addRow("%s appended", field) << f << win << QStringLiteral("C:\\WORK") << QStringLiteral("C:\\WORK\\");
        QTest::addRow("%s kept", field) << f << win << QStringLiteral("C:\\WORK\\") << QStringLiteral("C:\\WORK\\");
        QTest::addRow("%s trailing blanks", field) << f << win << QStringLiteral("C:\\A ") << QStringLiteral("C:\\A \\");
        QTest::addRow("%s ends in hyo", field) << f << win << QStringLiteral(u"C:\\図表") << QStringLiteral(u"C:\\図表\\");
        QTest::addRow("%s empty stays empty", field) << f << win << QString() << QString();
        QTest::addRow("%s native folder mapped", field) << f << unixStyle << QStringLiteral("/home/a/out")
                                                        << QStringLiteral("Z:\\home\\a\\out\\");
        QTest::addRow("%s Windows text kept off Windows", field) << f << unixStyle << QStringLiteral("D:")
                                                                 << QStringLiteral("D:\\");
    }
}

void TestFolderFields::leavingNormalises()
{
    QFETCH(QString, field);
    QFETCH(int, style);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    m_platform.style = textrules::PathStyle(style);
    auto *edit = m_form->findChild<QLineEdit *>(field);
    edit->setFocus(Qt::TabFocusReason);
    typeText(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(!edit->hasFocus());
    QCOMPARE(edit->text(), shown);
    // Leaving again changes nothing.
    edit->setFocus(Qt::MouseFocusReason);
    m_form->Edit5->setFocus(Qt::MouseFocusReason);
    QCOMPARE(edit->text(), shown);
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
    m_form->Edit1->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(m_form->Edit1, QStringLiteral("C:\\WORK"));
    QTest::keyClick(m_form->Edit1, Qt::Key_Return);
    QCOMPARE(m_form->Edit1->text(), QStringLiteral("C:\\WORK"));
    QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
    QApplication::sendEvent(m_form->Edit1, &out);
    QCOMPARE(m_form->Edit1->text(), QStringLiteral("C:\\WORK"));
}

void TestFolderFields::saveButtonSeesTheNormalisedFolder()
{
    m_platform.style = textrules::PathStyle::Windows;
    m_form->Edit2->setText(QStringLiteral("C:\\ACAD\\"));
    m_platform.openAnswers = {OpenFilesResult{{QStringLiteral("C:\\OUT\\a.dxf")}, {}}};
    m_form->Button1Click(m_form->Button1);
    m_form->Edit1->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(m_form->Edit1, QStringLiteral("C:\\OUT"));
    // Without the trailing backslash the same-folder test would not match.
    QTest::mouseClick(m_form->Button6, Qt::LeftButton);
    QCOMPARE(m_form->Edit1->text(), QStringLiteral("C:\\OUT\\"));
    QCOMPARE(m_form->Label10->text(),
             QStringLiteral(u"変換元と変換先のﾌｫﾙﾀﾞ名が同一です！変換先ﾌｫﾙﾀﾞを変更してください。"));
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
    auto *edit = m_form->findChild<QLineEdit *>(field);
    edit->setText(QStringLiteral("whatever was there"));
    m_platform.browseAnswers = {chosen};
    QTest::mouseClick(m_form->findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(m_platform.browseRequests.size(), 1);
    QCOMPARE(m_platform.browseRequests.constFirst().first, title);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(QApplication::focusWidget(), edit);
}

void TestFolderFields::browseCancelled()
{
    m_form->Edit2->setText(QStringLiteral("C:\\NOT NORMALISED"));
    m_form->Button6->setFocus();
    m_platform.browseAnswers = {std::nullopt};
    m_form->Button3Click(m_form->Button3);
    QCOMPARE(m_form->Edit2->text(), QStringLiteral("C:\\NOT NORMALISED"));
    QCOMPARE(QApplication::focusWidget(), m_form->Button6);
}

void TestFolderFields::browseStartsAtTheFieldsFolder()
{
    m_form->Edit1->setText(QStringLiteral("Z:\\home\\a\\out\\"));
    m_form->Edit2->setText(QStringLiteral("Z:\\"));
    m_platform.browseAnswers = {std::nullopt, std::nullopt};
    m_form->Button2Click(m_form->Button2);
    m_form->Button3Click(m_form->Button3);
    QCOMPARE(m_platform.browseRequests.at(0).second, QStringLiteral("/home/a/out"));
    QCOMPARE(m_platform.browseRequests.at(1).second, QStringLiteral("/"));
}

QTEST_MAIN(TestFolderFields)
#include "tst_folderfields.moc"
