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

// The settings file: where it is read from, a save over what it holds now,
// a folder without room for a temporary file, values not kept.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void settingsFileInAFolderWithoutRoomForATemporary();
    void saveOverWhatTheFileHoldsNow_data();
    void saveOverWhatTheFileHoldsNow();
    void changedValuesNotKept_data();
    void changedValuesNotKept();
};

void TestSettingsFile::settingsFileInAFolderWithoutRoomForATemporary()
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
        return file.save(now).written.passed();
    });
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(saved);
    QCOMPARE(readAll(folder + QStringLiteral("/tessiva.ini")), QByteArray("A\r\nB\r\nNEW\r\nD\r\n"));
    QVERIFY(!QFile::exists(user + QStringLiteral("/tessiva.ini")));
}

void TestSettingsFile::saveOverWhatTheFileHoldsNow_data()
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

void TestSettingsFile::saveOverWhatTheFileHoldsNow()
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
    QVERIFY(result.written.passed());
    QVERIFY(result.notKept.isEmpty());
    QCOMPARE(readAll(path), written);
}

void TestSettingsFile::changedValuesNotKept_data()
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

void TestSettingsFile::changedValuesNotKept()
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
    QCOMPARE(reasonOf(result.written), reason);
    SettingsFile again(dir.filePath(QStringLiteral("tessiva")), user);
    const QString next = again.load(StoredSettings::defaults()).destinationFolder;
    QCOMPARE(next == value, kept);
    struct stat st = {};
    QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(S_ISFIFO(st.st_mode), file == QLatin1String("fifo"));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
