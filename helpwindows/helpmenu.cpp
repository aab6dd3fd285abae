#include "helpmenu.h"

#include "helpwindows/aboutwindow.h"
#include "helpwindows/howtousewindow.h"
#include "helpwindows/placement.h"

HelpMenu::HelpMenu(QWidget *mainWindow)
    : QObject(mainWindow)
    , m_main(mainWindow)
{
    setObjectName(QStringLiteral("HelpMenu"));
}

void HelpMenu::setWindows(HowToUseWindow *help, AboutWindow *about)
{
    m_help = help;
    m_about = about;
}

void HelpMenu::showHowToUse()
{
    if (m_help)
        showCentredOver(m_help, m_main);
}

void HelpMenu::showAbout()
{
    if (m_about)
        showCentredOver(m_about, m_main);
}

void HelpMenu::hideAll()
{
    if (m_help)
        m_help->hide();
    if (m_about)
        m_about->hide();
}
