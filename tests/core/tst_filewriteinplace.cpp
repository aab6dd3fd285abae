#include "filewritetest.h"

// The one safe write in place, on each file system, into folders that take
// no new file, killed while it writes, two writers at once, the file size
// limit, and a file in use rewritten.
class TestFileWriteInPlace : public FileWriteTest
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(reachable()); }
    void inPlaceOnEachFileSystem_data();
    void inPlaceOnEachFileSystem();
    void newFilesInAFolder_data();
    void newFilesInAFolder();
    void killedWhileWriting_data();
    void killedWhileWriting();
    void twoWritersAtOnce_data();
    void twoWritersAtOnce();
    void fileSizeLimit_data();
    void fileSizeLimit();
    void inPlaceRewriteOfAFileInUse_data();
    void inPlaceRewriteOfAFileInUse();
};

void TestFileWriteInPlace::inPlaceOnEachFileSystem_data()
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

void TestFileWriteInPlace::inPlaceOnEachFileSystem()
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
        return result.passed()
            || reasonOf(result) == (inPlace ? WriteError::system(ENOSPC) : ownReason(WriteFailure::NoRoomInPlace));
    }));
    const QByteArray now = readAll(path);
    QVERIFY2(now == bytes || now == old, qPrintable(QStringLiteral("a mixture of %1 bytes").arg(now.size())));
    if (!inPlace)
        QCOMPARE(now, old);
}

void TestFileWriteInPlace::newFilesInAFolder_data()
{
    QTest::addColumn<Where>("where");
    QTest::addColumn<bool>("creates");
    QTest::newRow("a folder of the user's") << Beside << true;
    QTest::newRow("a folder the user may not write into") << InPlace << false;
}

void TestFileWriteInPlace::newFilesInAFolder()
{
    // As an ordinary user: only making a file says what the system allows.
    QFETCH(Where, where);
    QFETCH(bool, creates);
    const QString folder = m_dir.filePath(QStringLiteral("probe-") + QString::number(int(where)));
    QVERIFY(!prepare(folder, where, kOld).isEmpty());
    QVERIFY(ordinaryuser::run([&] { return canCreateFileIn(folder) == creates; }));
    QCOMPARE(entries(folder), QStringList{QStringLiteral("OLD.BAT")});
}

void TestFileWriteInPlace::killedWhileWriting_data()
{
    QTest::addColumn<Where>("where");
    QTest::addColumn<int>("nameBytes"); // of the file's name
    QTest::newRow("beside") << Beside << 7;
    QTest::newRow("in place") << InPlace << 7;
    // Too long a name for a temporary one made after it: the temporary file
    // is an unnamed one all the same.
    QTest::newRow("beside, a name of 250 bytes") << Beside << 250;
}

void TestFileWriteInPlace::killedWhileWriting()
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
        return writeWholeFile(path,
                              [&](QIODevice &file) {
                                  if (!writeFully(file, lines(1 << 20)))
                                      return false;
                                  (void)!::write(written[1], "w", 1);
                                  for (;;)
                                      ::pause();
                                  return true;
                              })
            .passed();
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

void TestFileWriteInPlace::twoWritersAtOnce_data()
{
    QTest::addColumn<Where>("where");
    QTest::newRow("beside") << Beside;
    QTest::newRow("in place") << InPlace;
}

void TestFileWriteInPlace::twoWritersAtOnce()
{
    QFETCH(Where, where);
    const QString folder = m_dir.filePath(QStringLiteral("two-") + QString::number(int(where)));
    const QString path = prepare(folder, where, kOld);
    QVERIFY(!path.isEmpty());
    // Of different lengths, so that a mixture shows.
    const QByteArray first = lines(6 << 20, 'A');
    const QByteArray second = lines(4 << 20, 'B');
    for (int round = 0; round < 4; ++round) {
        const pid_t a = ordinaryuser::start([&] { return writeWholeFile(path, first).passed(); });
        const pid_t b = ordinaryuser::start([&] { return writeWholeFile(path, second).passed(); });
        QVERIFY(ordinaryuser::finish(a));
        QVERIFY(ordinaryuser::finish(b));
        const QByteArray now = readAll(path);
        QVERIFY2(now == first || now == second,
                 qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(now.size())));
    }
    QCOMPARE(entries(folder), QStringList{QStringLiteral("OLD.BAT")});
}

void TestFileWriteInPlace::fileSizeLimit_data() { twoWritersAtOnce_data(); }

void TestFileWriteInPlace::fileSizeLimit()
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
        return !result.passed() && reasonOf(result) == WriteError::system(EFBIG);
    });
    QVERIFY(ordinaryuser::finish(child));
    QCOMPARE(readAll(path), kOld);
    QCOMPARE(entries(folder), QStringList{QStringLiteral("OLD.BAT")});
}

void TestFileWriteInPlace::inPlaceRewriteOfAFileInUse_data()
{
    QTest::addColumn<QString>("use");
    QTest::addColumn<WriteError>("error"); // none: written
    QTest::newRow("locked by another process") << "other" << ownReason(WriteFailure::Locked);
    QTest::newRow("locked by this process's own lock") << "own" << WriteError();
    QTest::newRow("a link swapped in after the check") << "link" << ownReason(WriteFailure::Replaced);
}

void TestFileWriteInPlace::inPlaceRewriteOfAFileInUse()
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
        return result.passed() == !error.failed() && reasonOf(result) == error;
    }));
    ::close(other);
    QCOMPARE(readAll(elsewhere), kOld);
    if (use != QLatin1String("link"))
        QCOMPARE(readAll(path), error.failed() ? kOld : bytes);
}

QTEST_GUILESS_MAIN(TestFileWriteInPlace)
#include "tst_filewriteinplace.moc"
