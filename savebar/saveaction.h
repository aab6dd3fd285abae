#pragma once

#include "core/job/conversionjob.h"
#include "core/job/saveoutcome.h"

#include <QObject>
#include <QString>

#include <optional>

class PlatformServices;
class QPushButton;
class StatusLine;
class QWidget;
class SourceList;

// The save button and the status line. A press runs the save of the job:
// the checks, the save dialog, the .BAT check and the write; every outcome
// but a cancel goes to the status line with a beep, and a refused source
// line is selected. The part reports a press; the window answers with
// save() and the job its controls hold.
class SaveAction : public QObject
{
    Q_OBJECT

public:
    SaveAction(PlatformServices &services, QWidget *client, SourceList &sources);

    void save(const ConversionJob &job);

    // The save dialog opens in the program's folder again, as at start.
    void forgetLastBatchFolder() { LastBatchFolder.clear(); }
    void clearStatus();

    // Its control in the window's tab order.
    QList<QWidget *> tabStops() const;

signals:
    void saveClicked(QObject *sender);

private:
    std::optional<QString> chooseTarget(BatchKind kind);
    void report(const SaveOutcome &outcome);

    PlatformServices &m_services;
    SourceList &m_sources;
    StatusLine *Label10;
    QPushButton *Button6;
    QString LastBatchFolder;
};
