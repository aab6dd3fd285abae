#pragma once

#include "core/job/conversionjob.h"
#include "core/job/saveoutcome.h"
#include "ui/handlerguard.h"

#include <QObject>
#include <QString>

#include <functional>

class PlatformServices;
class QPushButton;
class SourceReview;
class StatusLine;
class QWidget;

// The save button and the status line. A press saves the job the window's
// controls hold now: the checks, a look at the sources (SourceReview), the
// save dialog, the .BAT check and the write; every outcome but a cancel
// goes to the status line with a beep,
// and a refused source line is named through lineRefused().
class SaveAction : public QObject
{
    Q_OBJECT

public:
    using JobGetter = std::function<ConversionJob()>;

    SaveAction(PlatformServices &services, QWidget *client, JobGetter currentJob, const HandlerGuard &guard);

    // What a press of the button does.
    void onSave();

    // The save dialog opens in the program's folder again, as at start.
    void forgetLastBatchFolder() { m_lastBatchFolder.clear(); }
    void clearStatus();
    // Says `text` on the status line, as a save's outcome is said, without
    // a beep: what another part of the window has to tell.
    void say(const QString &text);
    // Takes `text` off the status line where it is still what it says.
    void unsay(const QString &text);

    // Its control in the window's tab order.
    QList<QWidget *> tabStops() const;

signals:
    // The save was refused for this source line.
    void lineRefused(int line);

private:
    Cancellable<QString> chooseTarget(BatchKind kind);
    void report(const SaveOutcome &outcome);

    PlatformServices &m_services;
    JobGetter m_currentJob;
    StatusLine *m_statusLine;
    QPushButton *m_saveButton;
    SourceReview *m_review;
    QString m_lastBatchFolder;
    bool m_saving = false; // a press while a save goes on does nothing
};
