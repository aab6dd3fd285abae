#include "screencentring.h"

#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {
// How many times the window is moved onto its place in all, the first
// placement included: a configure the window manager sent before it saw a
// move arrives after it, and may take the window back once or twice.
constexpr int kMaxMoves = 4;
} // namespace

QPoint centredOnScreen(const QRect &available, const QSize &window)
{
    const QPoint centred(available.left() + (available.width() - window.width()) / 2,
                         available.top() + (available.height() - window.height()) / 2);
    return QPoint(qMax(centred.x(), available.left()), qMax(centred.y(), available.top()));
}

ScreenCentring::ScreenCentring(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_window->installEventFilter(this);
}

ScreenCentring::~ScreenCentring() = default;

bool ScreenCentring::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && !m_done) {
        switch (event->type()) {
        case QEvent::Show:
            // Shown, not yet mapped: the window handle exists from here on.
            if (!m_shown) {
                m_shown = true;
                m_frameWatch = watchFrame(m_window, this, [this] {
                    m_frameTold = true;
                    place();
                });
                place();
            }
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (m_shown)
                place();
            break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}

// One step: the window moved onto its centred place, with the frame as the
// system knows it now, or left alone for good once it stands there.
void ScreenCentring::place()
{
    QWindow *window = m_window->windowHandle();
    QScreen *screen = m_window->screen();
    if (m_done || !window || !screen)
        return;
    const QMargins frame = window->frameMargins();
    const QPoint target = centredOnScreen(screen->availableGeometry(), window->size().grownBy(frame));
    // Where no window manager will tell the frame later, it is known now.
    const bool frameKnown = !m_frameWatch || m_frameTold || !frame.isNull();
    if (window->framePosition() == target) {
        if (frameKnown)
            stop();
        return;
    }
    if (m_moves == kMaxMoves) {
        stop(); // the window manager keeps it elsewhere
        return;
    }
    ++m_moves;
    // Through the window, not the widget: the widget keeps the first frame
    // it heard of, which may be one the window manager has since changed.
    window->setFramePosition(target);
}

void ScreenCentring::stop()
{
    m_done = true;
    m_window->removeEventFilter(this);
    m_frameWatch.reset();
}
