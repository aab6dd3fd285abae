#include "core/files/filelock.h"
#include "core/files/filewrite.h"
#include "ordinaryuser.h"
#include "smalldisk.h"
#include "testfiles.h"
#include "writeerrors.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <thread>

#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using testfiles::readAll;
using testfiles::writeAll;

namespace {
const QByteArray kOld = "REM the batch file that was there\r\n";

// Lines of a batch file, `size` bytes in all.
QByteArray lines(qsizetype size, char mark = 'A')
{
    QByteArray line = "C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\DXFIX13.DXT C:\\DRAW\\PLAN.DXF D:\\OUT\\PLAN.DXF\r\n";
    line[0] = mark;
    QByteArray out;
    while (out.size() < size)
        out += line;
    out.truncate(size);
    return out;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

mode_t typeOf(const QString &path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

bool makeNode(const QString &path, mode_t type, int major = 0, int minor = 0)
{
    const QByteArray name = QFile::encodeName(path);
    if (type == S_IFIFO)
        return ::mkfifo(name.constData(), 0644) == 0;
    return ::mknod(name.constData(), type | 0644, makedev(major, minor)) == 0;
}

enum Where { Beside, InPlace };
} // namespace

Q_DECLARE_METATYPE(Where)

// The one safe write, on real file systems: full disks, special files,
// killed and concurrent writers. Each case ends with the old bytes whole or
// the new bytes complete, and the result says which.
class TestFileWrite : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fullDisk_data();
    void fullDisk();
    void specialFiles_data();
    void specialFiles();
    void keepsTheOwner();
    void linksFollowedAsTheSystemDoes_data();
    void linksFollowedAsTheSystemDoes();
    void fileSizeLimit_data();
    void fileSizeLimit();
    void inPlaceOnEachFileSystem_data();
    void inPlaceOnEachFileSystem();
    void newFilesInAFolder_data();
    void newFilesInAFolder();
    void killedWhileWriting_data();
    void killedWhileWriting();
    void twoWritersAtOnce_data();
    void twoWritersAtOnce();
    void namesNearTheLongest_data();
    void namesNearTheLongest();
    void inPlaceRewriteOfAFileInUse_data();
    void inPlaceRewriteOfAFileInUse();

private:
    // A folder of the test's; with `where` InPlace it takes no new file, so
    // the write goes in place (as "nobody" when run as root, as root may
    // write anywhere).
    QString prepare(const QString &folder, Where where, const QByteArray &old);
    bool inFolder(Where where, const std::function<bool()> &step);
    QTemporaryDir m_dir;
};

void TestFileWrite::initTestCase()
{
    // So that the user the in-place writes run as can reach the folders.
    QVERIFY(QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7755)));
}

