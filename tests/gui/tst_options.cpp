#include "windowtest.h"

#include "app/tform1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

class TestOptions : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void precisionOnLeaving_data();
    void precisionOnLeaving();
    void precisionFromTheList();
    void formatStates();
    void typedFormatLeavesTheState();
    void invalidFormatPutBack_data();
    void invalidFormatPutBack();
    void restoreKeepsTheState();
    void typedTextNeverBecomesAnItem();
    void defaultParameterFiles();

private:
    void leave(QWidget *w) { m_form->Edit5->setFocus(Qt::TabFocusReason); Q_UNUSED(w); }
    void enterFormat() { m_form->ComboBox2->setFocus(Qt::TabFocusReason); }
    void chooseFormat(int index);
    QColor labelColour() const { return m_form->Label6->palette().color(QPalette::WindowText); }

};

void TestOptions::init()
{
    QVERIFY(openWindow());
}

void TestOptions::cleanup()
{
    closeWindow();
}

// Chooses a format from the list with the arrow keys, as a user can.
void TestOptions::chooseFormat(int index)
{
    enterFormat();
    QComboBox *box = m_form->ComboBox2;
    while (box->currentIndex() < index)
        QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > index)
        QTest::keyClick(box, Qt::Key_Up);
    QCOMPARE(box->currentIndex(), index);
}

void TestOptions::precisionOnLeaving_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    const QString reset = QStringLiteral("  6");
    QTest::newRow("10 kept") << QStringLiteral("10") << QStringLiteral("10");
    QTest::newRow("7 with a leading blank kept") << QStringLiteral(" 7") << QStringLiteral(" 7");
    QTest::newRow("18 with a trailing blank kept") << QStringLiteral("18 ") << QStringLiteral("18 ");
    QTest::newRow("0 kept") << QStringLiteral("0") << QStringLiteral("0");
    QTest::newRow("19") << QStringLiteral("19") << reset;
    QTest::newRow("06") << QStringLiteral("06") << reset;
    QTest::newRow("-1") << QStringLiteral("-1") << reset;
    QTest::newRow("6.0") << QStringLiteral("6.0") << reset;
    QTest::newRow("+6") << QStringLiteral("+6") << reset;
    QTest::newRow("full-width digit") << QStringLiteral(u"６") << reset;
    QTest::newRow("empty") << QString() << reset;
}

void TestOptions::precisionOnLeaving()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QComboBox *box = m_form->ComboBox1;
    box->setFocus(Qt::TabFocusReason);
    box->lineEdit()->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    typeText(box, typed);
    QCOMPARE(box->currentText(), typed);
    QTest::keyClick(box, Qt::Key_Tab);
    QCOMPARE(box->currentText(), shown);
    QCOMPARE(box->count(), 4);
}

void TestOptions::precisionFromTheList()
{
    QComboBox *box = m_form->ComboBox1;
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Down);
    m_form->Edit5->setFocus(Qt::TabFocusReason);
    QCOMPARE(box->currentText(), QStringLiteral(" 12"));
}

void TestOptions::formatStates()
{
    QCOMPARE(labelColour(), QColor(0, 0, 0));
    QVERIFY(m_form->ComboBox1->isEnabled());
    chooseFormat(1);
    QCOMPARE(m_form->ComboBox2->currentText(), QStringLiteral(u"ﾊﾞｲﾅﾘ"));
    QCOMPARE(labelColour(), QColor(0x80, 0x80, 0x80));
    QVERIFY(!m_form->ComboBox1->isEnabled());
    QCOMPARE(m_form->ComboBox1->currentText(), QStringLiteral("  6"));
    chooseFormat(0);
    QCOMPARE(labelColour(), QColor(0, 0, 0));
    QVERIFY(m_form->ComboBox1->isEnabled());
}

void TestOptions::typedFormatLeavesTheState()
{
    enterFormat();
    m_form->ComboBox2->lineEdit()->selectAll();
    typeText(m_form->ComboBox2, QStringLiteral(u"ﾊﾞｲﾅﾘ"));
    m_form->Edit5->setFocus(Qt::TabFocusReason);
    QCOMPARE(m_form->ComboBox2->currentText(), QStringLiteral(u"ﾊﾞｲﾅﾘ"));
    QVERIFY(m_form->ComboBox1->isEnabled());
    QCOMPARE(labelColour(), QColor(0, 0, 0));
    // The save action goes by the text alone.
    QCOMPARE(m_form->currentJob().outputFormat, QStringLiteral(u"ﾊﾞｲﾅﾘ"));
}

void TestOptions::invalidFormatPutBack_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("lower case") << QStringLiteral("ascii");
    QTest::newRow("leading blank") << QStringLiteral(" ASCII");
    QTest::newRow("empty") << QString();
}

void TestOptions::invalidFormatPutBack()
{
    QFETCH(QString, typed);
    enterFormat();
    QCOMPARE(m_form->SavedFormatText, QStringLiteral("ASCII"));
    m_form->ComboBox2->lineEdit()->selectAll();
    QTest::keyClick(m_form->ComboBox2, Qt::Key_Delete);
    typeText(m_form->ComboBox2, typed);
    QTest::keyClick(m_form->ComboBox2, Qt::Key_Tab);
    QCOMPARE(m_form->ComboBox2->currentText(), QStringLiteral("ASCII"));
}

void TestOptions::restoreKeepsTheState()
{
    chooseFormat(1);
    m_form->Edit5->setFocus(Qt::TabFocusReason);
    chooseFormat(0); // enters with ﾊﾞｲﾅﾘ, leaves the state at ASCII
    m_form->Edit5->setFocus(Qt::TabFocusReason);
    chooseFormat(1);
    m_form->Edit5->setFocus(Qt::TabFocusReason);
    // Entered holding ﾊﾞｲﾅﾘ; typed text replaced by it on leaving.
    enterFormat();
    m_form->ComboBox2->lineEdit()->selectAll();
    QTest::keyClicks(m_form->ComboBox2, QStringLiteral("bin"));
    m_form->Edit5->setFocus(Qt::TabFocusReason);
    QCOMPARE(m_form->ComboBox2->currentText(), QStringLiteral(u"ﾊﾞｲﾅﾘ"));
    QVERIFY(!m_form->ComboBox1->isEnabled());
    QCOMPARE(labelColour(), QColor(0x80, 0x80, 0x80));

    // Switching to another window and back is no entry: the remembered text stays.
    m_form->SavedFormatText = QStringLiteral("ASCII");
    m_form->ComboBox2->setFocus(Qt::TabFocusReason);
    m_form->SavedFormatText = QStringLiteral("marker");
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(m_form->ComboBox2, &out);
    QApplication::sendEvent(m_form->ComboBox2, &in);
    QCOMPARE(m_form->SavedFormatText, QStringLiteral("marker"));
}

void TestOptions::typedTextNeverBecomesAnItem()
{
    for (QComboBox *box : {m_form->ComboBox1, m_form->ComboBox2}) {
        box->setFocus(Qt::TabFocusReason);
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, QStringLiteral("12"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->count(), box == m_form->ComboBox1 ? 4 : 2);
    }
}

void TestOptions::defaultParameterFiles()
{
    m_form->Edit5->clear();
    m_form->Edit6->setText(QStringLiteral("MINE.DXT"));
    TRIGGER(m_form, "DP1");
    QCOMPARE(m_form->Edit5->text(), QStringLiteral("DXFIX13.DXT"));
    QCOMPARE(m_form->Edit6->text(), QStringLiteral("DXFIX.DXT"));
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
