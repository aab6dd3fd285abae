#include "windowtest.h"

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
    void formatTextGivesTheJobsFormat_data();
    void formatTextGivesTheJobsFormat();

private:
    void leave(QWidget *w)
    {
        edit("Edit5")->setFocus(Qt::TabFocusReason);
        Q_UNUSED(w);
    }
    void enterFormat() { combo("ComboBox2")->setFocus(Qt::TabFocusReason); }
    void chooseFormat(int index);
    QColor labelColour() const { return child<QLabel>(m_window, "Label6")->palette().color(QPalette::WindowText); }
    // Grey, as a control that does not apply: a grey dark enough to read.
    bool greyedOut() const
    {
        const QColor c = labelColour();
        return c.red() == c.green() && c.green() == c.blue() && c.red() >= 0x60;
    }
};

void TestOptions::init() { QVERIFY(openWindow()); }

void TestOptions::cleanup() { closeWindow(); }

// Chooses a format from the list with the arrow keys, as a user can.
void TestOptions::chooseFormat(int index)
{
    enterFormat();
    QComboBox *box = combo("ComboBox2");
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
    QComboBox *box = combo("ComboBox1");
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
    QComboBox *box = combo("ComboBox1");
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Down);
    edit("Edit5")->setFocus(Qt::TabFocusReason);
    QCOMPARE(box->currentText(), QStringLiteral(" 12"));
}

void TestOptions::formatStates()
{
    QCOMPARE(labelColour(), QColor(0, 0, 0));
    QVERIFY(combo("ComboBox1")->isEnabled());
    chooseFormat(1);
    QCOMPARE(combo("ComboBox2")->currentText(), QStringLiteral(u"ﾊﾞｲﾅﾘ"));
    QVERIFY(greyedOut());
    QVERIFY(!combo("ComboBox1")->isEnabled());
    QCOMPARE(combo("ComboBox1")->currentText(), QStringLiteral("  6"));
    chooseFormat(0);
    QCOMPARE(labelColour(), QColor(0, 0, 0));
    QVERIFY(combo("ComboBox1")->isEnabled());
}

void TestOptions::typedFormatLeavesTheState()
{
    enterFormat();
    combo("ComboBox2")->lineEdit()->selectAll();
    typeText(combo("ComboBox2"), QStringLiteral(u"ﾊﾞｲﾅﾘ"));
    edit("Edit5")->setFocus(Qt::TabFocusReason);
    QCOMPARE(combo("ComboBox2")->currentText(), QStringLiteral(u"ﾊﾞｲﾅﾘ"));
    QVERIFY(combo("ComboBox1")->isEnabled());
    QCOMPARE(labelColour(), QColor(0, 0, 0));
    // The save action goes by the text alone.
    QCOMPARE(m_window->currentJob().outputFormat, OutputFormat::Binary);
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
    combo("ComboBox2")->lineEdit()->selectAll();
    QTest::keyClick(combo("ComboBox2"), Qt::Key_Delete);
    typeText(combo("ComboBox2"), typed);
    QTest::keyClick(combo("ComboBox2"), Qt::Key_Tab);
    QCOMPARE(combo("ComboBox2")->currentText(), QStringLiteral("ASCII"));
}

void TestOptions::restoreKeepsTheState()
{
    chooseFormat(1);
    edit("Edit5")->setFocus(Qt::TabFocusReason);
    chooseFormat(0); // enters with ﾊﾞｲﾅﾘ, leaves the state at ASCII
    edit("Edit5")->setFocus(Qt::TabFocusReason);
    chooseFormat(1);
    edit("Edit5")->setFocus(Qt::TabFocusReason);
    // Entered holding ﾊﾞｲﾅﾘ; typed text replaced by it on leaving.
    enterFormat();
    combo("ComboBox2")->lineEdit()->selectAll();
    QTest::keyClicks(combo("ComboBox2"), QStringLiteral("bin"));
    edit("Edit5")->setFocus(Qt::TabFocusReason);
    QCOMPARE(combo("ComboBox2")->currentText(), QStringLiteral(u"ﾊﾞｲﾅﾘ"));
    QVERIFY(!combo("ComboBox1")->isEnabled());
    QVERIFY(greyedOut());

    // Switching to another window and back is no entry: the remembered
    // text stays what it was when the box was entered.
    enterFormat();
    QTest::keyClick(combo("ComboBox2"), Qt::Key_Up);
    QCOMPARE(combo("ComboBox2")->currentText(), QStringLiteral("ASCII"));
    {
        QWidget other;
        QVERIFY(showActive(&other));
    }
    QVERIFY(showActive(m_window));
    QCOMPARE(QApplication::focusWidget(), combo("ComboBox2"));
    combo("ComboBox2")->lineEdit()->selectAll();
    QTest::keyClicks(combo("ComboBox2"), QStringLiteral("bin"));
    edit("Edit5")->setFocus(Qt::TabFocusReason);
    QCOMPARE(combo("ComboBox2")->currentText(), QStringLiteral(u"ﾊﾞｲﾅﾘ"));
}

void TestOptions::typedTextNeverBecomesAnItem()
{
    for (QComboBox *box : {combo("ComboBox1"), combo("ComboBox2")}) {
        box->setFocus(Qt::TabFocusReason);
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, QStringLiteral("12"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->count(), box == combo("ComboBox1") ? 4 : 2);
    }
}

void TestOptions::defaultParameterFiles()
{
    edit("Edit5")->clear();
    edit("Edit6")->setText(QStringLiteral("MINE.DXT"));
    TRIGGER(m_window, "DP1");
    QCOMPARE(edit("Edit5")->text(), QStringLiteral("DXFIX13.DXT"));
    QCOMPARE(edit("Edit6")->text(), QStringLiteral("DXFIX.DXT"));
}

void TestOptions::formatTextGivesTheJobsFormat_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("format");
    QTest::newRow("ASCII") << QStringLiteral("ASCII") << int(OutputFormat::Ascii);
    QTest::newRow("binary") << QStringLiteral(u"ﾊﾞｲﾅﾘ") << int(OutputFormat::Binary);
    // Only exactly "ASCII" asks for the precision option.
    QTest::newRow("lower case") << QStringLiteral("ascii") << int(OutputFormat::Binary);
}

void TestOptions::formatTextGivesTheJobsFormat()
{
    QFETCH(QString, text);
    QFETCH(int, format);
    combo("ComboBox2")->setEditText(text);
    QCOMPARE(int(m_window->currentJob().outputFormat), format);
}

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
