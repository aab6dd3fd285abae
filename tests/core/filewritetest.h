#pragma once

// What the suites of the one safe write share: the old file, lines of a
// given size, nodes of each kind. Each case ends with the old bytes whole
// or the new bytes complete, and the result says which.

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

inline const QByteArray kOld = "REM the batch file that was there\r\n";

// Lines of a batch file, `size` bytes in all.
inline QByteArray lines(qsizetype size, char mark = 'A')
{
    QByteArray line = "C:\\ACAD\\DXFIX.EXE -A6 -TC:\\ACAD\\DXFIX13.DXT C:\\DRAW\\PLAN.DXF D:\\OUT\\PLAN.DXF\r\n";
    line[0] = mark;
    QByteArray out;
    while (out.size() < size)
        out += line;
    out.truncate(size);
    return out;
}

inline QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

inline mode_t typeOf(const QString &path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

inline bool makeNode(const QString &path, mode_t type, int major = 0, int minor = 0)
{
    const QByteArray name = QFile::encodeName(path);
    if (type == S_IFIFO)
        return ::mkfifo(name.constData(), 0644) == 0;
    return ::mknod(name.constData(), type | 0644, makedev(major, minor)) == 0;
}

enum Where { Beside, InPlace };

Q_DECLARE_METATYPE(Where)

// The suites' folder, and the old file a case starts from.
class FileWriteTest : public QObject
{
protected:
    // So that the user the in-place writes run as can reach the folders.
    bool reachable() { return QFile::setPermissions(m_dir.path(), QFileDevice::Permissions(0x7755)); }
    // A folder of the test's; with `where` InPlace it takes no new file, so
    // the write goes in place (as "nobody" when run as root, as root may
    // write anywhere).
    QString prepare(const QString &folder, Where where, const QByteArray &old)
    {
        const QString path = folder + QStringLiteral("/OLD.BAT");
        if (!QDir().mkpath(folder) || !ordinaryuser::handOver(folder))
            return QString();
        const bool ok = ordinaryuser::run([&] {
            return testfiles::writeAll(path, old)
                && (where == Beside || QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        });
        return ok ? path : QString();
    }
    bool inFolder(Where where, const std::function<bool()> &step)
    {
        return where == Beside ? step() : ordinaryuser::run(step);
    }
    QTemporaryDir m_dir;
};
