#pragma once

#include <QFile>
#include <QString>

#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Some file rules only show for a user without root's rights: a folder
// such a user may not write into, say. Run as root, `step` runs in a child
// process as the user "nobody", in a folder handed over to that user;
// otherwise it runs here. Returns what `step` returned.
namespace ordinaryuser {

constexpr uid_t kNobody = 65534;

inline bool isRoot() { return geteuid() == 0; }

// Hands `folder` (and the folder holding it) over to the user the step
// runs as, so that it can reach and change it.
inline bool handOver(const QString &folder)
{
    if (!isRoot())
        return true;
    const QByteArray path = QFile::encodeName(folder);
    const QByteArray parent = QFile::encodeName(folder.section(u'/', 0, -2));
    return chmod(parent.constData(), 0755) == 0 && chown(path.constData(), kNobody, kNobody) == 0;
}

// Starts `step` in a child process, as "nobody" when run as root; the
// child ends with 0 when `step` returned true.
inline pid_t start(const std::function<bool()> &step)
{
    const pid_t child = fork();
    if (child == 0) {
        const bool ok = (!isRoot() || (setgid(kNobody) == 0 && setuid(kNobody) == 0)) && step();
        _exit(ok ? 0 : 1);
    }
    return child;
}

// Waits for a child of start(); true when its step returned true.
inline bool finish(pid_t child)
{
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

inline bool run(const std::function<bool()> &step)
{
    if (!isRoot())
        return step();
    return finish(start(step));
}

} // namespace ordinaryuser
