#pragma once

#include <QObject>
#include <QPointer>

class QWidget;
class HowToUseWindow;
class AboutWindow;

// The Help menu's windows: the how-to-use window and the About window,
// each placed over the centre of the main window whenever it is asked for.
// Start-up owns the windows; this part only shows and hides them.
class HelpMenu : public QObject
{
    Q_OBJECT

public:
    explicit HelpMenu(QWidget *mainWindow);

    void setWindows(HowToUseWindow *help, AboutWindow *about);
    void showHowToUse();
    void showAbout();
    // Both go when the main window closes.
    void hideAll();

private:
    QWidget *m_main;
    QPointer<HowToUseWindow> m_help;
    QPointer<AboutWindow> m_about;
};
