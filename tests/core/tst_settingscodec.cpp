#include "core/cp932.h"
#include "core/settingscodec.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using settings::RawLines;

namespace {
QStringList shown(const settings::Values &values)
{
    QStringList out;
    for (const auto &v : values)
        out << (v ? u'[' + *v + u']' : QStringLiteral("-"));
    return out;
}

// A buffer that counts how many bytes were read from it.
class CountingBuffer : public QBuffer
{
public:
    qint64 bytesRead = 0;

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = QBuffer::readData(data, maxSize);
        if (n > 0)
            bytesRead += n;
        return n;
    }
};
} // namespace

class TestSettingsCodec : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void roundTrip_data();
    void roundTrip();
    void unstorableKeepsFileValue();
    void hostileFilesStayBounded();
    void randomBytesLoadAndRewrite();
    void locations();
    void loadFindsLowerCasedName();
    void saveFallsBackToUserFolder();
};

void TestSettingsCodec::parse_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("four lines") << QByteArray("A.DXT\r\nB.DXT\r\nC:\\OUT\\\r\nC:\\ACAD\\\r\n")
                                << QStringList{QStringLiteral("[A.DXT]"), QStringLiteral("[B.DXT]"),
                                               QStringLiteral("[C:\\OUT\\]"), QStringLiteral("[C:\\ACAD\\]")};
    QTest::newRow("two lines") << QByteArray("A\r\nB\r\n")
                               << QStringList{QStringLiteral("[A]"), QStringLiteral("[B]"), QStringLiteral("-"),
                                              QStringLiteral("-")};
    QTest::newRow("last line without line end")
        << QByteArray("A\r\nB\r\nC\r\nD:\\X") << QStringList{QStringLiteral("[A]"), QStringLiteral("[B]"),
                                                             QStringLiteral("[C]"), QStringLiteral("[D:\\X]")};
    QTest::newRow("bare LF") << QByteArray("A\nB\n\nD\n")
                             << QStringList{QStringLiteral("[A]"), QStringLiteral("[B]"), QStringLiteral("[]"),
                                            QStringLiteral("[D]")};
    QTest::newRow("blanks kept, fifth line ignored")
        << QByteArray(" A \r\n\r\n\tC\r\nD \r\nE\r\n")
        << QStringList{QStringLiteral("[ A ]"), QStringLiteral("[]"), QStringLiteral("[\tC]"), QStringLiteral("[D ]")};
    QTest::newRow("empty file") << QByteArray()
                                << QStringList{QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"),
                                               QStringLiteral("-")};
    QTest::newRow("shift-jis") << QByteArray("\x95\x5c\r\n\x8c\x76\x89\xe6\r\n")
                               << QStringList{QStringLiteral(u"[表]"), QStringLiteral(u"[計画]"), QStringLiteral("-"),
                                              QStringLiteral("-")};
}

void TestSettingsCodec::parse()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, values);
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(shown(settings::decodeLines(settings::readLines(buffer))), values);
}

void TestSettingsCodec::roundTrip_data()
{
    QTest::addColumn<int>("bytes");
    QTest::newRow("254") << 254;
    QTest::newRow("255") << 255;
    QTest::newRow("256") << 256;
    QTest::newRow("1000") << 1000;
    QTest::newRow("32 KiB") << int(settings::kMaxLineBytes);
}

void TestSettingsCodec::roundTrip()
{
    QFETCH(int, bytes);
    // Double-byte characters, so the length counts bytes, not characters.
    QString value = QStringLiteral("C:\\") + QString((bytes - 3) / 2, QChar(0x8868));
    if ((bytes - 3) % 2)
        value += u'x';
    QCOMPARE(cp932::encodedLength(value), qsizetype(bytes));
    const std::array<QString, 4> values{value, QStringLiteral(" B "), QString(), QStringLiteral("C:\\ACAD\\")};
    QByteArray file = settings::encodeValues(values, RawLines{});
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    const settings::Values back = settings::decodeLines(settings::readLines(buffer));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(back[i].value_or(QStringLiteral("<missing>")), values[i]);
}

void TestSettingsCodec::unstorableKeepsFileValue()
{
    RawLines previous;
    previous[0] = QByteArray("OLD\x95\x5c.DXT");
    const std::array<QString, 4> values{QStringLiteral(u"caf\u00e9.DXT"), QStringLiteral("two\nlines"),
                                        QStringLiteral(u"\U0001F600"), QStringLiteral("D:\\")};
    QCOMPARE(settings::encodeValues(values, previous), QByteArray("OLD\x95\x5c.DXT\r\n\r\n\r\nD:\\\r\n"));
}