QString TestFileWrite::prepare(const QString &folder, Where where, const QByteArray &old)
{
    const QString path = folder + QStringLiteral("/OLD.BAT");
    if (!QDir().mkpath(folder) || !ordinaryuser::handOver(folder))
        return QString();
    const bool ok = ordinaryuser::run([&] {
        return writeAll(path, old)
            && (where == Beside || QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    });
    return ok ? path : QString();
}

bool TestFileWrite::inFolder(Where where, const std::function<bool()> &step)
{
    return where == Beside ? step() : ordinaryuser::run(step);
}

void TestFileWrite::fullDisk_data()
{
    QTest::addColumn<Where>("where");
    QTest::addColumn<int>("freeBytes");
    QTest::addColumn<int>("newBytes");
    QTest::addColumn<bool>("fits");
    // Beside, the old file keeps its page until the new one replaces it.
    QTest::newRow("beside: one line, disk full") << Beside << 0 << 71 << false;
    QTest::newRow("beside: 12 KiB into 8 KiB") << Beside << 8192 << 12000 << false;
    QTest::newRow("beside: 40 KiB into 8 KiB") << Beside << 8192 << 40000 << false;
    QTest::newRow("beside: 6 KiB into 8 KiB") << Beside << 8192 << 6000 << true;
    // In place, the old file's page is the new one's too.
    QTest::newRow("in place: one line, disk full") << InPlace << 0 << 71 << true;
    QTest::newRow("in place: two pages, disk full") << InPlace << 0 << 6000 << false;
    QTest::newRow("in place: 16 KiB into 8 KiB") << InPlace << 8192 << 16000 << false;
    QTest::newRow("in place: 40 KiB into 8 KiB") << InPlace << 8192 << 40000 << false;
    QTest::newRow("in place: 12 KiB into 8 KiB") << InPlace << 8192 << 12000 << true;
}

void TestFileWrite::fullDisk()
{
    QFETCH(Where, where);
    QFETCH(int, freeBytes);
    QFETCH(int, newBytes);
    QFETCH(bool, fits);
    const QString mount = m_dir.filePath(QStringLiteral("disk"));
    SmallDisk disk(mount, 128);
    if (!disk.mounted())
        QSKIP(qPrintable(disk.why));
    const QString folder = mount + QStringLiteral("/out");
    const QString path = prepare(folder, where, kOld);
    QVERIFY(!path.isEmpty());
    QVERIFY(disk.fill(freeBytes));

    const QByteArray bytes = lines(newBytes);
    const bool written = inFolder(where, [&] {
        const WriteResult result = writeWholeFile(path, bytes);
        // The reason comes back to the parent through the outcome only.
        return fits ? result.ok : (!result.ok && result.error == WriteError::system(ENOSPC));
    });
    QVERIFY(written);
    QCOMPARE(readAll(path), fits ? bytes : kOld);
    QCOMPARE(entries(folder), QStringList{QStringLiteral("OLD.BAT")});
}

void TestFileWrite::specialFiles_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("minor"); // of a character device of the memory driver; for a FIFO,
        // 0 a reader that reads all, 1 none, 2 one that leaves
    QTest::addColumn<bool>("linked"); // named through a symbolic link
    QTest::addColumn<bool>("ok");
    QTest::addColumn<WriteError>("reason");
    QTest::newRow("FIFO") << int(S_IFIFO) << 0 << false << true << WriteError();
    QTest::newRow("FIFO through a link") << int(S_IFIFO) << 0 << true << true << WriteError();
    // The write never waits for a reader, nor dies when one leaves.
    QTest::newRow("FIFO without a reader") << int(S_IFIFO) << 1 << false << false << ownReason(WriteFailure::NoReader);
    QTest::newRow("FIFO whose reader leaves") << int(S_IFIFO) << 2 << false << false << WriteError::system(EPIPE);
    QTest::newRow("device that takes all") << int(S_IFCHR) << 3 << false << true << WriteError();
    QTest::newRow("device that is full") << int(S_IFCHR) << 7 << false << false << WriteError::system(ENOSPC);
    QTest::newRow("link to a full device") << int(S_IFCHR) << 7 << true << false << WriteError::system(ENOSPC);
    QTest::newRow("link to a file") << int(S_IFREG) << 0 << true << true << WriteError();
    QTest::newRow("folder") << int(S_IFDIR) << 0 << false << false << ownReason(WriteFailure::IsFolder);
    QTest::newRow("link to a folder") << int(S_IFDIR) << 0 << true << false << ownReason(WriteFailure::IsFolder);
}

