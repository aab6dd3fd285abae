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
    void settingsFileInAFolderWithoutRoomForATemporary();
    void saveOverWhatTheFileHoldsNow_data();
    void saveOverWhatTheFileHoldsNow();
    void changedValuesNotKept_data();
    void changedValuesNotKept();
    void aCrowdOfClosesKeepsEveryChange_data();
    void aCrowdOfClosesKeepsEveryChange();
    void leftLocksNeverBlock_data();
    void leftLocksNeverBlock();
    void aSaveNeverWritesWithoutTheLock_data();
    void aSaveNeverWritesWithoutTheLock();
    void aHolderAtWorkIsWaitedFor_data();
    void aHolderAtWorkIsWaitedFor();
    void aWaitingLockTakesTheFileThatReplacedItsOwn();
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

void TestSettingsCodec::settingsFileInAFolderWithoutRoomForATemporary()
{
    // The program's folder takes no new file, but its settings file may be
    // written: it is written in place, and no per-user file is made.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(ordinaryuser::handOver(folder));
    const QString user = dir.filePath(QStringLiteral("user"));
    const bool saved = ordinaryuser::run([&] {
        if (!writeAll(folder + QStringLiteral("/tessiva.ini"), "A\r\nB\r\nC\r\nD\r\n")
            || !QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner))
            return false;
        SettingsFile file(folder + QStringLiteral("/tessiva"), user);
        StoredSettings now = file.load(StoredSettings::defaults());
        now.destinationFolder = QStringLiteral("NEW");
        return file.save(now).written.ok;
    });
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(saved);
    QCOMPARE(readAll(folder + QStringLiteral("/tessiva.ini")), QByteArray("A\r\nB\r\nNEW\r\nD\r\n"));
    QVERIFY(!QFile::exists(user + QStringLiteral("/tessiva.ini")));
}

void TestSettingsCodec::saveOverWhatTheFileHoldsNow_data()
{
    QTest::addColumn<QByteArray>("atLoad");
    QTest::addColumn<QByteArray>("meanwhile"); // what another window stored; empty for nothing
    QTest::addColumn<int>("line"); // the line this window changed, or -1
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("written");
    const QByteArray four = "A\r\nB\r\nC\r\nD\r\n";
    QTest::newRow("another window's value is kept")
        << four << QByteArray("A\r\nB\r\nOTHER\r\nD\r\n") << 3 << QStringLiteral("MINE")
        << QByteArray("A\r\nB\r\nOTHER\r\nMINE\r\n");
    QTest::newRow("both changed one value: the last close wins")
        << four << QByteArray("A\r\nB\r\nOTHER\r\nD\r\n") << 2 << QStringLiteral("MINE")
        << QByteArray("A\r\nB\r\nMINE\r\nD\r\n");
    QTest::newRow("nothing changed: another window's file stays")
        << four << QByteArray("X\nY") << -1 << QString() << QByteArray("X\nY");
    QTest::newRow("nothing changed: CR-only line ends stay")
        << QByteArray("A\rB\rC\rD\r") << QByteArray() << -1 << QString() << QByteArray("A\rB\rC\rD\r");
    QTest::newRow("a CR inside a line another value left alone")
        << QByteArray("A\r\nB\rX\r\nC\r\nD\r\n") << QByteArray() << 3 << QStringLiteral("MINE")
        << QByteArray("A\r\nB\rX\r\nC\r\nMINE\r\n");
    QTest::newRow("no file yet: made at the close")
        << QByteArray() << QByteArray() << -1 << QString() << QByteArray("DXFIX13.DXT\r\nDXFIX.DXT\r\n\r\n\r\n");
}

