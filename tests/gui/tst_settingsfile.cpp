#include "fakeplatform.h"

#include "app/tform1.h"
#include "core/cp932.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QStringList fields(const TForm1 &form)
{
    return {form.Edit5->text(), form.Edit6->text(), form.Edit1->text(), form.Edit2->text()};
}
} // namespace

class TestSettingsFile : public QObject
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
    void readOnlyExecutableFolderUsesTheUserFolder();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("tessiva.ini")); }
    std::unique_ptr<QTemporaryDir> m_dir;
    FakePlatform m_platform;
};

void TestSettingsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_platform = FakePlatform();
    m_platform.exePath = m_dir->filePath(QStringLiteral("tessiva"));
}

void TestSettingsFile::noFileGivesDefaultsAndCloseWritesThem()
{
    TForm1 form(m_platform);
    QCOMPARE(fields(form), (QStringList{QStringLiteral("DXFIX13.DXT"), QStringLiteral("DXFIX.DXT"), QString(), QString()}));
    form.show();
    QVERIFY(form.close());
    QCOMPARE(readAll(iniPath()), QByteArray("DXFIX13.DXT\r\nDXFIX.DXT\r\n\r\n\r\n"));
}

void TestSettingsFile::loadSetsTheFields_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("four lines, folder without backslash shown as stored")
        << QByteArray("A.DXT\r\nB.DXT\r\nC:\\OUT\r\n\x8c\x76\x89\xe6\\ACAD\\\r\n")
        << QStringList{QStringLiteral("A.DXT"), QStringLiteral("B.DXT"), QStringLiteral("C:\\OUT"), QStringLiteral(u"計画\\ACAD\\")};
    QTest::newRow("two lines") << QByteArray("A.DXT\r\nB.DXT\r\n")
                               << QStringList{QStringLiteral("A.DXT"), QStringLiteral("B.DXT"), QString(), QString()};
    QTest::newRow("several megabytes without a line end")
        << QByteArray(6 * 1024 * 1024, 'x')
        << QStringList{QStringLiteral("DXFIX13.DXT"), QStringLiteral("DXFIX.DXT"), QString(), QString()};
    QTest::newRow("bare LF, last line without a line end")
        << QByteArray(" A \n\nD:\\\nE:\\X")
        << QStringList{QStringLiteral(" A "), QString(), QStringLiteral("D:\\"), QStringLiteral("E:\\X")};
}

void TestSettingsFile::loadSetsTheFields()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    QVERIFY(writeAll(iniPath(), file));
    TForm1 form(m_platform);
    QCOMPARE(fields(form), shown);
    QVERIFY(form.LastBatchFolder.isEmpty());
}

void TestSettingsFile::valuesRoundTripThroughARestart_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::newRow("blanks and empty values") << QStringList{QStringLiteral(" P.DXT "), QString(), QStringLiteral("  "), QStringLiteral("C:\\A \\")};
    QTest::newRow("255-byte value") << QStringList{QString(255, u'a'), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    QTest::newRow("1000-byte value") << QStringList{QStringLiteral("A"), QString(500, QChar(0x8868)), QStringLiteral("C"), QStringLiteral("D")};
}

void TestSettingsFile::valuesRoundTripThroughARestart()
{
    QFETCH(QStringList, values);
    {
        TForm1 form(m_platform);
        form.Edit5->setText(values.at(0));
        form.Edit6->setText(values.at(1));
        form.Edit1->setText(values.at(2));
        form.Edit2->setText(values.at(3));
        form.show();
        TRIGGER(&form, "Exit1");
    }
    TForm1 again(m_platform);
    QCOMPARE(fields(again), values);
}

void TestSettingsFile::onlyTheFourFieldsSurvive()
{
    {
        TForm1 form(m_platform);
        form.ComboBox1->setEditText(QStringLiteral("12"));
        form.ComboBox2->setCurrentIndex(1);
        form.LastBatchFolder = QStringLiteral("/x/");
        form.show();
        form.close();
    }
    TForm1 again(m_platform);
    QCOMPARE(again.ComboBox1->currentText(), QStringLiteral("  6"));
    QCOMPARE(again.ComboBox2->currentText(), QStringLiteral("ASCII"));
    QVERIFY(again.LastBatchFolder.isEmpty());
}

void TestSettingsFile::unwritableFolderClosesSilently()
{
    m_platform.exePath = m_dir->filePath(QStringLiteral("no/such/folder/tessiva"));
    m_platform.userFolder.clear();
    TForm1 form(m_platform);
    form.show();
    QVERIFY(form.close());
    QVERIFY(!form.isVisible());
    QVERIFY(m_platform.errorBoxes.isEmpty());
}

void TestSettingsFile::readOnlyExecutableFolderUsesTheUserFolder()
{
    m_platform.exePath = m_dir->filePath(QStringLiteral("no/such/folder/tessiva"));
    m_platform.userFolder = m_dir->filePath(QStringLiteral("config/tessiva"));
    {
        TForm1 form(m_platform);
        form.Edit1->setText(QStringLiteral("D:\\OUT\\"));
        form.show();
        form.close();
    }
    QCOMPARE(readAll(m_dir->filePath(QStringLiteral("config/tessiva/tessiva.ini"))),
             QByteArray("DXFIX13.DXT\r\nDXFIX.DXT\r\nD:\\OUT\\\r\n\r\n"));
    TForm1 again(m_platform);
    QCOMPARE(again.Edit1->text(), QStringLiteral("D:\\OUT\\"));
}

QTEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
