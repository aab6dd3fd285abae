#include "fakeplatform.h"
#include "testfiles.h"

#include "app/mainwindow.h"
#include "app/terminationwatcher.h"
#include "core/text/cp932.h"
#include "savebar/saveaction.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>

using testfiles::readAll;
using testfiles::writeAll;

namespace {

QLineEdit *field(const MainWindow &form, const char *name) { return child<QLineEdit>(&form, name); }

QStringList fields(const MainWindow &form)
{
    return {field(form, "Edit5")->text(), field(form, "Edit6")->text(), field(form, "Edit1")->text(),
            field(form, "Edit2")->text()};
}

void setFields(MainWindow &form, const QStringList &values)
{
    const char *names[] = {"Edit5", "Edit6", "Edit1", "Edit2"};
    for (int i = 0; i < 4; ++i)
        field(form, names[i])->setText(values.at(i));
}
} // namespace

// The settings file across restarts of the real window: what one run
// stores is what the next one shows, and nothing the user typed, or did not
// touch, is lost on the way.
class TestWindowSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void noFileGivesDefaultsAndCloseWritesThem();
    void loadSetsTheFields_data();
    void loadSetsTheFields();
    void valuesRoundTripThroughARestart_data();
    void valuesRoundTripThroughARestart();
    void onlyTheFourFieldsSurvive();
    void unwritableFolderClosesSilently();
    void fileNamedInAnotherCaseTakesTheSave();
    void perUserFileComesFirst();
    void linesAfterAnOverlongLineSurvive_data();
    void linesAfterAnOverlongLineSurvive();
    void unstorableValueWithoutALine_data();
    void unstorableValueWithoutALine();
    void aLostValueIsToldAtTheClose_data();
    void aLostValueIsToldAtTheClose();
    void terminationClosesAndStores();

private:
    // One run of the window: shown, `change` applied, closed.
    void run(const std::function<void(MainWindow &)> &change);
    QString iniPath(const QString &name = QStringLiteral("tessiva.ini")) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
    FakePlatform m_platform;
};

void TestWindowSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_platform = FakePlatform();
    m_platform.exePath = m_dir->filePath(QStringLiteral("tessiva"));
}

void TestWindowSettings::run(const std::function<void(MainWindow &)> &change)
{
    MainWindow form(m_platform);
    form.show();
    change(form);
    TRIGGER(&form, "Exit1");
    QVERIFY(!form.isVisible());
}

void TestWindowSettings::noFileGivesDefaultsAndCloseWritesThem()
{
    MainWindow form(m_platform);
    QCOMPARE(fields(form),
             (QStringList{QStringLiteral("DXFIX13.DXT"), QStringLiteral("DXFIX.DXT"), QString(), QString()}));
    form.show();
    QVERIFY(form.close());
    QCOMPARE(readAll(iniPath()), QByteArray("DXFIX13.DXT\r\nDXFIX.DXT\r\n\r\n\r\n"));
}

void TestWindowSettings::loadSetsTheFields_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("four lines, folder without backslash shown as stored")
        << QByteArray("A.DXT\r\nB.DXT\r\nC:\\OUT\r\n\x8c\x76\x89\xe6\\ACAD\\\r\n")
        << QStringList{QStringLiteral("A.DXT"), QStringLiteral("B.DXT"), QStringLiteral("C:\\OUT"),
                       QStringLiteral(u"計画\\ACAD\\")};
    QTest::newRow("two lines") << QByteArray("A.DXT\r\nB.DXT\r\n")
                               << QStringList{QStringLiteral("A.DXT"), QStringLiteral("B.DXT"), QString(), QString()};
    QTest::newRow("several megabytes without a line end")
        << QByteArray(6 * 1024 * 1024, 'x')
        << QStringList{QStringLiteral("DXFIX13.DXT"), QStringLiteral("DXFIX.DXT"), QString(), QString()};
    QTest::newRow("bare LF, last line without a line end")
        << QByteArray(" A \n\nD:\\\nE:\\X")
        << QStringList{QStringLiteral(" A "), QString(), QStringLiteral("D:\\"), QStringLiteral("E:\\X")};
}

void TestWindowSettings::loadSetsTheFields()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    QVERIFY(writeAll(iniPath(), file));
    MainWindow form(m_platform);
    QCOMPARE(fields(form), shown);
}

