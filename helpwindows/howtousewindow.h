#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The how-to-use window: the explanatory text and a Close button. An
// ordinary window of its own, not kept above the main window.
class HowToUseWindow : public QWidget
{
    Q_OBJECT

public:
    HowToUseWindow();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPlainTextEdit *m_text = nullptr;
    QPushButton *m_closeButton = nullptr;
    bool m_filled = false;
};
