#pragma once

// What the suites of the source list share: its window, and stand-ins for
// the folder search.

#include "windowtest.h"

#include "core/text/textrules.h"

#include "inputs/folderscan.h"
#include "inputs/sourcelistview.h"
#include "ordinaryuser.h"
#include "ui/readablecolour.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

#include <chrono>
#include <thread>

// A search that goes on until it is told to stop.
inline folderscan::Found endless(const QString &, folderscan::Progress &progress)
{
    while (!progress.stop)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return {};
}

inline int g_unreadable = 0;
// A search that finds one drawing and g_unreadable folders it could not
// read, below the folder it is given.
inline folderscan::Found someUnreadable(const QString &folder, folderscan::Progress &)
{
    folderscan::Found found{{folder + QStringLiteral("/a.dxf")}, {}};
    for (int i = 1; i <= g_unreadable; ++i)
        found.unreadable << folder + QStringLiteral("/shut%1").arg(i);
    return found;
}

// The window, and what the suites of its list ask of it.
class SourceListTest : public WindowTest
{
protected:
    // An empty file of the test's, its folders made.
    QString makeFile(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        return path;
    }
    QStringList lines() const { return sources()->sources(); }
    SourceListView *view() const { return child<SourceListView>(m_window, "ListBox1"); }
};
