#pragma once

#include "fakeplatform.h"
#include "savebar/statusline.h"

#include "app/tform1.h"
#include "inputs/sourcelist.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

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
        m_form = new TForm1(m_platform);
        return showActive(m_form);
    }

    void closeWindow()
    {
        delete m_form;
        m_form = nullptr;
    }

    QLineEdit *edit(const char *name) const { return child<QLineEdit>(m_form, name); }
    QComboBox *combo(const char *name) const { return child<QComboBox>(m_form, name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(m_form, name); }
    QWidget *list() const { return child<QWidget>(m_form, "ListBox1"); }
    // The count the window shows, and the selected line of the list (-1: none).
    int fileCount() const { return edit("Edit4")->text().trimmed().toInt(); }
    int selectedLine() const
    {
        const QModelIndexList rows = child<QAbstractItemView>(m_form, "ListBox1")->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.constFirst().row();
    }
    // The status line's whole text, however much of it is shown.
    QString status() const { return child<StatusLine>(m_form, "Label10")->status(); }
    SourceList *sources() const { return child<SourceList>(m_form, "SourceList"); }

    QTemporaryDir m_dir;
    FakePlatform m_platform;
    TForm1 *m_form = nullptr;
};
