#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <memory>

class QAbstractNativeEventFilter;
class QWidget;

// Where a window of outer size `window` stands centred on a screen whose
// free area is `available`: halves cut toward zero, and never above or to
// the left of that area, so that a window larger than the screen keeps its
// title bar where it can be reached.
QPoint centredOnScreen(const QRect &available, const QSize &window);

// Centres a window, its frame included, on its screen when it is first
// shown. Where the system knows the frame before the window shows
// (Windows), the window is placed once, before it shows. Where the window
// manager tells the frame only once the window is mapped (X11), the window
// is placed as if it had none, and centred again when the window manager
// tells it: by the frame's property, or by a configure that follows it.
// However long that takes, nothing gives up on a timer; once the window
// stands centred with its frame known, or the window manager has put it
// elsewhere a few times over, the window is left alone.
class ScreenCentring : public QObject
{
public:
    explicit ScreenCentring(QWidget *window);
    ~ScreenCentring() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();
    void stop();

    QWidget *m_window;
    std::unique_ptr<QAbstractNativeEventFilter> m_frameWatch;
    bool m_shown = false;
    bool m_frameTold = false; // the window manager has told the frame
    bool m_done = false;
    int m_moves = 0;
};

// Calls `told` on the event loop each time the window manager tells
// something of `window`'s frame; nothing where the system knows the frame
// all along. One file per system (framewatch_unix.cpp, framewatch_win.cpp).
std::unique_ptr<QAbstractNativeEventFilter> watchFrame(QWidget *window, QObject *context, std::function<void()> told);
