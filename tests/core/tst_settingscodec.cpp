#include "core/files/filelock.h"
#include "core/settings/settingscodec.h"
#include "core/settings/settingsfile.h"
#include "core/text/cp932.h"
#include "ordinaryuser.h"
#include "smalldisk.h"
#include "testfiles.h"
#include "writeerrors.h"

#include <QBuffer>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <future>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using settings::RawLines;
using settings::StoredSettings;

using testfiles::readAll;
using testfiles::writeAll;

namespace {
// Each line as "[text]", or "-" where the file has none.
QStringList shown(const RawLines &raw)
{
    QStringList out;
    for (const auto &line : raw.lines)
        out << (line ? u'[' + cp932::decode(*line) + u']' : QStringLiteral("-"));
    return out;
}

StoredSettings values(const QString &a, const QString &b, const QString &c, const QString &d) { return {a, b, c, d}; }

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

// The settings codec: what a file's bytes read as, what is written back,
// what cannot be stored, hostile and random files. The file itself and its
// saves: tst_settingsfile; its lock among many: tst_settingslock.
class TestSettingsCodec : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void roundTrip_data();
    void roundTrip();
    void unstorable_data();
    void unstorable();
    void hostileFilesStayBounded();
    void randomBytesLoadAndRewrite();
    void readOrder();
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
        << QByteArray("A\r\nB\r\nC\r\nD:\\X")
        << QStringList{QStringLiteral("[A]"), QStringLiteral("[B]"), QStringLiteral("[C]"), QStringLiteral("[D:\\X]")};
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
    QCOMPARE(shown(settings::readLines(buffer)), values);
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
    const StoredSettings stored = values(value, QStringLiteral(" B "), QString(), QStringLiteral("C:\\ACAD\\"));
    QByteArray file = settings::encodeValues(stored, StoredSettings::defaults(), RawLines{});
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    const RawLines back = settings::readLines(buffer);
    QVERIFY(back.complete);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(cp932::decode(back.lines[i].value_or("<missing>")), stored[i]);
}

void TestSettingsCodec::unstorable_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("lineInFile");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("no code page 932 bytes, file line kept")
        << QStringLiteral(u"caf\u00e9.DXT") << true << QByteArray("OLD\x95\x5c.DXT");
    QTest::newRow("no code page 932 bytes, no line: the default")
        << QStringLiteral(u"A\u20ac.DXT") << false << QByteArray("DXFIX13.DXT");
    QTest::newRow("a line break, no line: the default")
        << QStringLiteral("two\nlines") << false << QByteArray("DXFIX13.DXT");
    QTest::newRow("over the cap, no line: the default")
        << QString(settings::kMaxLineBytes + 1, u'x') << false << QByteArray("DXFIX13.DXT");
    QTest::newRow("emptied: an empty line") << QString() << true << QByteArray();
}

void TestSettingsCodec::unstorable()
{
    QFETCH(QString, value);
    QFETCH(bool, lineInFile);
    QFETCH(QByteArray, written);
    RawLines file;
    if (lineInFile)
        file.lines[0] = QByteArray("OLD\x95\x5c.DXT");
    const StoredSettings shown = values(QStringLiteral("shown"), QString(), QString(), QString());
    const StoredSettings now = values(value, QString(), QString(), QString());
    QCOMPARE(settings::encodeValues(now, shown, file), written + "\r\n\r\n\r\n\r\n");
}

void TestSettingsCodec::hostileFilesStayBounded()
{
    // Several megabytes without a line end: nothing is taken, and only a
    // bounded head of the file is read.
    CountingBuffer huge;
    huge.setData(QByteArray(8 * 1024 * 1024, 'x'));
    huge.open(QIODevice::ReadOnly);
    const RawLines lines = settings::readLines(huge);
    for (const auto &line : lines.lines)
        QVERIFY(!line);
    QVERIFY(huge.bytesRead <= 4 * (settings::kMaxLineBytes + 2));

    // A too-long second line keeps the first and drops the rest.
    QByteArray file = "A\r\n" + QByteArray(settings::kMaxLineBytes + 1, 'y') + "\r\nC\r\nD\r\n";
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    const RawLines stopped = settings::readLines(buffer);
    QCOMPARE(shown(stopped),
             (QStringList{QStringLiteral("[A]"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-")}));
    QVERIFY(!stopped.complete);
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
        const StoredSettings texts = settings::valuesOf(raw, StoredSettings::defaults());
        // Writing back what was read, unchanged, keeps every line's bytes,
        // even where they do not decode to text.
        QByteArray rewritten = settings::encodeValues(texts, texts, raw);
        QBuffer again(&rewritten);
        again.open(QIODevice::ReadOnly);
        const RawLines reread = settings::readLines(again);
        for (int i = 0; i < 4; ++i) {
            if (raw.lines[i])
                QCOMPARE(reread.lines[i].value_or(QByteArray("<missing>")), *raw.lines[i]);
        }
    }
}

void TestSettingsCodec::readOrder()
{
    const SettingsFile onUnix(QStringLiteral("/opt/Tools/Tessiva"), QStringLiteral("/home/u/.config/tessiva"));
    QCOMPARE(onUnix.readOrder(),
             (QStringList{QStringLiteral("/home/u/.config/tessiva/tessiva.ini"),
                          QStringLiteral("/opt/Tools/tessiva.ini"), QStringLiteral("/opt/Tools/Tessiva.ini")}));
    const SettingsFile onWindows(QStringLiteral("C:\\TOOLS\\TESSIVA.EXE"), QString());
    QCOMPARE(onWindows.readOrder(),
             (QStringList{QStringLiteral("C:\\TOOLS\\tessiva.ini"), QStringLiteral("C:\\TOOLS\\TESSIVA.ini")}));
    QCOMPARE(SettingsFile::besideExecutable(QStringLiteral("/opt/my.app/tessiva")),
             QStringLiteral("/opt/my.app/tessiva.ini"));
}

QTEST_GUILESS_MAIN(TestSettingsCodec)
#include "tst_settingscodec.moc"
