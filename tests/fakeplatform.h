#pragma once

#include "core/files/filewrite.h"
#include "platform/platformservices.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QList>
#include <QTest>

#include <deque>
#include <stdexcept>

// Stands in for the desktop: dialogs answer from queues, and every request
// is recorded for the test to look at.
class FakePlatform : public PlatformServices
{
public:
    std::deque<Cancellable<OpenFilesResult>> openAnswers;
    QList<OpenFilesRequest> openRequests;
    std::deque<Cancellable<QString>> saveAnswers;
    QList<SaveFileRequest> saveRequests;
    std::deque<Cancellable<QString>> browseAnswers;
    QList<QPair<QString, QString>> browseRequests; // title, start folder
    bool browseThrows = false; // the folder browser fails as a crash would

    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    // When set, the keys change to these while a dialog is open.
    std::optional<Qt::KeyboardModifiers> modifiersAfterDialog;
    int beeps = 0;
    QString exePath = QStringLiteral("/opt/tessiva/bin/tessiva");
    QString documents = QStringLiteral("/home/user/Documents");
    QString userFolder;
    QStringList errorBoxes; // "caption|message"
    int sizeCommandRemovals = 0;
    jobpath::Style style = jobpath::Style::Unix;
    // What each source's file holds, by its native path: the core reads
    // the sources through it (its threads, its rules). Unset, every source
    // is a drawing of the version its conversion takes.
    drawing::HeadReader heads;

    Cancellable<OpenFilesResult> openFiles(QWidget *, const OpenFilesRequest &request) override
    {
        openRequests << request;
        dialogClosed();
        return take(openAnswers);
    }
    Cancellable<QString> saveFile(QWidget *, const SaveFileRequest &request) override
    {
        saveRequests << request;
        dialogClosed();
        return take(saveAnswers);
    }
    Cancellable<QString> browseFolder(QWidget *, const QString &title, const QString &start) override
    {
        browseRequests << qMakePair(title, start);
        if (browseThrows)
            throw std::runtime_error("Access violation");
        dialogClosed();
        return take(browseAnswers);
    }
    Qt::KeyboardModifiers keyboardModifiers() const override { return modifiers; }
    void beep() override { ++beeps; }
    bool isExistingFile(const QString &path) const override { return QFileInfo(path).isFile(); }
    bool isExistingFolder(const QString &path) const override { return QFileInfo(path).isDir(); }
    QString executablePath() const override { return exePath; }
    bool canCreateFileIn(const QString &folder) const override { return ::canCreateFileIn(folder); }
    QString documentsFolder() const override { return documents; }
    QString userSettingsFolder() const override { return userFolder; }
    jobpath::Style pathStyle() const override { return style; }
    Cancellable<drawing::Findings> readSources(const ConversionJob &job, drawing::ReadProgress &progress) override
    {
        if (!heads)
            return drawing::Findings{};
        return drawing::readSources(job, style, &progress, heads);
    }
    void showErrorBox(QWidget *, const QString &caption, const QString &message) override
    {
        errorBoxes << caption + u'|' + message;
    }
    void removeSizeCommand(QWidget *) override { ++sizeCommandRemovals; }

private:
    template <class T>
    static Cancellable<T> take(std::deque<Cancellable<T>> &queue)
    {
        if (queue.empty())
            return kCancelled; // an unexpected dialog is cancelled
        auto answer = queue.front();
        queue.pop_front();
        return answer;
    }
    void dialogClosed()
    {
        if (modifiersAfterDialog)
            modifiers = *modifiersAfterDialog;
    }
};

// Finds a named child or fails the test with its name.
#define FIND(var, Type, root, name)                                                                                    \
    auto *var = (root)->findChild<Type *>(QStringLiteral(name));                                                       \
    QVERIFY2(var, "no " #Type " named " name)

// A named child that the test cannot go on without.
template <class T>
T *child(const QObject *root, const char *name)
{
    T *found = root->findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child named %s", name);
    return found;
}

// Triggers a named action, failing clearly when it is missing or disabled.
#define TRIGGER(root, name)                                                                                            \
    do {                                                                                                               \
        auto *action_ = (root)->findChild<QAction *>(QStringLiteral(name));                                            \
        QVERIFY2(action_, "no action named " name);                                                                    \
        QVERIFY2(action_->isEnabled(), "action " name " is disabled");                                                 \
        action_->trigger();                                                                                            \
    } while (false)

// Shows a window and makes it the active one, so that the focus moves
// between its controls as it does for a user.
[[nodiscard]] inline bool showActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

// Types `text` into a widget as key presses; unlike QTest::keyClicks it
// also takes characters outside ASCII.
inline void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}