void TestFileWrite::specialFiles()
{
    QFETCH(int, type);
    QFETCH(int, minor);
    QFETCH(bool, linked);
    QFETCH(bool, ok);
    QFETCH(WriteError, reason);
    if (type == S_IFCHR && !ordinaryuser::isRoot())
        QSKIP("making a device node needs root");
    const QString folder = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_'));
    QVERIFY(QDir().mkpath(folder));
    const QString node = folder + QStringLiteral("/NODE.BAT");
    switch (type) {
    case S_IFREG: QVERIFY(writeAll(node, kOld)); break;
    case S_IFDIR: QVERIFY(QDir().mkpath(node)); break;
    default: QVERIFY(makeNode(node, mode_t(type), 1, minor));
    }
    const QString path = linked ? folder + QStringLiteral("/LINK.BAT") : node;
    if (linked)
        QVERIFY(QFile::link(QStringLiteral("NODE.BAT"), path));

    // A reader opens the FIFO before the write starts. One that reads all
    // takes what the pipe holds afterwards; one that leaves does so once
    // the write has begun.
    std::thread reader;
    const int readerFd
        = type == S_IFIFO && minor != 1 ? ::open(QFile::encodeName(node).constData(), O_RDONLY | O_NONBLOCK) : -1;
    const QByteArray bytes = lines(minor == 2 ? 1 << 20 : 5000); // one that leaves: more than the pipe holds
    if (minor == 2) {
        reader = std::thread([readerFd] {
            char c;
            while (::read(readerFd, &c, 1) != 1)
                std::this_thread::yield();
            ::close(readerFd);
        });
    }
    const WriteResult result = writeWholeFile(path, bytes);
    if (reader.joinable())
        reader.join();
    QByteArray read(bytes.size(), '\0');
    if (minor == 0 && readerFd >= 0) {
        read.resize(std::max<ssize_t>(0, ::read(readerFd, read.data(), size_t(read.size()))));
        ::close(readerFd);
    }

    QCOMPARE(result.ok, ok);
    QCOMPARE(result.error, reason);
    // Written through, never replaced: the node and the link are still there.
    QCOMPARE(int(typeOf(node)), type);
    if (linked)
        QCOMPARE(int(typeOf(path)), int(S_IFLNK));
    if (type == S_IFIFO && minor == 0)
        QCOMPARE(read, bytes);
    if (type == S_IFREG)
        QCOMPARE(readAll(node), bytes);
}

void TestFileWrite::keepsTheOwner()
{
    if (!ordinaryuser::isRoot())
        QSKIP("giving a file to another user needs root");
    const QString path = m_dir.filePath(QStringLiteral("THEIRS.BAT"));
    QVERIFY(writeAll(path, kOld));
    const QByteArray name = QFile::encodeName(path);
    QCOMPARE(::chown(name.constData(), ordinaryuser::kNobody, ordinaryuser::kNobody), 0);
    QCOMPARE(::chmod(name.constData(), 0640), 0);
    QVERIFY(writeWholeFile(path, lines(300)).ok);
    struct stat st = {};
    QCOMPARE(::stat(name.constData(), &st), 0);
    QCOMPARE(st.st_uid, ordinaryuser::kNobody);
    QCOMPARE(st.st_gid, ordinaryuser::kNobody);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
}

void TestFileWrite::linksFollowedAsTheSystemDoes_data()
{
    // In a folder real/proj/bat reached through the link "work", beside
    // real/proj/SHARED.BAT and an unrelated SHARED.BAT at the top.
    QTest::addColumn<QString>("linkTarget"); // of real/proj/bat/JOB.BAT, or empty for none
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("written");
    QTest::newRow("relative link in a linked folder") << "../SHARED.BAT"
                                                      << "work/JOB.BAT"
                                                      << "real/proj/SHARED.BAT";
    QTest::newRow("dot-dot after a linked folder") << ""
                                                   << "work/../SHARED.BAT"
                                                   << "real/proj/SHARED.BAT";
    QTest::newRow("relative link to a new file") << "../NEW.BAT"
                                                 << "work/JOB.BAT"
                                                 << "real/proj/NEW.BAT";
    QTest::newRow("a link to a link") << "../../proj/bat/../LINK.BAT"
                                      << "work/JOB.BAT"
                                      << "real/proj/SHARED.BAT";
}

