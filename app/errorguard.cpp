#include "errorguard.h"

#include "core/text/textrules.h"
#include "platform/platformservices.h"

#include <exception>

QString applicationTitle() { return QStringLiteral("Morvane Tessiva"); }

bool runGuarded(PlatformServices &services, QWidget *parent, const std::function<void()> &step)
{
    try {
        step();
        return true;
    } catch (const std::exception &e) {
        services.showErrorBox(parent, applicationTitle(), textrules::errorBoxText(QString::fromUtf8(e.what())));
        return false;
    }
}
