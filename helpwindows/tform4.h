#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The how-to-use window: the explanatory text and a Close button. An
// ordinary window of its own, not kept above the main window.
class TForm4 : public QWidget
{
    Q_OBJECT

public:
    TForm4();

public slots:
    void Button1Click(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *Button1 = nullptr;
    bool m_filled = false;
};
