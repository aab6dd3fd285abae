#include "startup.h"

#include "app/errorguard.h"
#include "app/tform1.h"
#include "helpwindows/tform4.h"
#include "helpwindows/tform5.h"

Windows::~Windows()
{
    Form4.reset();
    Form1.reset(); // takes the About window with it
}

void createWindows(PlatformServices &services, Windows &windows)
{
    windows.Form1 = std::make_unique<TForm1>(services);
    // Only the main window keeps the application running.
    windows.Form1->setAttribute(Qt::WA_QuitOnClose, true);
    windows.Form4 = std::make_unique<TForm4>();
    windows.Form5 = new TForm5(windows.Form1.get());
    windows.Form4->setAttribute(Qt::WA_QuitOnClose, false);
    windows.Form5->setAttribute(Qt::WA_QuitOnClose, false);
    windows.Form1->setAuxiliaryWindows(windows.Form4.get(), windows.Form5);
}

int runStartUp(PlatformServices &services, const std::function<void(Windows &)> &create,
               const std::function<int()> &exec)
{
    Windows windows;
    const bool created = runGuarded(services, nullptr, [&] { create(windows); });
    if (!created || !windows.Form1)
        return 0;
    runGuarded(services, nullptr, [&] {
        windows.Form1->show();
        exec();
    });
    return 0;
}
