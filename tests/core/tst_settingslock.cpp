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

// The settings file among many processes: a crowd of closes keeps every
// change, locks left never block, no save writes without the lock, a
// holder at work is waited for, and a lock follows its file's replacement.
class TestSettingsLock : public QObject
{
    Q_OBJECT

private slots:
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

void TestSettingsLock::aCrowdOfClosesKeepsEveryChange_data()
{
    QTest::addColumn<QString>("disk"); // "ext4": the test's folder; "tmpfs": a tmpfs of its own
    QTest::addColumn<bool>("ownTemporaryFolders"); // each window with a TMPDIR of its own
    QTest::addColumn<bool>("inPlace"); // a folder that takes no new file: the lock on the file alone
    QTest::newRow("ext4") << QStringLiteral("ext4") << false << false;
    QTest::newRow("ext4, a temporary folder each") << QStringLiteral("ext4") << true << false;
    QTest::newRow("tmpfs") << QStringLiteral("tmpfs") << false << false;
    QTest::newRow("ext4, rewritten in place") << QStringLiteral("ext4") << true << true;
}

void TestSettingsLock::aCrowdOfClosesKeepsEveryChange()
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
                return file.save(now).written.passed();
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

void TestSettingsLock::leftLocksNeverBlock_data()
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

void TestSettingsLock::leftLocksNeverBlock()
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
    QCOMPARE(reasonOf(report.written), WriteError());
    QCOMPARE(readAll(path), QByteArray("A\r\nB\r\nMINE\r\nD\r\n"));
    // Taken away with the lock it was.
    QVERIFY(!QFileInfo::exists(path + QStringLiteral(".lock")));
}

void TestSettingsLock::aSaveNeverWritesWithoutTheLock_data()
{
    QTest::addColumn<int>("heldMs"); // how long another process holds the file locked; 0: until the save ends
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<bool>("written");
    QTest::newRow("released in time") << 1000 << false << true;
    QTest::newRow("held too long") << 0 << false << false;
    QTest::newRow("held too long, a folder that takes no new file") << 0 << true << false;
}

void TestSettingsLock::aSaveNeverWritesWithoutTheLock()
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
        return report.written.passed() == written && report.notKept == (written ? QList<int>() : QList<int>{2})
            && (written || reasonOf(report.written) == ownReason(WriteFailure::Locked));
    });
    ::close(done[1]);
    QVERIFY(ordinaryuser::finish(holder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(asExpected);
    QCOMPARE(readAll(path), written ? QByteArray("A\r\nB\r\nMINE\r\nD\r\n") : old);
}

void TestSettingsLock::aHolderAtWorkIsWaitedFor_data()
{
    // Another process holds the lock for a second and a half, at work (as
    // in a long flush to a busy disk) or asleep (hung on something else);
    // the waiter gives one holder 300 ms.
    QTest::addColumn<bool>("atWork");
    QTest::addColumn<bool>("held");
    QTest::newRow("at work: waited for") << true << true;
    QTest::newRow("asleep: not waited for") << false << false;
}

void TestSettingsLock::aHolderAtWorkIsWaitedFor()
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

void TestSettingsLock::aWaitingLockTakesTheFileThatReplacedItsOwn()
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

QTEST_GUILESS_MAIN(TestSettingsLock)
#include "tst_settingslock.moc"