void TestFileWrite::linksFollowedAsTheSystemDoes()
{
    QFETCH(QString, linkTarget);
    QFETCH(QString, given);
    QFETCH(QString, written);
    QTemporaryDir top;
    const QDir dir(top.path());
    QVERIFY(dir.mkpath(QStringLiteral("real/proj/bat")));
    QVERIFY(QFile::link(QStringLiteral("real/proj/bat"), dir.filePath(QStringLiteral("work"))));
    QVERIFY(writeAll(dir.filePath(QStringLiteral("SHARED.BAT")), "UNRELATED\r\n"));
    QVERIFY(writeAll(dir.filePath(QStringLiteral("real/proj/SHARED.BAT")), kOld));
    QVERIFY(QFile::link(QStringLiteral("SHARED.BAT"), dir.filePath(QStringLiteral("real/proj/LINK.BAT"))));
    if (!linkTarget.isEmpty())
        QVERIFY(QFile::link(linkTarget, dir.filePath(QStringLiteral("real/proj/bat/JOB.BAT"))));
    // Relative to the working folder, as a command line gives it.
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(top.path()));
    const QByteArray bytes = lines(300);
    const WriteResult result = writeWholeFile(given, bytes);
    QDir::setCurrent(before);
    QCOMPARE(result.error, WriteError());
    QVERIFY(result.ok);
    QCOMPARE(readAll(dir.filePath(written)), bytes);
    QCOMPARE(readAll(dir.filePath(QStringLiteral("SHARED.BAT"))), QByteArray("UNRELATED\r\n"));
}

void TestFileWrite::fileSizeLimit_data() { twoWritersAtOnce_data(); }

void TestFileWrite::fileSizeLimit()
{
    // A file size limit (ulimit -f) is a write failure like a full disk:
    // the old bytes stay, and the program lives on to say why.
    QFETCH(Where, where);
    const QString folder = m_dir.filePath(QStringLiteral("limit-") + QString::number(int(where)));
    const QString path = prepare(folder, where, kOld);
    QVERIFY(!path.isEmpty());
    const pid_t child = ordinaryuser::start([&] {
        const rlimit limit = {100 * 1024, RLIM_INFINITY};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return false;
        const WriteResult result = writeWholeFile(path, lines(1 << 20));
        return !result.ok && result.error == WriteError::system(EFBIG);
    });
    QVERIFY(ordinaryuser::finish(child));
    QCOMPARE(readAll(path), kOld);
    QCOMPARE(entries(folder), QStringList{QStringLiteral("OLD.BAT")});
}

void TestFileWrite::inPlaceOnEachFileSystem_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("mib");
    QTest::addColumn<bool>("inPlace"); // whether the file system may rewrite a file in place
    QTest::newRow("tmpfs") << "tmpfs" << 1 << true;
    QTest::newRow("ext4") << "ext4" << 8 << true;
    QTest::newRow("xfs") << "xfs" << 300 << true;
    // Copy-on-write: every rewritten block is a new one.
    QTest::newRow("btrfs") << "btrfs" << 120 << false;
}

void TestFileWrite::inPlaceOnEachFileSystem()
{
    // A full disk, a folder that takes no new file: the file is rewritten in
    // place where its own blocks can take the new bytes, and otherwise left
    // whole; never a mixture of the two.
    QFETCH(QString, type);
    QFETCH(int, mib);
    QFETCH(bool, inPlace);
    const QString mount = m_dir.filePath(QStringLiteral("fs-") + type);
    const std::unique_ptr<SmallDisk> disk = type == QLatin1String("tmpfs")
        ? std::make_unique<SmallDisk>(mount, mib * 1024)
        : std::make_unique<SmallDisk>(mount, type, mib);
    if (!disk->mounted())
        QSKIP(qPrintable(disk->why));
    const QString folder = mount + QStringLiteral("/out");
    const QByteArray old = lines(64 * 1024, 'O');
    const QString path = prepare(folder, InPlace, old);
    QVERIFY(!path.isEmpty());
    QVERIFY(disk->fill(0));
    const QByteArray bytes = lines(64 * 1024, 'N');
    QVERIFY(ordinaryuser::run([&] {
        const WriteResult result = writeWholeFile(path, bytes);
        return result.ok
            || result.error == (inPlace ? WriteError::system(ENOSPC) : ownReason(WriteFailure::NoRoomInPlace));
    }));
    const QByteArray now = readAll(path);
    QVERIFY2(now == bytes || now == old, qPrintable(QStringLiteral("a mixture of %1 bytes").arg(now.size())));
    if (!inPlace)
        QCOMPARE(now, old);
}

void TestFileWrite::newFilesInAFolder_data()
{
    QTest::addColumn<Where>("where");
    QTest::addColumn<bool>("creates");
    QTest::newRow("a folder of the user's") << Beside << true;
    QTest::newRow("a folder the user may not write into") << InPlace << false;
}

