#include "saveaction.h"

#include "sourcereview.h"
#include "statusline.h"

#include "core/job/jobpath.h"
#include "core/save/saveflow.h"
#include "platform/platformservices.h"
#include "ui/controls.h"
#include "ui/systemreason.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

using namespace controls;

SaveAction::SaveAction(PlatformServices &services, QWidget *client, JobGetter currentJob, const HandlerGuard &guard)
    : QObject(client)
    , m_services(services)
    , m_currentJob(std::move(currentJob))
{
    setObjectName(QStringLiteral("SaveAction"));
    m_statusLine = place<StatusLine>(client, "Label10", QRect(14, 391, 527, 16));
    m_statusLine->setStatus(QStringLiteral("Label10"));
    setTextColour(m_statusLine, Qt::yellow);
    m_saveButton = controls::button(client, "Button6", QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存"), QRect(453, 405, 88, 20));
    m_review = new SourceReview(services, client);
    guard.connect(m_saveButton, &QPushButton::clicked, this, [this] { onSave(); });
}

void SaveAction::clearStatus() { m_statusLine->setStatus(QString()); }

void SaveAction::say(const QString &text) { m_statusLine->setStatus(text); }

void SaveAction::unsay(const QString &text)
{
    if (m_statusLine->status() == text)
        clearStatus();
}

void SaveAction::onSave()
{
    // The sources are read while the window goes on: a second press then
    // waits for the first save to end.
    if (m_saving)
        return;
    m_saving = true;
    clearStatus();
    const ConversionJob job = m_currentJob();
    // A cancelled dialog reports nothing.
    const Cancellable<SaveOutcome> outcome = saveflow::save(
        job, [this](const ConversionJob &j) { return m_review->review(j); },
        [this, &job] { return chooseTarget(job.kind); });
    m_saving = false;
    if (!outcome.cancelled())
        report(*outcome);
}

Cancellable<QString> SaveAction::chooseTarget(BatchKind kind)
{
    SaveFileRequest request;
    request.title = conversionKind(kind).dialogTitle.toString();
    request.proposedName = conversionKind(kind).batchName.toString();
    request.defaultSuffix = QStringLiteral("BAT");
    request.nameFilters = {QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)"), QStringLiteral(u"BATﾌｧｲﾙ(*.BAT)")};
    request.initialFolder = m_lastBatchFolder;
    if (request.initialFolder.isEmpty()) {
        // The executable's folder, unless the user cannot save there (an
        // installed program's): then the user's documents. On Windows, as
        // its own dialog does, only where that folder holds batch files
        // already: a program's folder is no place for the user's files.
        request.initialFolder = saveflow::folderOf(m_services.executablePath());
        const bool windows = m_services.pathStyle() == jobpath::Style::Windows;
        if (!m_services.canCreateFileIn(request.initialFolder)
            || (windows && QDir(request.initialFolder).entryList({QStringLiteral("*.BAT")}, QDir::Files).isEmpty()))
            request.initialFolder = m_services.documentsFolder();
    }
    const Cancellable<QString> chosen = m_services.saveFile(m_saveButton->window(), request);
    // Even a name that is then refused moves the next dialog to its folder.
    if (!chosen.cancelled())
        m_lastBatchFolder = saveflow::folderOf(*chosen);
    return chosen;
}

void SaveAction::report(const SaveOutcome &outcome)
{
    // A failed write says why after its own text, in the window's words.
    QString text = outcome.statusText;
    if (outcome.reason.failed())
        text += QStringLiteral(u"（") + japaneseReason(outcome.reason) + QStringLiteral(u"）");
    m_statusLine->setStatus(text);
    if (outcome.line >= 0)
        emit lineRefused(outcome.line);
    m_services.beep();
}

QList<QWidget *> SaveAction::tabStops() const { return {m_saveButton}; }
