#pragma once

#include <QPointer>

#include <functional>
#include <memory>

class PlatformServices;
class TForm1;
class TForm4;
class TForm5;

// The three windows of a run, created once and destroyed together. The
// main and help windows are owned here; the About window belongs to the
// main window, which keeps it above itself.
struct Windows
{
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm4> Form4;
    QPointer<TForm5> Form5;
    ~Windows();
};

// Creates the main window, then the hidden help and About windows.
void createWindows(PlatformServices &services, Windows &windows);

// The start-up sequence around an existing application object: creates the
// windows with `create`, shows the main window and runs `exec`. A failure
// while the windows are created is shown in the error box and ends the run.
// Returns 0 in every case.
int runStartUp(PlatformServices &services, const std::function<void(Windows &)> &create,
               const std::function<int()> &exec);
