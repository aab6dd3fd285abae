#pragma once

#include "ui/handlerguard.h"

#include <QObject>
#include <QString>

class LeaveWatcher;
class PlatformServices;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// One folder field: its label, its "..." button and the text field. A
// typed folder is put in the job's form and gets its trailing backslash
// when the field is left; a folder chosen in the browser replaces the text.
class FolderField : public QObject
{
    Q_OBJECT

public:
    struct Layout
    {
        const char *labelName;
        QString caption;
        const char *buttonName;
        const char *editName;
        QString browseTitle;
        int labelWidth;
        int top; // of the label; the button and the field follow it
    };

    FolderField(PlatformServices &services, QWidget *client, const LeaveWatcher &leaving, const Layout &layout,
                const HandlerGuard &guard = {});

    // Leaving the field: the text in the job's form, ending in "\".
    void leave();
    // The "..." button: the folder browser.
    void browse();

    QString text() const;
    void setText(const QString &text);

    // Its controls in the window's tab order: the button, then the field.
    QList<QWidget *> tabStops() const;

private:
    PlatformServices &m_services;
    QString m_browseTitle;
    QLabel *m_label;
    QPushButton *m_button;
    QLineEdit *m_edit;
};
