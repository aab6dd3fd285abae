#include "core/files/filewrite.h"
#include "core/save/saveflow.h"
#include "ordinaryuser.h"
#include "testfiles.h"
#include "workedexamples.h"
#include "writeerrors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

using testfiles::readAll;
using testfiles::writeAll;

namespace {
ConversionJob goodJob()
{
    ConversionJob job;
    job.autocadFolder = QStringLiteral("C:\\ACAD\\");
    job.destinationFolder = QStringLiteral("D:\\OUT\\");
    job.sources = {QStringLiteral("C:\\DRAW\\plan1.dxf"), QStringLiteral("C:\\My Work\\site b.DXF")};
    return job;
}

using saveflow::saveAs;

QFileDevice::Permissions mode(int bits)
{
    QFileDevice::Permissions p;
    const QFileDevice::Permission owner[] = {QFileDevice::ReadOwner, QFileDevice::WriteOwner, QFileDevice::ExeOwner};
    const QFileDevice::Permission group[] = {QFileDevice::ReadGroup, QFileDevice::WriteGroup, QFileDevice::ExeGroup};
    const QFileDevice::Permission other[] = {QFileDevice::ReadOther, QFileDevice::WriteOther, QFileDevice::ExeOther};
    for (int i = 0; i < 3; ++i) {
        if (bits & (0400 >> i))
            p |= owner[i];
        if (bits & (040 >> i))
            p |= group[i];
        if (bits & (04 >> i))
            p |= other[i];
    }
    return p;
}
} // namespace

// The save after the checks: the target, the .BAT check and the write, and
// the rules for writing any file of the program.
class TestSaveFlow : public QObject
{
    Q_OBJECT

private slots:
    void refusedJobAsksNoTarget();
    void cancelled();
    void outcomes_data();
    void outcomes();
    void targetTexts_data();
    void targetTexts();
    void failedWriteKeepsTheOldFile();
    void readOnlyTargetRefused();
    void replacedFileKeepsItsMode_data();
    void replacedFileKeepsItsMode();
    void writableFileInAFolderWithoutRoomForATemporary();

private:
    QTemporaryDir m_dir;
};

void TestSaveFlow::refusedJobAsksNoTarget()
{
    ConversionJob job = goodJob();
    job.sources << QStringLiteral("C:\\A\\plan.dwg");
    bool asked = false;
    const Cancellable<SaveOutcome> outcome = saveflow::save(job, {}, [&asked] {
        asked = true;
        return Cancellable<QString>(kCancelled);
    });
    QCOMPARE(outcome->result, SaveResult::NotDxf);
    QCOMPARE(outcome->line, 2);
    QVERIFY(!asked);
}

void TestSaveFlow::cancelled()
{
    // Nothing to report, and nothing written.
    QVERIFY(saveflow::save(goodJob(), {}, [] { return Cancellable<QString>(kCancelled); }).cancelled());
}

void TestSaveFlow::outcomes_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");
    QTest::addColumn<WriteError>("reason");
    QTest::addColumn<int>("jobs");
    QTest::newRow("saved") << QStringLiteral("job.bat") << int(SaveResult::Saved) << QStringLiteral(u"を保存しました！")
                           << WriteError() << 1;
    QTest::newRow("not .BAT") << QStringLiteral("JOB.TXT") << int(SaveResult::NotBat) << QString() << WriteError() << 1;
    QTest::newRow("folder missing") << QStringLiteral("missing/R13TO12.BAT") << int(SaveResult::CannotSave)
                                    << QStringLiteral(u"を保存できません！") << WriteError::system(ENOENT) << 1;
    QTest::newRow("a folder of that name")
        << QStringLiteral("taken.BAT") << int(SaveResult::CannotSave) << QStringLiteral(u"を保存できません！")
        << ownReason(WriteFailure::IsFolder) << 1;
    QTest::newRow("below a file") << QStringLiteral("plain/R13TO12.BAT") << int(SaveResult::CannotSave)
                                  << QStringLiteral(u"を保存できません！") << WriteError::system(ENOTDIR) << 1;
    // A parallel run starts its workers from a copy of itself, named by a
    // path Wine's cmd.exe expands again.
    QTest::newRow("several at once, a % in the folder")
        << QStringLiteral("100%/JOB.BAT") << int(SaveResult::UnusableTarget) << QString() << WriteError() << 2;
    QTest::newRow("one at a time, a % in the folder") << QStringLiteral("100%/job.bat") << int(SaveResult::Saved)
                                                      << QStringLiteral(u"を保存しました！") << WriteError() << 1;
}

