#include "placement.h"

#include <QWidget>
#include <QWindow>

QPoint centredOver(const QRect &main, const QSize &window)
{
    return QPoint(main.left() + (main.width() - window.width()) / 2,
                  main.top() + (main.height() - window.height()) / 2);
}

QSize outerSize(const QWidget *window)
{
    const QSize framed = window->frameGeometry().size();
    if (framed != window->size() || !window->windowHandle())
        return framed;
    const QMargins frame = window->windowHandle()->frameMargins();
    return window->size().grownBy(frame);
}

void showCentredOver(QWidget *window, const QWidget *main)
{
    QSize outer = window->frameGeometry().size();
    if (!window->testAttribute(Qt::WA_WState_Created) || !window->isVisible()) {
        // The frame of a window not shown yet is unknown; the main window's
        // frame is the best guess for it.
        const QSize decoration = main->frameGeometry().size() - main->geometry().size();
        outer = window->size() + decoration;
    }
    window->move(centredOver(main->frameGeometry(), outer));
    window->show();
    window->raise();
    window->activateWindow();
}
