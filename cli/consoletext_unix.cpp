#include "consoletext.h"

#include <QIODevice>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

void writeConsoleText(QIODevice &device, const QString &text) { device.write(text.toUtf8()); }

void useBinaryStandardStreams()
{
    // Streams carry bytes as they are here.
}

void holdClosedStandardStreams()
{
    // Opened the other way round: standard input for writing only, so
    // that reading it fails as reading a closed one does.
    const int placeholders[] = {O_WRONLY, O_RDONLY, O_WRONLY};
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            // The lowest free descriptor is this one.
            const int held = ::open("/dev/null", placeholders[fd] | O_CLOEXEC);
            if (held >= 0 && held != fd)
                ::close(held);
        }
    }
}

int consoleColumns()
{
    struct winsize size = {};
    if (::isatty(1) && ::ioctl(1, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    bool ok = false;
    const int columns = qEnvironmentVariableIntValue("COLUMNS", &ok);
    return ok && columns > 0 ? columns : 80;
}
