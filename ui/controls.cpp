#include "controls.h"

#include <QLabel>
#include <QPushButton>

namespace controls {

QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top, int width,
              int height)
{
    auto *l = place<QLabel>(parent, name, left, top, width, height);
    l->setText(text);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, int left, int top, int width,
                    int height)
{
    auto *b = place<QPushButton>(parent, name, left, top, width, height);
    b->setText(text);
    b->setAutoDefault(false);
    return b;
}

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
}

} // namespace controls
