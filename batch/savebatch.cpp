// The save button: checks the job, asks where to save, writes the batch file
// and reports the outcome in the status line with a beep.
#include "app/tform1.h"
#include "core/batchcomposer.h"
#include "core/filewrite.h"
#include "core/savecheck.h"
#include "inputs/sourcelistview.h"
#include "platform/platformservices.h"

#include <QLabel>

void TForm1::Button6Click(QObject *)
{
    Label10->setText(QString());
    const ConversionJob job = currentJob();

    const JobCheck check = checkJob(job);
    if (!check.ok()) {
        Label10->setText(check.statusText);
        if (check.line >= 0) {
            selectSourceLine(check.line);
            ListBox1->setFocus();
        }
        m_services.beep();
        return;
    }

    const BatchKindInfo kind = batchKindInfo(job.kind);
    SaveFileRequest request;
    request.title = kind.dialogTitle;
    request.proposedName = kind.defaultFileName;
    request.defaultSuffix = QStringLiteral("BAT");
    request.nameFilters = {QStringLiteral(u"すべてのﾌｧｲﾙ(*.*)"), QStringLiteral(u"BATﾌｧｲﾙ(*.BAT)")};
    request.initialFolder = LastBatchFolder;
    if (request.initialFolder.isEmpty())
        request.initialFolder = savetarget::folderOf(m_services.executablePath());

    const std::optional<QString> chosen = m_services.saveFile(this, request);
    if (!chosen)
        return;
    const QString &path = *chosen;
    LastBatchFolder = savetarget::folderOf(path);

    if (!savetarget::isBatPath(path)) {
        m_services.beep();
        Label10->setText(savetarget::notBatText(path));
        return;
    }

    const WriteResult written = writeBatchFile(path, job);
    Label10->setText(written.ok ? savetarget::savedText(path) : savetarget::cannotSaveText(path));
    m_services.beep();
}
