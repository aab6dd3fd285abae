#pragma once

#include <QObject>

class QWidget;

// Enter and Return press the button that has the focus, as on Windows,
// where a focused button is the default one. Qt does this only inside a
// QDialog; the program's windows are plain windows.
class EnterPressesButton : public QObject
{
    Q_OBJECT

public:
    // Watches every push button of `window`; call it once the window is built.
    static void install(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using QObject::QObject;
};