void TestSaveFlow::outcomes()
{
    QFETCH(QString, relative);
    QFETCH(int, result);
    QFETCH(QString, text);
    QFETCH(WriteError, reason);
    QFETCH(int, jobs);
    QDir().mkpath(m_dir.filePath(QStringLiteral("taken.BAT")));
    QDir().mkpath(m_dir.filePath(QStringLiteral("100%")));
    QVERIFY(writeAll(m_dir.filePath(QStringLiteral("plain")), QByteArray()));
    const QString path = m_dir.filePath(relative);
    ConversionJob job = goodJob();
    job.jobs = jobs;
    const SaveOutcome outcome = *saveflow::save(job, {}, [&path] { return Cancellable<QString>(path); });
    QCOMPARE(int(outcome.result), result);
    QCOMPARE(outcome.path, path);
    if (!text.isEmpty())
        QCOMPARE(outcome.statusText, QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ名 = ") + path + text);
    QCOMPARE(outcome.reason, reason);
    if (outcome.result == SaveResult::Saved)
        QCOMPARE(readAll(path), worked::r13ToR12Ascii6());
    if (outcome.result == SaveResult::NotBat || outcome.result == SaveResult::UnusableTarget)
        QVERIFY(!QFile::exists(path));
    if (outcome.result == SaveResult::UnusableTarget)
        QCOMPARE(outcome.statusText,
                 QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙのﾌｫﾙﾀﾞ名( ") + m_dir.filePath(QStringLiteral("100%/"))
                     + QStringLiteral(u" )の「%」は、同時に変換するﾊﾞｯﾁﾌｧｲﾙには使えません！"));
}

void TestSaveFlow::targetTexts_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("bat");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("windows txt") << QStringLiteral("C:\\WORK\\JOB.TXT") << false << QStringLiteral("C:\\WORK\\")
                                 << QStringLiteral("JOB.TXT");
    QTest::newRow("lower-case bat") << QStringLiteral("C:\\WORK\\job.bat") << true << QStringLiteral("C:\\WORK\\")
                                    << QStringLiteral("job.bat");
    QTest::newRow("native unix") << QStringLiteral("/home/a.b/JOB") << false << QStringLiteral("/home/a.b/")
                                 << QStringLiteral("JOB");
    QTest::newRow("relative") << QStringLiteral("out.bat") << true << QString() << QStringLiteral("out.bat");
}

void TestSaveFlow::targetTexts()
{
    QFETCH(QString, path);
    QFETCH(bool, bat);
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QCOMPARE(saveflow::folderOf(path), folder);
    // A .BAT name is saved; any other refused before anything is written,
    // with the name in the status line. Both in the test's own folder, so
    // that a wrong answer leaves nothing behind for the next run.
    const QString target = m_dir.filePath(name);
    const SaveOutcome outcome = saveflow::saveAs(goodJob(), target);
    QCOMPARE(QFileInfo::exists(target), bat);
    if (bat) {
        QCOMPARE(outcome.result, SaveResult::Saved);
        return;
    }
    QCOMPARE(outcome.result, SaveResult::NotBat);
    QCOMPARE(outcome.statusText,
             QStringLiteral(u"拡張子が.BATでないため( ") + name + QStringLiteral(u" )では保存できません！"));
    QVERIFY(!QFileInfo::exists(path));
}

void TestSaveFlow::failedWriteKeepsTheOldFile()
{
    const QString path = m_dir.filePath(QStringLiteral("GOOD.BAT"));
    QVERIFY(writeAll(path, "REM a good batch file\r\n"));
    ConversionJob job = goodJob();
    job.sources.clear();
    for (int i = 0; i < 20000; ++i)
        job.sources << QStringLiteral("C:\\DRAWINGS\\PLAN%1.DXF").arg(i);

    // Let the disk run full after 16 KiB: the write fails part way.
    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 16 * 1024;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SaveOutcome outcome = saveAs(job, path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    QCOMPARE(outcome.result, SaveResult::CannotSave);
    QCOMPARE(outcome.reason, WriteError::system(EFBIG));
    QCOMPARE(readAll(path), QByteArray("REM a good batch file\r\n"));
    // No temporary file is left behind either.
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("GOOD.BAT*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("GOOD.BAT")});
}

void TestSaveFlow::readOnlyTargetRefused()
{
    // Refused for every user, root included, as Windows refuses it.
    const QString path = m_dir.filePath(QStringLiteral("ro.bat"));
    QVERIFY(writeAll(path, "REM kept\r\n"));
    QVERIFY(QFile::setPermissions(path, mode(0444)));
    const SaveOutcome outcome = saveAs(goodJob(), path);
    QCOMPARE(outcome.result, SaveResult::CannotSave);
    QCOMPARE(outcome.reason, ownReason(WriteFailure::ReadOnly));
    QCOMPARE(readAll(path), QByteArray("REM kept\r\n"));
    QCOMPARE(QFileInfo(path).permissions() & mode(0777), mode(0444));
}

void TestSaveFlow::replacedFileKeepsItsMode_data()
{
    QTest::addColumn<int>("bits");
    QTest::newRow("0600") << 0600;
    QTest::newRow("0755") << 0755;
    QTest::newRow("0640") << 0640;
    QTest::newRow("0664") << 0664;
}

void TestSaveFlow::replacedFileKeepsItsMode()
{
    QFETCH(int, bits);
    const QString path = m_dir.filePath(QStringLiteral("mode%1.bat").arg(bits));
    QVERIFY(writeAll(path, "REM old\r\n"));
    QVERIFY(QFile::setPermissions(path, mode(bits)));
    QCOMPARE(saveAs(goodJob(), path).result, SaveResult::Saved);
    QCOMPARE(QFileInfo(path).permissions() & mode(0777), mode(bits));
    QCOMPARE(readAll(path), worked::r13ToR12Ascii6());
}

void TestSaveFlow::writableFileInAFolderWithoutRoomForATemporary()
{
    // The folder takes no new file, but the batch file in it may be
    // written: it is written in place.
    const QString folder = m_dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(ordinaryuser::handOver(folder));
    const QString path = folder + QStringLiteral("/JOB.BAT");
    const bool written = ordinaryuser::run([&] {
        return writeAll(path, QByteArray(100, 'x')) && QFile::setPermissions(folder, mode(0555))
            && saveAs(goodJob(), path).result == SaveResult::Saved
            // A new file there is still refused, with the system's reason.
            && saveAs(goodJob(), folder + QStringLiteral("/NEW.BAT")).reason == WriteError::system(EACCES);
    });
    QFile::setPermissions(folder, mode(0755));
    QVERIFY(written);
    QCOMPARE(readAll(path), worked::r13ToR12Ascii6());
}

QTEST_GUILESS_MAIN(TestSaveFlow)
#include "tst_saveflow.moc"
