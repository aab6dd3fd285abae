#pragma once

#include "core/settings/settingsfile.h"

#include <QString>

// What the window tells the user at a close that could not keep a value
// they changed; empty when every changed value was stored.
QString settingsNotKeptText(const SettingsFile::SaveReport &result, const settings::StoredSettings &values);
