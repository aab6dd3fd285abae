#include "terminationwatcher.h"

// Windows asks a program to end through its windows, which close as a
// close does; there is no signal to watch.
TerminationWatcher::TerminationWatcher(QObject *parent)
    : QObject(parent)
{ }

TerminationWatcher::~TerminationWatcher() = default;
