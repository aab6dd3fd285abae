#include "hostsystem.h"

#include "jobpath.h"

QString hostsystem::windowExecutableName() { return QStringLiteral("tessiva"); }

jobpath::Style jobpath::hostStyle() { return Style::Unix; }