void TestFileWrite::newFilesInAFolder()
{
    // As an ordinary user: only making a file says what the system allows.
    QFETCH(Where, where);
    QFETCH(bool, creates);
    const QString folder = m_dir.filePath(QStringLiteral("probe-") + QString::number(int(where)));
    QVERIFY(!prepare(folder, where, kOld).isEmpty());
    QVERIFY(ordinaryuser::run([&] { return canCreateFileIn(folder) == creates; }));
    QCOMPARE(entries(folder), QStringList{QStringLiteral("OLD.BAT")});
}

void TestFileWrite::killedWhileWriting_data()
{
    QTest::addColumn<Where>("where");
    QTest::addColumn<int>("nameBytes"); // of the file's name
    QTest::newRow("beside") << Beside << 7;
    QTest::newRow("in place") << InPlace << 7;
    // Too long a name for a temporary one made after it: the temporary file
    // is an unnamed one all the same.
    QTest::newRow("beside, a name of 250 bytes") << Beside << 250;
}

void TestFileWrite::killedWhileWriting()
{
    QFETCH(Where, where);
    QFETCH(int, nameBytes);
    const QString folder = m_dir.filePath(QStringLiteral("killed-%1-%2").arg(int(where)).arg(nameBytes));
    QString path = prepare(folder, where, kOld);
    QVERIFY(!path.isEmpty());
    const QString name
        = nameBytes > 7 ? QString(nameBytes - 4, u'N') + QStringLiteral(".BAT") : QFileInfo(path).fileName();
    if (nameBytes > 7) {
        QVERIFY(QFile::rename(path, folder + u'/' + name));
        path = folder + u'/' + name;
    }
    int written[2];
    QCOMPARE(::pipe(written), 0);
    // The child writes the first megabyte, says so, and waits to be killed.
    const pid_t child = ordinaryuser::start([&] {
        ::close(written[0]);
        writeWholeFile(path, [&](QIODevice &file) {
            if (!writeFully(file, lines(1 << 20)))
                return false;
            (void)!::write(written[1], "w", 1);
            for (;;)
                ::pause();
            return true;
        });
        return false;
    });
    QVERIFY(child > 0);
    ::close(written[1]);
    char c = 0;
    QCOMPARE(::read(written[0], &c, 1), ssize_t(1));
    ::close(written[0]);
    QCOMPARE(::kill(child, SIGKILL), 0);
    QVERIFY(!ordinaryuser::finish(child));
    QCOMPARE(readAll(path), kOld);
    QCOMPARE(entries(folder), QStringList{name});
}

void TestFileWrite::twoWritersAtOnce_data()
{
    QTest::addColumn<Where>("where");
    QTest::newRow("beside") << Beside;
    QTest::newRow("in place") << InPlace;
}

void TestFileWrite::twoWritersAtOnce()
{
    QFETCH(Where, where);
    const QString folder = m_dir.filePath(QStringLiteral("two-") + QString::number(int(where)));
    const QString path = prepare(folder, where, kOld);
    QVERIFY(!path.isEmpty());
    // Of different lengths, so that a mixture shows.
    const QByteArray first = lines(6 << 20, 'A');
    const QByteArray second = lines(4 << 20, 'B');
    for (int round = 0; round < 4; ++round) {
        const pid_t a = ordinaryuser::start([&] { return writeWholeFile(path, first).ok; });
        const pid_t b = ordinaryuser::start([&] { return writeWholeFile(path, second).ok; });
        QVERIFY(ordinaryuser::finish(a));
        QVERIFY(ordinaryuser::finish(b));
        const QByteArray now = readAll(path);
        QVERIFY2(now == first || now == second,
                 qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(now.size())));
    }
    QCOMPARE(entries(folder), QStringList{QStringLiteral("OLD.BAT")});
}

void TestFileWrite::namesNearTheLongest_data()
{
    QTest::addColumn<int>("bytes");
    QTest::newRow("248 bytes") << 248;
    QTest::newRow("249 bytes") << 249;
    QTest::newRow("255 bytes") << 255;
    QTest::newRow("255 bytes of Japanese") << -255;
}

