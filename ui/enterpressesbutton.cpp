#include "enterpressesbutton.h"

#include <QKeyEvent>
#include <QPushButton>

void EnterPressesButton::install(QWidget *window)
{
    auto *filter = new EnterPressesButton(window);
    for (QPushButton *button : window->findChildren<QPushButton *>())
        button->installEventFilter(filter);
}

bool EnterPressesButton::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        auto *button = qobject_cast<QPushButton *>(watched);
        if (button && button->isEnabled() && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
            && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
