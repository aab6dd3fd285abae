#pragma once

#include "ui/handlerguard.h"

#include <QObject>
#include <QStringList>

class PlatformServices;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class PathListModel;
class SourceListView;

// The source file list: the list itself, its count, and the "...", "c" and
// "ac" buttons. Files are chosen in the open dialog or dropped from the
// file manager, and replace the list unless Ctrl or Shift is held; lines are
// deleted one at a time or all at once. Every operation ends with the
// count refresh. The part handles its own buttons, a double-click on a line
// and a drop; the menu's folder item calls chooseFolder().
class SourceList : public QObject
{
    Q_OBJECT

public:
    // Builds the controls on `client`; their handlers run through `guard`.
    SourceList(PlatformServices &services, QWidget *client, const HandlerGuard &guard = {});

    // The open dialog ("..."): replaces or adds to the list.
    void chooseFiles();
    // The folder dialog: every drawing below the folder chosen, with the
    // folder as the root of the tree the job converts.
    void chooseFolder();
    // The same for a folder given, without the dialog.
    void addFolder(const QString &nativeFolder);
    // Files and folders dropped on the list, as native names: a folder as
    // the folder item takes it, a file as the open dialog does. A drop that
    // brings neither leaves the list as it was.
    void dropFiles(const QStringList &nativeNames);
    // "c" and a double-click: deletes the selected line.
    void deleteSelected();
    // "ac": deletes every line.
    void deleteAll();

    // The source paths of the job: the lines the count counts.
    QStringList sources() const;
    // The folder the drawings of the list were added from, as the job's
    // tree root ("C:\DRAW\"): each drawing is converted into the same folder
    // below the destination folder as it lies below it. Empty when the list
    // was made of files alone; taken anew when the list starts over.
    QString treeRoot() const { return m_treeRoot; }
    // Selects `line` (scrolled into view) and gives the list the focus, as
    // the save action does for a refused line.
    void selectAndFocus(int line);

    // Its controls in the window's tab order: the choose button and the
    // list come after the options, the delete buttons after the folders.
    QList<QWidget *> chooserTabStops() const;
    QList<QWidget *> removalTabStops() const;
    // The one control that takes dropped files.
    QWidget *dropTarget() const;

signals:
    // Something the user should know of what a folder brought: a folder
    // refused, not there or without drawings, or folders that could not be
    // read. The next action on the list withdraws it: the status line says
    // what the last action did, never what an earlier one did.
    void notice(const QString &text);
    void noticeWithdrawn(const QString &text);

private:
    void buildButtons(QWidget *client);
    void buildCount(QWidget *client);
    void buildList(QWidget *client);
    // The selected line, or -1.
    int itemIndex() const;
    bool addModifierHeld() const;
    void append(const QStringList &jobPaths);
    // What an action brings to the list, gathered before the list changes:
    // its lines, and the folder of its tree where it made one; whether it
    // joins the list or replaces it.
    struct Taken
    {
        bool adds = false;
        QStringList paths = {};
        QString root = {};
        // The tree its folders must lie in: the list's where it joins it.
        const QString &treeRoot(const QString &list) const { return adds && !list.isEmpty() ? list : root; }
    };
    enum class Search { Ended, Refused, Cancelled };
    // The drawings below a folder, into `taken`, the folder the tree's root
    // where it has none yet: refused (said) where it is not there or lies
    // outside the tree.
    Search takeFolder(const QString &nativeFolder, Taken &taken);
    void commit(const Taken &taken);
    void say(const QString &text);
    void withdrawNotice();
    // An empty list, which takes no tree root from the drawings it had.
    void startOver();
    void select(int line);
    void refreshCount(bool selectLast);

    PlatformServices &m_services;
    QWidget *m_client;
    QLabel *m_caption;
    QPushButton *m_chooseButton;
    QPushButton *m_deleteButton;
    QPushButton *m_deleteAllButton;
    QLineEdit *m_countField;
    QLabel *m_countWord;
    SourceListView *m_list;
    PathListModel *m_model;
    int m_fileCount = 0;
    QString m_openFilter; // the open dialog's filter, as the user left it
    QString m_treeRoot;
    QString m_notice; // what the last action said, while it may still show
};