void TestFileWrite::namesNearTheLongest()
{
    // Made, then replaced: the temporary file beside it needs a name that
    // fits too, and gets the mode a new file gets.
    QFETCH(int, bytes);
    const QString folder = m_dir.filePath(QStringLiteral("long%1").arg(bytes));
    QVERIFY(QDir().mkpath(folder));
    const QString name = bytes > 0 ? QString(bytes - 4, u'n') + QStringLiteral(".BAT")
                                   : QString(83, QChar(0x8868)) + QStringLiteral("nn.BAT"); // 249 bytes and 6
    QCOMPARE(QFile::encodeName(name).size(), qAbs(bytes));
    const QString path = folder + u'/' + name;
    const mode_t mask = ::umask(022);
    QCOMPARE(writeWholeFile(path, kOld).error, WriteError());
    ::umask(mask);
    QCOMPARE(QFileInfo(path).permissions() & 0x0777, QFileDevice::Permissions(0x0644));
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x6640)));
    const WriteResult replaced = writeWholeFile(path, lines(1000));
    QCOMPARE(replaced.error, WriteError());
    QVERIFY(replaced.ok);
    QCOMPARE(readAll(path), lines(1000));
    QCOMPARE(QFileInfo(path).permissions() & 0x0777, QFileDevice::Permissions(0x0640));
    QCOMPARE(entries(folder), QStringList{name});
}

void TestFileWrite::inPlaceRewriteOfAFileInUse_data()
{
    QTest::addColumn<QString>("use");
    QTest::addColumn<WriteError>("error"); // none: written
    QTest::newRow("locked by another process") << "other" << ownReason(WriteFailure::Locked);
    QTest::newRow("locked by this process's own lock") << "own" << WriteError();
    QTest::newRow("a link swapped in after the check") << "link" << ownReason(WriteFailure::Replaced);
}

void TestFileWrite::inPlaceRewriteOfAFileInUse()
{
    // A folder that takes no new file: another writer's lock is waited for
    // a few seconds, never for ever; this process's own lock is its own;
    // and a link put in the file's place is never followed.
    QFETCH(QString, use);
    QFETCH(WriteError, error);
    const QString folder = m_dir.filePath(QStringLiteral("in-use-") + use);
    const QString path = prepare(folder, InPlace, kOld);
    QVERIFY(!path.isEmpty());
    const QString elsewhere = m_dir.filePath(QStringLiteral("elsewhere-") + use);
    QVERIFY(writeAll(elsewhere, kOld));
    QVERIFY(QFile::setPermissions(elsewhere, QFileDevice::Permissions(0x6666)));
    const int other = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    QVERIFY(other >= 0);
    if (use == QLatin1String("other"))
        QCOMPARE(::flock(other, LOCK_EX), 0);
    const QByteArray bytes = lines(4096, 'N');
    QVERIFY(ordinaryuser::run([&] {
        ::alarm(30); // a write that waits for ever fails the test
        std::unique_ptr<FileLock> own;
        if (use == QLatin1String("own"))
            own = std::make_unique<FileLock>(path, std::chrono::milliseconds(0));
        const WriteResult result = writeWholeFile(path, [&](QIODevice &file) {
            if (use == QLatin1String("link")) {
                // The folder is the user's again for a moment: the file's
                // place is taken by a link to another file.
                QFile::setPermissions(folder, QFileDevice::Permissions(0x7000));
                const bool swapped = QFile::remove(path) && QFile::link(elsewhere, path);
                QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
                if (!swapped)
                    return false;
            }
            return writeFully(file, bytes);
        });
        return result.ok == !error.failed() && result.error == error;
    }));
    ::close(other);
    QCOMPARE(readAll(elsewhere), kOld);
    if (use != QLatin1String("link"))
        QCOMPARE(readAll(path), error.failed() ? kOld : bytes);
}

QTEST_GUILESS_MAIN(TestFileWrite)
#include "tst_filewrite.moc"
