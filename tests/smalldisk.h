#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

// A real file system that runs full: a small tmpfs mounted on a folder of
// the test's, made if it is not there. Only root may mount; elsewhere `why` says so and the test
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
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
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
    QByteArray m_folder;
    bool m_mounted = false;
};
