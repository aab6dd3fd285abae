#include "systemstart.h"

#include <QByteArray>
#include <QtGlobal>

namespace systemstart {

bool haveDisplay(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0)
            return true;
    }
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return true;
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

void chooseStyle()
{
    // The desktop's own style: Fusion where there is no other.
}

} // namespace systemstart
