#include "hostsystem.h"

#include "jobpath.h"

QString hostsystem::windowExecutableName() { return QStringLiteral("tessiva.exe"); }

jobpath::Style jobpath::hostStyle() { return Style::Windows; }
