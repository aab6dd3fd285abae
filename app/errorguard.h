#pragma once

#include <QString>

#include <functional>

class PlatformServices;
class QWidget;

// The application's title: its name in the taskbar and the caption of its error box.
QString applicationTitle();

// Runs `step`. An exception derived from std::exception that escapes it is
// shown in the error box (its message with the full-stop rule, the
// application title as caption) and the run goes on. Returns false when an
// exception was shown.
bool runGuarded(PlatformServices &services, QWidget *parent, const std::function<void()> &step);
