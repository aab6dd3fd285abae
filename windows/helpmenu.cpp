// The Help menu of the main window.
#include "app/tform1.h"
#include "windows/placement.h"
#include "windows/tform4.h"
#include "windows/tform5.h"

void TForm1::HowtoUseHelp1Click(QObject *)
{
    if (m_help)
        showCentredOver(m_help, this);
}

void TForm1::About1Click(QObject *)
{
    if (m_about)
        showCentredOver(m_about, this);
}