void TestSettingsCodec::saveOverWhatTheFileHoldsNow()
{
    QFETCH(QByteArray, atLoad);
    QFETCH(QByteArray, meanwhile);
    QFETCH(int, line);
    QFETCH(QString, value);
    QFETCH(QByteArray, written);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tessiva.ini"));
    if (!atLoad.isEmpty())
        QVERIFY(writeAll(path, atLoad));
    SettingsFile file(dir.filePath(QStringLiteral("tessiva")), QString());
    StoredSettings now = file.load(StoredSettings::defaults());
    if (!meanwhile.isEmpty())
        QVERIFY(writeAll(path, meanwhile));
    if (line >= 0)
        now[line] = value;
    const SettingsFile::SaveReport result = file.save(now);
    QVERIFY(result.written.ok);
    QVERIFY(result.notKept.isEmpty());
    QCOMPARE(readAll(path), written);
}

void TestSettingsCodec::changedValuesNotKept_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("file"); // "small", "large" (100 MiB), "fifo" or "read-only"
    QTest::addColumn<QString>("userFolder"); // "none", "new", or "blocked" (a file stands where it goes)
    QTest::addColumn<bool>("kept");
    QTest::addColumn<WriteError>("reason"); // why no file was written
    const QString out = QStringLiteral("D:\\OUT\\");
    QTest::newRow("no code page 932 bytes") << QStringLiteral(u"D:\\PLANS€2024\\") << "small"
                                            << "none" << false << WriteError();
    QTest::newRow("outside the basic plane") << QStringLiteral(u"PARAM😀.DXT") << "small"
                                             << "none" << false << WriteError();
    QTest::newRow("a file too large to rewrite") << out << "large"
                                                 << "none" << false << ownReason(WriteFailure::SettingsTooLarge);
    QTest::newRow("a file too large, a per-user file") << out << "large"
                                                       << "new" << true << WriteError();
    QTest::newRow("storable") << out << "small"
                              << "none" << true << WriteError();
    // Never opened: a FIFO without a reader would hold the close for ever.
    QTest::newRow("a FIFO") << out << "fifo"
                            << "none" << false << ownReason(WriteFailure::NotRegular);
    QTest::newRow("a FIFO, a per-user file") << out << "fifo"
                                             << "new" << true << WriteError();
    QTest::newRow("read-only, no per-user folder can be made")
        << out << "read-only"
        << "blocked" << false << ownReason(WriteFailure::ReadOnly);
}

