#include "filewritetest.h"

// The one safe write on real file systems: full disks, special files, the
// owner kept, links followed as the system follows them, names near the
// longest. In place and among other writers: tst_filewriteinplace.
class TestFileWrite : public FileWriteTest
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(reachable()); }
    void fullDisk_data();
    void fullDisk();
    void specialFiles_data();
    void specialFiles();
    void keepsTheOwner();
    void linksFollowedAsTheSystemDoes_data();
    void linksFollowedAsTheSystemDoes();
    void namesNearTheLongest_data();
    void namesNearTheLongest();
};

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
        return fits ? result.passed() : (!result.passed() && reasonOf(result) == WriteError::system(ENOSPC));
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

    QCOMPARE(result.passed(), ok);
    QCOMPARE(reasonOf(result), reason);
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
    QVERIFY(writeWholeFile(path, lines(300)).passed());
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
    QCOMPARE(reasonOf(result), WriteError());
    QVERIFY(result.passed());
    QCOMPARE(readAll(dir.filePath(written)), bytes);
    QCOMPARE(readAll(dir.filePath(QStringLiteral("SHARED.BAT"))), QByteArray("UNRELATED\r\n"));
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
    QCOMPARE(reasonOf(writeWholeFile(path, kOld)), WriteError());
    ::umask(mask);
    QCOMPARE(QFileInfo(path).permissions() & 0x0777, QFileDevice::Permissions(0x0644));
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x6640)));
    const WriteResult replaced = writeWholeFile(path, lines(1000));
    QCOMPARE(reasonOf(replaced), WriteError());
    QVERIFY(replaced.passed());
    QCOMPARE(readAll(path), lines(1000));
    QCOMPARE(QFileInfo(path).permissions() & 0x0777, QFileDevice::Permissions(0x0640));
    QCOMPARE(entries(folder), QStringList{name});
}

QTEST_GUILESS_MAIN(TestFileWrite)
#include "tst_filewrite.moc"
