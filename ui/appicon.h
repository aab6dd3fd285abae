#pragma once

#include <QIcon>

// The program's icon, drawn at 32 x 32 and 16 x 16 in 16 colours.
QIcon applicationIcon();
QPixmap applicationIconPixmap(int size);
