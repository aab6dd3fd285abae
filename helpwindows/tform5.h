#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The About window: product line, version, release date and icon.
class TForm5 : public QWidget
{
    Q_OBJECT

public:
    // `owner` is the main window, which the About window stays above.
    explicit TForm5(QWidget *owner = nullptr);

public slots:
    void BitBtn1Click(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *BitBtn1 = nullptr;
};