void TestSettingsCodec::hostileFilesStayBounded()
{
    // Several megabytes without a line end: nothing is taken, and only a
    // bounded head of the file is read.
    CountingBuffer huge;
    huge.setData(QByteArray(8 * 1024 * 1024, 'x'));
    huge.open(QIODevice::ReadOnly);
    const RawLines lines = settings::readLines(huge);
    for (const auto &line : lines)
        QVERIFY(!line);
    QVERIFY(huge.bytesRead <= 4 * (settings::kMaxLineBytes + 2));

    // A too-long second line keeps the first and drops the rest.
    QByteArray file = "A\r\n" + QByteArray(settings::kMaxLineBytes + 1, 'y') + "\r\nC\r\nD\r\n";
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QCOMPARE(shown(settings::decodeLines(settings::readLines(buffer))),
             (QStringList{QStringLiteral("[A]"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")}));
}

void TestSettingsCodec::randomBytesLoadAndRewrite()
{
    QRandomGenerator random(20261207);
    for (int round = 0; round < 200; ++round) {
        QByteArray file(int(random.bounded(2000)), Qt::Uninitialized);
        for (char &c : file)
            c = char(random.bounded(256));
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        const RawLines raw = settings::readLines(buffer);
        const settings::Values values = settings::decodeLines(raw);
        std::array<QString, 4> texts;
        for (int i = 0; i < 4; ++i)
            texts[i] = values[i].value_or(QString());
        // Writing back what was read never corrupts a line: each line is
        // either the value as shown or the bytes the file held.
        QByteArray rewritten = settings::encodeValues(texts, raw);
        QBuffer again(&rewritten);
        again.open(QIODevice::ReadOnly);
        const RawLines reread = settings::readLines(again);
        for (int i = 0; i < 4; ++i) {
            if (raw[i])
                QCOMPARE(reread[i].value_or(QByteArray("<missing>")), *raw[i]);
        }
    }
}

void TestSettingsCodec::locations()
{
    const auto onUnix = settings::locations(QStringLiteral("/opt/Tools/Tessiva"), QStringLiteral("/home/u/.config/tessiva"));
    QCOMPARE(onUnix.readOrder, (QStringList{QStringLiteral("/opt/Tools/Tessiva.ini"), QStringLiteral("/opt/Tools/tessiva.ini"),
                                          QStringLiteral("/home/u/.config/tessiva/tessiva.ini")}));
    QCOMPARE(onUnix.writeOrder, (QStringList{QStringLiteral("/opt/Tools/tessiva.ini"),
                                           QStringLiteral("/home/u/.config/tessiva/tessiva.ini")}));
    const auto onWindows = settings::locations(QStringLiteral("C:\\TOOLS\\TESSIVA.EXE"), QString());
    QCOMPARE(onWindows.readOrder, (QStringList{QStringLiteral("C:\\TOOLS\\TESSIVA.ini"), QStringLiteral("C:\\TOOLS\\tessiva.ini")}));
    QCOMPARE(onWindows.writeOrder, QStringList{QStringLiteral("C:\\TOOLS\\tessiva.ini")});
    QCOMPARE(settings::pathBesideExecutable(QStringLiteral("/opt/my.app/tessiva")), QStringLiteral("/opt/my.app/tessiva.ini"));
}

void TestSettingsCodec::loadFindsLowerCasedName()
{
    QTemporaryDir dir;
    const auto where = settings::locations(dir.filePath(QStringLiteral("Tessiva")), QString());
    const std::array<QString, 4> values{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    QVERIFY(settings::save(where.writeOrder, values, RawLines{}).ok);
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("tessiva.ini"))));
    const settings::Loaded loaded = settings::load(where.readOrder);
    QVERIFY(loaded.found);
    QCOMPARE(shown(settings::decodeLines(loaded.lines)),
             (QStringList{QStringLiteral("[A]"), QStringLiteral("[B]"), QStringLiteral("[C]"), QStringLiteral("[D]")}));
}

void TestSettingsCodec::saveFallsBackToUserFolder()
{
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("config/tessiva"));
    // The executable's folder does not exist, so nothing can be written there.
    const auto where = settings::locations(dir.filePath(QStringLiteral("missing/bin/tessiva")), user);
    const std::array<QString, 4> values{QStringLiteral("A"), QString(), QString(), QString()};
    QVERIFY(settings::save(where.writeOrder, values, RawLines{}).ok);
    QFile file(user + QStringLiteral("/tessiva.ini"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("A\r\n\r\n\r\n\r\n"));
    QVERIFY(settings::load(where.readOrder).found);
}

QTEST_GUILESS_MAIN(TestSettingsCodec)
#include "tst_settingscodec.moc"
