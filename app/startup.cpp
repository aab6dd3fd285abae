#include "startup.h"

#include "app/errorguard.h"
#include "app/mainwindow.h"
#include "helpwindows/aboutwindow.h"
#include "helpwindows/howtousewindow.h"

Windows::~Windows()
{
    howToUse.reset();
    main.reset(); // takes the About window with it
}

void createWindows(PlatformServices &services, Windows &windows)
{
    windows.main = std::make_unique<MainWindow>(services);
    // Only the main window keeps the application running.
    windows.main->setAttribute(Qt::WA_QuitOnClose, true);
    windows.howToUse = std::make_unique<HowToUseWindow>();
    windows.about = new AboutWindow(windows.main.get());
    windows.howToUse->setAttribute(Qt::WA_QuitOnClose, false);
    windows.about->setAttribute(Qt::WA_QuitOnClose, false);
    windows.main->setHelpWindows(windows.howToUse.get(), windows.about);
}

int runStartUp(PlatformServices &services, const std::function<void(Windows &)> &create,
               const std::function<int()> &exec)
{
    Windows windows;
    const bool created = runGuarded(services, nullptr, [&] { create(windows); });
    if (!created || !windows.main)
        return 1;
    runGuarded(services, nullptr, [&] {
        windows.main->show();
        exec();
    });
    return 0;
}
