#pragma once

#include "fakeplatform.h"
#include "savebar/statusline.h"

#include "app/mainwindow.h"
#include "inputs/sourcelist.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// What the window suites share: the main window on the fake platform,
// shown and active, with its executable in a temporary folder, and its
// controls and parts found by name.
class WindowTest : public QObject
{
protected:
    [[nodiscard]] bool openWindow(const QString &executable = QStringLiteral("tessiva"))
    {
        m_platform = FakePlatform();
        m_platform.exePath = m_dir.filePath(executable);
        m_window = new MainWindow(m_platform);
        return showActive(m_window);
    }

    void closeWindow()
    {
        delete m_window;
        m_window = nullptr;
    }

    QLineEdit *edit(const char *name) const { return child<QLineEdit>(m_window, name); }
    QComboBox *combo(const char *name) const { return child<QComboBox>(m_window, name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(m_window, name); }
    QWidget *list() const { return child<QWidget>(m_window, "ListBox1"); }
    // The count the window shows, and the selected line of the list (-1: none).
    int fileCount() const { return edit("Edit4")->text().trimmed().toInt(); }
    int selectedLine() const
    {
        const QModelIndexList rows = child<QAbstractItemView>(m_window, "ListBox1")->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.constFirst().row();
    }
    // The status line's whole text, however much of it is shown.
    QString status() const { return child<StatusLine>(m_window, "Label10")->status(); }
    SourceList *sources() const { return child<SourceList>(m_window, "SourceList"); }

    // Drops files on the list the way the desktop does: drag enter, then
    // drop, with `keys` held.
    void drop(const QStringList &nativeNames, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        m_platform.modifiers = keys;
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &name : nativeNames)
            urls << QUrl::fromLocalFile(name);
        mime.setUrls(urls);
        QWidget *target = child<QAbstractItemView>(m_window, "ListBox1")->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, keys);
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent dropEvent(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, keys);
        QApplication::sendEvent(target, &dropEvent);
        QVERIFY(dropEvent.isAccepted());
        QCOMPARE(dropEvent.dropAction(), Qt::CopyAction);
    }

    QTemporaryDir m_dir;
    FakePlatform m_platform;
    MainWindow *m_window = nullptr;
};
