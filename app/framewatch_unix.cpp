#include "screencentring.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

namespace {
// The window manager tells the frame it drew around a window through the
// window's _NET_FRAME_EXTENTS property; a change of it is the word this
// waits for.
class FrameExtentsWatch : public QAbstractNativeEventFilter
{
public:
    FrameExtentsWatch(xcb_window_t window, xcb_atom_t extents, QObject *context, std::function<void()> told)
        : m_window(window)
        , m_extents(extents)
        , m_context(context)
        , m_told(std::move(told))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~FrameExtentsWatch() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *changed = static_cast<const xcb_property_notify_event_t *>(message);
        // The toolkit reads the new frame once it has seen this event too,
        // so the frame is looked at after it.
        if (changed->window == m_window && changed->atom == m_extents)
            QMetaObject::invokeMethod(m_context, m_told, Qt::QueuedConnection);
        return false;
    }

private:
    const xcb_window_t m_window;
    const xcb_atom_t m_extents;
    QObject *const m_context;
    const std::function<void()> m_told;
};

xcb_atom_t atomNamed(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, true, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}
} // namespace

std::unique_ptr<QAbstractNativeEventFilter> watchFrame(QWidget *window, QObject *context, std::function<void()> told)
{
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return nullptr; // not on X11 (the offscreen platform, say): no window manager to wait for
    // An atom no client has made yet is one no window manager sets.
    const xcb_atom_t extents = atomNamed(x11->connection(), "_NET_FRAME_EXTENTS");
    if (extents == XCB_ATOM_NONE)
        return nullptr;
    return std::make_unique<FrameExtentsWatch>(xcb_window_t(window->winId()), extents, context, std::move(told));
}
