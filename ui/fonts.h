#pragma once

#include <QFont>

// The window faces: a proportional and a fixed-pitch Japanese face, asked for
// by their Windows names, with the IPA faces standing in where those are missing.
namespace fonts {
void installSubstitutions();
QFont proportional(int pixelSize);
QFont fixedPitch(int pixelSize);
} // namespace fonts
