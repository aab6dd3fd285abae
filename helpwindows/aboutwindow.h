#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The About window: product line, version, release date and icon.
class AboutWindow : public QWidget
{
    Q_OBJECT

public:
    // `owner` is the main window, which the About window stays above.
    explicit AboutWindow(QWidget *owner = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_productLine = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_releaseDate = nullptr;
    QLabel *m_icon = nullptr;
    QPushButton *m_okButton = nullptr;
};