void TestSettingsCodec::changedValuesNotKept()
{
    QFETCH(QString, value);
    QFETCH(QString, file);
    QFETCH(QString, userFolder);
    QFETCH(bool, kept);
    QFETCH(WriteError, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tessiva.ini"));
    if (file == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    } else {
        QVERIFY(writeAll(path, "A\r\nB\r\nC:\\OLD\\\r\nD\r\n"));
        if (file == QLatin1String("large")) {
            QFile big(path);
            QVERIFY(big.open(QIODevice::ReadWrite) && big.resize(qint64(100) << 20));
        }
        if (file == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    }
    const QString user = userFolder == QLatin1String("none") ? QString() : dir.filePath(QStringLiteral("user/tessiva"));
    if (userFolder == QLatin1String("blocked"))
        QVERIFY(writeAll(dir.filePath(QStringLiteral("user")), "a file, not a folder"));
    SettingsFile settingsFile(dir.filePath(QStringLiteral("tessiva")), user);
    StoredSettings now = settingsFile.load(StoredSettings::defaults());
    now.destinationFolder = value;
    const SettingsFile::SaveReport result = settingsFile.save(now);
    QCOMPARE(result.notKept, kept ? QList<int>() : QList<int>{2});
    QCOMPARE(result.written.error, reason);
    SettingsFile again(dir.filePath(QStringLiteral("tessiva")), user);
    const QString next = again.load(StoredSettings::defaults()).destinationFolder;
    QCOMPARE(next == value, kept);
    struct stat st = {};
    QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(S_ISFIFO(st.st_mode), file == QLatin1String("fifo"));
}

void TestSettingsCodec::aCrowdOfClosesKeepsEveryChange_data()
{
    QTest::addColumn<QString>("disk"); // "ext4": the test's folder; "tmpfs": a tmpfs of its own
    QTest::addColumn<bool>("ownTemporaryFolders"); // each window with a TMPDIR of its own
    QTest::addColumn<bool>("inPlace"); // a folder that takes no new file: the lock on the file alone
    QTest::newRow("ext4") << QStringLiteral("ext4") << false << false;
    QTest::newRow("ext4, a temporary folder each") << QStringLiteral("ext4") << true << false;
    QTest::newRow("tmpfs") << QStringLiteral("tmpfs") << false << false;
    QTest::newRow("ext4, rewritten in place") << QStringLiteral("ext4") << true << true;
}

void TestSettingsCodec::aCrowdOfClosesKeepsEveryChange()
{
    // Twenty windows, each with a change of its own, closed at the same
    // moment (a logout): every save lands, and every line holds a value one
    // of the windows gave it.
    QFETCH(QString, disk);
    QFETCH(bool, ownTemporaryFolders);
    QFETCH(bool, inPlace);
    constexpr int kWindows = 20;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("bin"));
    std::unique_ptr<SmallDisk> tmpfs;
    if (disk == QLatin1String("tmpfs")) {
        tmpfs = std::make_unique<SmallDisk>(folder, 4096);
        if (!tmpfs->mounted())
            QSKIP(qPrintable(tmpfs->why));
    }
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(ordinaryuser::handOver(folder));
    const QString path = folder + QStringLiteral("/tessiva.ini");
    const auto setFolderWritable = [&](bool writable) {
        return QFile::setPermissions(folder,
                                     QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                         | (writable ? QFileDevice::WriteOwner : QFileDevice::Permissions()));
    };
    for (int round = 0; round < 3; ++round) {
        QVERIFY(ordinaryuser::run([&] {
            return setFolderWritable(true) && writeAll(path, "A\r\nB\r\nC\r\nD\r\n") && setFolderWritable(!inPlace);
        }));
        int go[2];
        QCOMPARE(::pipe(go), 0);
        QList<pid_t> windows;
        for (int w = 0; w < kWindows; ++w) {
            windows << ordinaryuser::start([&] {
                ::close(go[1]);
                if (ownTemporaryFolders)
                    qputenv("TMPDIR", dir.filePath(QStringLiteral("tmp%1").arg(w)).toLocal8Bit());
                SettingsFile file(folder + QStringLiteral("/tessiva"), QString());
                StoredSettings now = file.load(StoredSettings::defaults());
                now[w % 4] = QStringLiteral("W%1").arg(w);
                char c;
                (void)!::read(go[0], &c, 1); // all start when the pipe closes
                return file.save(now).written.ok;
            });
        }
        ::close(go[0]);
        ::close(go[1]);
        int landed = 0;
        for (pid_t window : std::as_const(windows))
            landed += ordinaryuser::finish(window) ? 1 : 0;
        QCOMPARE(landed, kWindows);
        const QList<QByteArray> lines = readAll(path).split('\n');
        QCOMPARE(lines.size(), 5);
        for (int line = 0; line < 4; ++line) {
            const QByteArray value = lines.at(line).chopped(1);
            QVERIFY2(value.startsWith('W') && value.mid(1).toInt() % 4 == line, value.constData());
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("tessiva.ini")});
    }
    QVERIFY(ordinaryuser::run([&] { return setFolderWritable(true); }));
}

void TestSettingsCodec::leftLocksNeverBlock_data()
{
    // What a crash, a power cut or another machine leaves as the lock file
    // beside the settings file: none of it is a lock.
    QTest::addColumn<QByteArray>("left");
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    QTest::newRow("empty, as a power cut leaves it") << QByteArray();
    QTest::newRow("garbled") << QByteArray("\x01\xff garbled \n\n\x7f");
    QTest::newRow("another host's") << QByteArray("4242\ntessiva\nanother-host.example\n");
    // A process id that another process of the same name took again.
    QTest::newRow("a live process's id, taken again") << QByteArray("%1\n%2\n") + QByteArray(host) + '\n';
}

