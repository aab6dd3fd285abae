#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// The how-to-use window: the explanatory text and a Close button.
class TForm4 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm4(QWidget *parent = nullptr);

    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *Button1 = nullptr;

public slots:
    void Button1Click(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_filled = false;
};
