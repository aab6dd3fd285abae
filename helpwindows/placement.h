#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a window of outer size `window` goes to stand centred over a main
// window whose outer frame is `main`. Halves are cut toward zero, and the
// result is not kept on the screen.
QPoint centredOver(const QRect &main, const QSize &window);

// The outer size of a window, its frame included: the frame as the system
// drew it, or before it did, as the system will draw it.
QSize outerSize(const QWidget *window);

// Places `window` over `main` by that rule, then shows it and brings it to
// the front without blocking the main window.
void showCentredOver(QWidget *window, const QWidget *main);
