#include "focusstyle.h"

#include "readablecolour.h"

#include <QApplication>
#include <QPainter>
#include <QPen>
#include <QStyleFactory>
#include <QStyleOption>

namespace {
// The focus moved to a control by the keyboard: the one time a mark is due.
bool showsFocus(const QStyleOption *option)
{
    return option->state.testFlag(QStyle::State_HasFocus) && option->state.testFlag(QStyle::State_KeyboardFocusChange);
}
} // namespace

void FocusStyle::install()
{
    if (qobject_cast<FocusStyle *>(QApplication::style()))
        return;
    // A style of its own under the proxy, which owns it: the application
    // deletes the style it had.
    QApplication::setStyle(new FocusStyle(QStyleFactory::create(QApplication::style()->name())));
}

void FocusStyle::drawMark(QPainter *painter, const QRect &rect, const QPalette &palette, QPalette::ColorRole background)
{
    const QColor text = background == QPalette::Base ? palette.color(QPalette::Text)
        : background == QPalette::Button             ? palette.color(QPalette::ButtonText)
                                                     : palette.color(QPalette::WindowText);
    QPen pen(readablecolour::readable(text, palette.color(background)));
    pen.setStyle(Qt::DotLine);
    pen.setWidth(1);
    pen.setCosmetic(true);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(pen);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

void FocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                               const QWidget *widget) const
{
    if (element == PE_FrameFocusRect) {
        // A focus rectangle drawn on its own: around a radio button's or a
        // check box's caption, an item of a view.
        if (option->state.testFlag(State_KeyboardFocusChange)) {
            const bool onBase = widget && widget->inherits("QAbstractItemView");
            drawMark(painter, option->rect, option->palette, onBase ? QPalette::Base : QPalette::Window);
        }
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void FocusStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                             const QWidget *widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    // A push button's own mark is a tint of its frame: the dotted line
    // goes inside the frame, around the caption.
    if (element == CE_PushButton && showsFocus(option))
        drawMark(painter, option->rect.adjusted(3, 3, -3, -3), option->palette, QPalette::Button);
}
