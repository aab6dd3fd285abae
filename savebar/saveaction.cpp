#include "saveaction.h"

#include "statusline.h"

#include "core/save/saveflow.h"
#include "inputs/sourcelist.h"
#include "platform/platformservices.h"
#include "ui/controls.h"
#include "ui/systemreason.h"

#include <QLabel>
#include <QPushButton>

using namespace controls;

SaveAction::SaveAction(PlatformServices &services, QWidget *client, SourceList &sources)
    : QObject(client)
    , m_services(services)
    , m_sources(sources)
{
    setObjectName(QStringLiteral("SaveAction"));
    Label10 = place<StatusLine>(client, "Label10", QRect(14, 391, 527, 16));
    Label10->setStatus(QStringLiteral("Label10"));
    setTextColour(Label10, Qt::yellow);
    Button6 = controls::button(client, "Button6", QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ保存"), QRect(453, 405, 88, 20));
    connect(Button6, &QPushButton::clicked, this, [this] { emit saveClicked(Button6); });
}

void SaveAction::clearStatus() { Label10->setStatus(QString()); }

void SaveAction::save(const ConversionJob &job)
{
    clearStatus();
    // A cancelled dialog reports nothing.
    if (const saveflow::OutcomeUnlessCancelled outcome
        = saveflow::save(job, [this, &job] { return chooseTarget(job.kind); }))
        report(*outcome);
}

std::optional<QString> SaveAction::chooseTarget(BatchKind kind)
{
    SaveFileRequest request;
    request.title = conversionKind(kind).dialogTitle.toString();
    request.proposedName = conversionKind(kind).batchName.toString();
    request.defaultSuffix = QStringLiteral("BAT");
    request.nameFilters = {QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)"), QStringLiteral(u"BATﾌｧｲﾙ(*.BAT)")};
    request.initialFolder = LastBatchFolder;
    if (request.initialFolder.isEmpty()) {
        // The executable's folder, unless the user cannot save there (an
        // installed program's): then the user's documents.
        request.initialFolder = saveflow::folderOf(m_services.executablePath());
        if (!m_services.canCreateFileIn(request.initialFolder))
            request.initialFolder = m_services.documentsFolder();
    }
    const std::optional<QString> chosen = m_services.saveFile(Button6->window(), request);
    // Even a name that is then refused moves the next dialog to its folder.
    if (chosen)
        LastBatchFolder = saveflow::folderOf(*chosen);
    return chosen;
}

void SaveAction::report(const SaveOutcome &outcome)
{
    // A failed write says why after its own text, in the window's words.
    QString text = outcome.statusText;
    if (outcome.reason.failed())
        text += QStringLiteral(u"（") + japaneseReason(outcome.reason) + QStringLiteral(u"）");
    Label10->setStatus(text);
    if (outcome.line >= 0)
        m_sources.selectAndFocus(outcome.line);
    m_services.beep();
}

QList<QWidget *> SaveAction::tabStops() const { return {Button6}; }
