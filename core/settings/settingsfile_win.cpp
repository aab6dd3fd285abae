#include "settingsfile.h"

QString SettingsFile::windowName() { return QStringLiteral("tessiva.exe"); }
