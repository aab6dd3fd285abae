#pragma once

#include "windowtest.h"

#include <QTest>

// What the suites of the save share: a window with both folders set, whose
// list is filled through the open dialog, and the save button's press.
class SaveTest : public WindowTest
{
protected:
    bool openForSaving()
    {
        if (!openWindow(QStringLiteral("bin/tessiva")))
            return false;
        edit("Edit1")->setText(QStringLiteral("D:\\OUT\\"));
        edit("Edit2")->setText(QStringLiteral("C:\\ACAD\\"));
        return true;
    }
    // Fills the list with Windows paths through the open dialog.
    void setSources(const QStringList &lines)
    {
        m_platform.style = jobpath::Style::Windows;
        m_platform.openAnswers = {OpenFilesResult{lines, {}}};
        QTest::mouseClick(button("Button1"), Qt::LeftButton);
        QCOMPARE(sources()->sources(), lines);
    }
    void press() { QTest::mouseClick(button("Button6"), Qt::LeftButton); }
};
