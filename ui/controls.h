#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;

// Controls placed as a fixed form lays them out: by component name, in
// client coordinates, at a fixed size.
namespace controls {

template <class W>
W *place(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(geometry);
    return w;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &geometry);
QPushButton *button(QWidget *parent, const char *name, const QString &text, const QRect &geometry);

// The colour of a control's text. It is kept where it can be read against
// the background the control is drawn on, and otherwise made darker or
// lighter in its hue until it can, whatever palette the program meets.
void setTextColour(QWidget *w, const QColor &colour);

} // namespace controls
