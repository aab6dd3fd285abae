#pragma once

#include "fakeplatform.h"

#include "app/tform1.h"

#include <QTemporaryDir>

// What the window suites share: the main window on the fake platform,
// shown and active, with its executable in a temporary folder.
class WindowTest : public QObject
{
protected:
    [[nodiscard]] bool openWindow(const QString &executable = QStringLiteral("tessiva"))
    {
        m_platform = FakePlatform();
        m_platform.exePath = m_dir.filePath(executable);
        m_form = new TForm1(m_platform);
        return showActive(m_form);
    }

    void closeWindow()
    {
        delete m_form;
        m_form = nullptr;
    }

    QTemporaryDir m_dir;
    FakePlatform m_platform;
    TForm1 *m_form = nullptr;
};
