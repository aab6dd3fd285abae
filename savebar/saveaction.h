#pragma once

#include "core/conversionjob.h"
#include "core/saveoutcome.h"

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
// line is selected.
class SaveAction : public QObject
{
    Q_OBJECT

public:
    SaveAction(PlatformServices &services, QWidget *client, SourceList &sources);

    SaveOutcome save(const ConversionJob &job);

    // The folder the save dialog opens in next; empty until a file is chosen.
    QString lastBatchFolder() const { return LastBatchFolder; }
    void forgetLastBatchFolder() { LastBatchFolder.clear(); }
    void clearStatus();
    // The save button, which the window wires.
    QPushButton *button() const { return Button6; }

private:
    std::optional<QString> chooseTarget(BatchKind kind);
    void report(const SaveOutcome &outcome);

    PlatformServices &m_services;
    SourceList &m_sources;
    StatusLine *Label10;
    QPushButton *Button6;
    QString LastBatchFolder;
};
