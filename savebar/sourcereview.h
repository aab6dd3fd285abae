#pragma once

#include "core/save/saveflow.h"

#include <QObject>

class PlatformServices;
class QWidget;

// Before the save dialog: what each source is. The heads are read on other
// threads while the window goes on; past a second a progress dialog shows
// how far, and its cancel ends the save with nothing to report. Where every
// source is what its conversion takes, nothing shows. Where some are not,
// a dialog lists them (source, what it is, why it matters) with counts by
// kind, and the user goes on, or stops with the first of them selected.
class SourceReview : public QObject
{
    Q_OBJECT

public:
    SourceReview(PlatformServices &services, QWidget *window);

    Cancellable<Result<SaveOutcome, drawing::Findings>> review(const ConversionJob &job);

    // The object names of the dialogs and their buttons, for those who
    // drive them.
    static constexpr const char *kProgressName = "SourceReadProgress";
    static constexpr const char *kDialogName = "SourceReviewDialog";
    static constexpr const char *kGoOnName = "goOnButton";
    static constexpr const char *kStopName = "stopButton";
    static constexpr const char *kListName = "sourceTable";

private:
    Cancellable<drawing::Findings> read(const ConversionJob &job);
    bool goesOn(const ConversionJob &job, const drawing::Findings &findings);

    PlatformServices &m_services;
    QWidget *m_window;
};
