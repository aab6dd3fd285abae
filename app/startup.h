#pragma once

#include <QPointer>

#include <functional>
#include <memory>

class PlatformServices;
class AboutWindow;
class HowToUseWindow;
class MainWindow;

// The three windows of a run, created once and destroyed together. The
// main and help windows are owned here; the About window belongs to the
// main window, which keeps it above itself.
struct Windows
{
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<HowToUseWindow> howToUse;
    QPointer<AboutWindow> about;
    ~Windows();
};

// Creates the main window, then the hidden help and About windows.
void createWindows(PlatformServices &services, Windows &windows);

// The start-up sequence around an existing application object: creates the
// windows with `create`, shows the main window and runs `exec`. A failure
// while the windows are created is shown in the error box and ends the run.
// Returns 1 when start-up failed, else 0 (whatever a handler threw once the
// window was up, shown in its box).
int runStartUp(PlatformServices &services, const std::function<void(Windows &)> &create,
               const std::function<int()> &exec);