void TestSettingsCodec::leftLocksNeverBlock()
{
    QFETCH(QByteArray, left);
    pid_t live = 0;
    if (left.contains("%1")) {
        live = ::fork();
        if (live == 0) {
            ::pause();
            ::_exit(0);
        }
        left.replace("%1", QByteArray::number(live));
        left.replace("%2", QCoreApplication::applicationName().toUtf8());
    }
    const auto endLive = qScopeGuard([live] {
        if (live > 0) {
            ::kill(live, SIGKILL);
            ::waitpid(live, nullptr, 0);
        }
    });
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tessiva.ini"));
    QVERIFY(writeAll(path, "A\r\nB\r\nC\r\nD\r\n"));
    QVERIFY(writeAll(path + QStringLiteral(".lock"), left));
    SettingsFile file(dir.filePath(QStringLiteral("tessiva")), QString());
    StoredSettings now = file.load(StoredSettings::defaults());
    now.destinationFolder = QStringLiteral("MINE");
    const SettingsFile::SaveReport report = file.save(now);
    QCOMPARE(report.written.error, WriteError());
    QCOMPARE(readAll(path), QByteArray("A\r\nB\r\nMINE\r\nD\r\n"));
    // Taken away with the lock it was.
    QVERIFY(!QFileInfo::exists(path + QStringLiteral(".lock")));
}

void TestSettingsCodec::aSaveNeverWritesWithoutTheLock_data()
{
    QTest::addColumn<int>("heldMs"); // how long another process holds the file locked; 0: until the save ends
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<bool>("written");
    QTest::newRow("released in time") << 1000 << false << true;
    QTest::newRow("held too long") << 0 << false << false;
    QTest::newRow("held too long, a folder that takes no new file") << 0 << true << false;
}

