#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// A real file system that runs full: a small tmpfs (or a file system on a
// loop device) mounted on a folder of the test's, made if it is not there. Only root may mount; elsewhere `why` says so and the test
// skips.
class SmallDisk
{
public:
    SmallDisk(const QString &folder, int kib)
        : m_folder(QFile::encodeName(folder))
    {
        QDir().mkpath(folder);
        if (geteuid() != 0) {
            why = QStringLiteral("a small file system needs root to mount it");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0777";
        if (::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options.constData()) != 0) {
            why = QStringLiteral("cannot mount a tmpfs here: ") + QString::fromLocal8Bit(strerror(errno));
            return;
        }
        m_mounted = true;
    }
    // A file system of `type` ("ext4", "xfs", "btrfs") made on an image of
    // `mib` MiB beside the folder and mounted through a loop device.
    SmallDisk(const QString &folder, const QString &type, int mib)
        : m_folder(QFile::encodeName(folder))
    {
        QDir().mkpath(folder);
        const QString mkfs = QStandardPaths::findExecutable(QStringLiteral("mkfs.") + type,
                                                            {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        if (geteuid() != 0) {
            why = QStringLiteral("a loop-mounted file system needs root");
            return;
        }
        if (mkfs.isEmpty()) {
            why = QStringLiteral("mkfs.%1 is not installed").arg(type);
            return;
        }
        m_image = folder + QStringLiteral(".img");
        QFile image(m_image);
        if (!image.open(QIODevice::WriteOnly) || !image.resize(qint64(mib) << 20)) {
            why = QStringLiteral("cannot make the image");
            return;
        }
        image.close();
        QStringList options{QStringLiteral("-q")};
        if (type == QLatin1String("xfs") || type == QLatin1String("btrfs"))
            options << QStringLiteral("-f");
        if (!runs(mkfs, options << m_image)
            || !runs(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), m_image, folder})) {
            why = QStringLiteral("cannot make or mount %1 on a loop device").arg(type);
            return;
        }
        ::chmod(m_folder.constData(), 0777);
        m_mounted = true;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
        if (!m_image.isEmpty())
            QFile::remove(m_image);
    }

    bool mounted() const { return m_mounted; }

    // Fills the disk until only `leave` bytes (whole pages) are free.
    bool fill(qint64 leave)
    {
        const QByteArray path = m_folder + "/filler";
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return false;
        const QByteArray page(4096, '\0');
        qint64 size = 0;
        while (::write(fd, page.constData(), size_t(page.size())) == page.size())
            size += page.size();
        const bool ok = ::ftruncate(fd, size - leave) == 0;
        ::close(fd);
        return ok;
    }

    QString why;

private:
    static bool runs(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
    }
    QByteArray m_folder;
    QString m_image;
    bool m_mounted = false;
};