void TestWindowSettings::valuesRoundTripThroughARestart_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::newRow("blanks and empty values")
        << QStringList{QStringLiteral(" P.DXT "), QString(), QStringLiteral("  "), QStringLiteral("C:\\A \\")};
    QTest::newRow("255-byte value") << QStringList{QString(255, u'a'), QStringLiteral("B"), QStringLiteral("C"),
                                                   QStringLiteral("D")};
    QTest::newRow("1000-byte value") << QStringList{QStringLiteral("A"), QString(500, QChar(0x8868)),
                                                    QStringLiteral("C"), QStringLiteral("D")};
    // Longer than a line edit takes by default (32,767 characters).
    QTest::newRow("values of the file's own cap")
        << QStringList{QString(32768, u'p'), QString(16384, QChar(0x8868)),
                       QStringLiteral("C:\\") + QString(32765, u'o'), QStringLiteral("D")};
}

void TestWindowSettings::valuesRoundTripThroughARestart()
{
    QFETCH(QStringList, values);
    run([&values](MainWindow &form) { setFields(form, values); });
    MainWindow again(m_platform);
    QCOMPARE(fields(again), values);
}

void TestWindowSettings::onlyTheFourFieldsSurvive()
{
    run([](MainWindow &form) {
        child<QComboBox>(&form, "ComboBox1")->setEditText(QStringLiteral("12"));
        child<QComboBox>(&form, "ComboBox2")->setCurrentIndex(1);
    });
    MainWindow again(m_platform);
    QCOMPARE(child<QComboBox>(&again, "ComboBox1")->currentText(), QStringLiteral("  6"));
    QCOMPARE(child<QComboBox>(&again, "ComboBox2")->currentText(), QStringLiteral("ASCII"));
}

void TestWindowSettings::unwritableFolderClosesSilently()
{
    m_platform.exePath = m_dir->filePath(QStringLiteral("no/such/folder/tessiva"));
    m_platform.userFolder.clear();
    MainWindow form(m_platform);
    form.show();
    QVERIFY(form.close());
    QVERIFY(!form.isVisible());
    QVERIFY(m_platform.errorBoxes.isEmpty());
}

void TestWindowSettings::fileNamedInAnotherCaseTakesTheSave()
{
    // The program copied as "Tessiva" beside an old "Tessiva.ini": the
    // file read is the file written, and no second file appears.
    m_platform.exePath = m_dir->filePath(QStringLiteral("Tessiva"));
    QVERIFY(writeAll(iniPath(QStringLiteral("Tessiva.ini")), "OLD.DXT\r\nB\r\nC\r\nD\r\n"));
    run([](MainWindow &form) {
        QCOMPARE(field(form, "Edit5")->text(), QStringLiteral("OLD.DXT"));
        field(form, "Edit5")->setText(QStringLiteral("NEW.DXT"));
    });
    QCOMPARE(readAll(iniPath(QStringLiteral("Tessiva.ini"))), QByteArray("NEW.DXT\r\nB\r\nC\r\nD\r\n"));
    QVERIFY(!QFile::exists(iniPath()));
    MainWindow again(m_platform);
    QCOMPARE(field(again, "Edit5")->text(), QStringLiteral("NEW.DXT"));
}