void TestSettingsCodec::aSaveNeverWritesWithoutTheLock()
{
    // Another process saving the same file, slowly: the save waits for it a
    // few seconds, and never writes without the lock. What it could not
    // write is named as not kept.
    QFETCH(int, heldMs);
    QFETCH(bool, inPlace);
    QFETCH(bool, written);
    char c = 0;
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(ordinaryuser::handOver(folder));
    const QString path = folder + QStringLiteral("/tessiva.ini");
    const QByteArray old = "A\r\nB\r\nC\r\nD\r\n";
    QVERIFY(ordinaryuser::run([&] {
        return writeAll(path, old)
            && (!inPlace || QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }));
    int locked[2], done[2];
    QCOMPARE(::pipe(locked), 0);
    QCOMPARE(::pipe(done), 0);
    const pid_t holder = ordinaryuser::start([&] {
        ::close(locked[0]);
        ::close(done[1]);
        const FileLock lock(path, std::chrono::milliseconds(0));
        (void)!::write(locked[1], lock.held() ? "y" : "n", 1);
        if (heldMs > 0)
            ::usleep(useconds_t(heldMs) * 1000);
        else
            (void)!::read(done[0], &c, 1); // until the save has ended
        return lock.held();
    });
    ::close(locked[1]);
    ::close(done[0]);
    QCOMPARE(::read(locked[0], &c, 1), ssize_t(1));
    ::close(locked[0]);
    QCOMPARE(c, 'y');
    const bool asExpected = ordinaryuser::run([&] {
        SettingsFile file(folder + QStringLiteral("/tessiva"), QString());
        StoredSettings now = file.load(StoredSettings::defaults());
        now.destinationFolder = QStringLiteral("MINE");
        const SettingsFile::SaveReport report = file.save(now);
        return report.written.ok == written && report.notKept == (written ? QList<int>() : QList<int>{2})
            && (written || report.written.error == ownReason(WriteFailure::Locked));
    });
    ::close(done[1]);
    QVERIFY(ordinaryuser::finish(holder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(asExpected);
    QCOMPARE(readAll(path), written ? QByteArray("A\r\nB\r\nMINE\r\nD\r\n") : old);
}

void TestSettingsCodec::aHolderAtWorkIsWaitedFor_data()
{
    // Another process holds the lock for a second and a half, at work (as
    // in a long flush to a busy disk) or asleep (hung on something else);
    // the waiter gives one holder 300 ms.
    QTest::addColumn<bool>("atWork");
    QTest::addColumn<bool>("held");
    QTest::newRow("at work: waited for") << true << true;
    QTest::newRow("asleep: not waited for") << false << false;
}

void TestSettingsCodec::aHolderAtWorkIsWaitedFor()
{
    QFETCH(bool, atWork);
    QFETCH(bool, held);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tessiva.ini"));
    QVERIFY(writeAll(path, "A\r\n"));
    int locked[2];
    QCOMPARE(::pipe(locked), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::close(locked[0]);
        const FileLock lock(path, std::chrono::milliseconds(0));
        (void)!::write(locked[1], lock.held() ? "y" : "n", 1);
        QDeadlineTimer busy(1500);
        if (atWork) {
            while (!busy.hasExpired()) { }
        } else {
            ::usleep(1500 * 1000);
        }
        ::_exit(0);
    }
    ::close(locked[1]);
    char c = 0;
    QCOMPARE(::read(locked[0], &c, 1), ssize_t(1));
    ::close(locked[0]);
    QCOMPARE(c, 'y');
    const FileLock lock(path, std::chrono::milliseconds(300));
    int status = 0;
    QCOMPARE(::waitpid(holder, &status, 0), holder);
    QCOMPARE(lock.held(), held);
    if (!held)
        QCOMPARE(lock.error(), ownReason(WriteFailure::Locked));
}

void TestSettingsCodec::aWaitingLockTakesTheFileThatReplacedItsOwn()
{
    // A save waits for the lock on the settings file; meanwhile another
    // save replaces the file (a new file renamed over it) and lets go. The
    // waiting lock must end up on the file that lies under the name now,
    // not on the replaced one that nobody reads any more.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tessiva.ini"));
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(writeAll(path, "OLD\r\n"));
    int other = ::open(name.constData(), O_RDONLY | O_CLOEXEC); // the other save
    QVERIFY(other >= 0);
    QCOMPARE(::flock(other, LOCK_EX), 0);
    struct stat old = {};
    QCOMPARE(::fstat(other, &old), 0);

    std::promise<void> held, done;
    std::future<void> lockHeld = held.get_future();
    std::thread waiting([&, finished = done.get_future()] {
        const FileLock lock(path, std::chrono::seconds(60));
        held.set_value();
        finished.wait();
    });
    // Whatever the test finds, the waiting lock is let go and its thread ends.
    const auto release = qScopeGuard([&] {
        if (other >= 0)
            ::close(other);
        done.set_value();
        waiting.join();
    });
    // Until the waiting lock has the old file open: this process then holds
    // it twice.
    const auto opensOfTheOldFile = [&] {
        int opens = 0;
        const QStringList fds = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System);
        for (const QString &fd : fds) {
            struct stat st = {};
            const QByteArray link = QFile::encodeName(QStringLiteral("/proc/self/fd/") + fd);
            if (::stat(link.constData(), &st) == 0 && st.st_ino == old.st_ino && st.st_dev == old.st_dev)
                ++opens;
        }
        return opens;
    };
    QTRY_COMPARE_WITH_TIMEOUT(opensOfTheOldFile(), 2, 30000);
    const QString replacement = dir.filePath(QStringLiteral("new.ini"));
    QVERIFY(writeAll(replacement, "NEW\r\n"));
    QCOMPARE(::rename(QFile::encodeName(replacement).constData(), name.constData()), 0);
    ::close(other);
    other = -1;
    lockHeld.wait();

    const int now = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(now >= 0);
    const bool free = ::flock(now, LOCK_EX | LOCK_NB) == 0;
    ::close(now);
    QVERIFY2(!free, "the lock stayed on the file that was replaced");
}

QTEST_GUILESS_MAIN(TestSettingsCodec)
#include "tst_settingscodec.moc"