void TestWindowSettings::perUserFileComesFirst()
{
    // A settings file beside the program that this user may not write:
    // the value goes to the per-user file, and the next start reads it.
    m_platform.userFolder = m_dir->filePath(QStringLiteral("config/tessiva"));
    QVERIFY(writeAll(iniPath(), "SHARED.DXT\r\nB\r\nC:\\OUT\\\r\nC:\\ACAD\\\r\n"));
    QVERIFY(QFile::setPermissions(iniPath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    run([](MainWindow &form) { field(form, "Edit5")->setText(QStringLiteral("MINE.DXT")); });
    const QString user = m_platform.userFolder + QStringLiteral("/tessiva.ini");
    QCOMPARE(readAll(user), QByteArray("MINE.DXT\r\nB\r\nC:\\OUT\\\r\nC:\\ACAD\\\r\n"));
    QCOMPARE(readAll(iniPath()), QByteArray("SHARED.DXT\r\nB\r\nC:\\OUT\\\r\nC:\\ACAD\\\r\n"));

    // The next start shows the user's value, and its close keeps it.
    run([](MainWindow &form) {
        QCOMPARE(field(form, "Edit5")->text(), QStringLiteral("MINE.DXT"));
        field(form, "Edit1")->setText(QStringLiteral("D:\\MINE\\"));
    });
    QCOMPARE(readAll(user), QByteArray("MINE.DXT\r\nB\r\nD:\\MINE\\\r\nC:\\ACAD\\\r\n"));
    QCOMPARE(readAll(iniPath()), QByteArray("SHARED.DXT\r\nB\r\nC:\\OUT\\\r\nC:\\ACAD\\\r\n"));
}

void TestWindowSettings::linesAfterAnOverlongLineSurvive_data()
{
    QTest::addColumn<QString>("changed");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("written");
    const QByteArray longLine(40 * 1024, 'L');
    QTest::newRow("a line that was read") << QStringLiteral("Edit5") << QStringLiteral("NEW.DXT")
                                          << "NEW.DXT\r\n" + longLine + "\r\nC:\\OUT\\\r\nC:\\ACAD\\\r\n";
    QTest::newRow("a line that was not read")
        << QStringLiteral("Edit1") << QStringLiteral("E:\\") << "A.DXT\r\n" + longLine + "\r\nE:\\\r\nC:\\ACAD\\\r\n";
    // A close that changed nothing leaves the file as it was.
    QTest::newRow("nothing") << QString() << QString() << "A.DXT\n" + longLine + "\nC:\\OUT\\\nC:\\ACAD\\";
}

void TestWindowSettings::linesAfterAnOverlongLineSurvive()
{
    QFETCH(QString, changed);
    QFETCH(QString, value);
    QFETCH(QByteArray, written);
    // Reading stops at the long second line; the lines after it are kept
    // as they were all the same.
    QVERIFY(writeAll(iniPath(), "A.DXT\n" + QByteArray(40 * 1024, 'L') + "\nC:\\OUT\\\nC:\\ACAD\\"));
    run([&](MainWindow &form) {
        QCOMPARE(fields(form),
                 (QStringList{QStringLiteral("A.DXT"), QStringLiteral("DXFIX.DXT"), QString(), QString()}));
        if (!changed.isEmpty())
            field(form, qPrintable(changed))->setText(value);
    });
    QCOMPARE(readAll(iniPath()), written);
}

void TestWindowSettings::unstorableValueWithoutALine_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("next");
    QTest::newRow("no code page 932 bytes: the default") << QStringLiteral(u"A€.DXT") << QStringLiteral("DXFIX13.DXT");
    QTest::newRow("emptied: empty") << QString() << QString();
}

void TestWindowSettings::unstorableValueWithoutALine()
{
    QFETCH(QString, typed);
    QFETCH(QString, next);
    run([&typed](MainWindow &form) { field(form, "Edit5")->setText(typed); });
    MainWindow again(m_platform);
    QCOMPARE(field(again, "Edit5")->text(), next);
}

void TestWindowSettings::aLostValueIsToldAtTheClose_data()
{
    QTest::addColumn<bool>("quiet");
    QTest::newRow("a close") << false;
    QTest::newRow("a close from outside") << true;
}

void TestWindowSettings::aLostValueIsToldAtTheClose()
{
    QFETCH(bool, quiet);
    MainWindow form(m_platform);
    form.show();
    field(form, "Edit6")->setText(QStringLiteral(u"PARAM😀.DXT"));
    field(form, "Edit1")->setText(QStringLiteral("D:\\KEPT\\"));
    if (quiet) {
        // Said where a session keeps it.
        QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression(QRegularExpression::escape(QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ( PARAM😀.DXT )"))));
        form.closeWithoutAsking();
    } else {
        TRIGGER(&form, "Exit1");
    }
    QVERIFY(!form.isVisible());
    // What could be kept was, and the user learns of the rest: in a box, or
    // where nobody is there to answer it, on standard error.
    QCOMPARE(readAll(iniPath()), QByteArray("DXFIX13.DXT\r\nDXFIX.DXT\r\nD:\\KEPT\\\r\n\r\n"));
    if (quiet) {
        QVERIFY(m_platform.errorBoxes.isEmpty());
    } else {
        QCOMPARE(m_platform.errorBoxes.size(), 1);
        QVERIFY2(m_platform.errorBoxes.first().contains(QStringLiteral(u"R12->GX3ﾊﾟﾗﾒｰﾀﾌｧｲﾙ( PARAM😀.DXT )")),
                 qPrintable(m_platform.errorBoxes.first()));
        QVERIFY(!m_platform.errorBoxes.first().contains(QStringLiteral("KEPT")));
    }
}

void TestWindowSettings::terminationClosesAndStores()
{
    TerminationWatcher watcher;
    QSignalSpy requested(&watcher, &TerminationWatcher::terminationRequested);
    for (int signal : {SIGTERM, SIGHUP}) {
        QVERIFY(::raise(signal) == 0);
        QTRY_COMPARE(requested.size(), signal == SIGTERM ? 1 : 2);
    }
}

QTEST_MAIN(TestWindowSettings)
#include "tst_windowsettings.moc"
