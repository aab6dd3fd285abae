#include "sourcereview.h"

#include "platform/platformservices.h"
#include "ui/systemreason.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QMap>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

SourceReview::SourceReview(PlatformServices &services, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_window(window)
{
    setObjectName(QStringLiteral("SourceReview"));
}

Cancellable<Result<SaveOutcome, drawing::Findings>> SourceReview::review(const ConversionJob &job)
{
    const Cancellable<drawing::Findings> findings = read(job);
    if (findings.cancelled())
        return kCancelled;
    if (findings->sources.empty() || goesOn(job, *findings))
        return Result<SaveOutcome, drawing::Findings>(*findings);
    return Result<SaveOutcome, drawing::Findings>(drawing::stopped(*findings, job));
}

Cancellable<drawing::Findings> SourceReview::read(const ConversionJob &job)
{
    auto progress = std::make_shared<drawing::ReadProgress>();
    auto result = std::make_shared<std::optional<Cancellable<drawing::Findings>>>();
    PlatformServices &services = m_services;
    QThread *reader = QThread::create(
        [job, &services, progress, result] { result->emplace(services.readSources(job, *progress)); });
    QEventLoop loop;
    connect(reader, &QThread::finished, &loop, &QEventLoop::quit);
    // Shown only where the reading takes more than a second.
    QProgressDialog dialog(QStringLiteral(u"変換元ﾌｧｲﾙを確かめています..."), QStringLiteral(u"中止"), 0,
                           int(std::min<qsizetype>(job.sources.size(), INT_MAX)), m_window);
    dialog.setObjectName(QLatin1String(kProgressName));
    dialog.setWindowTitle(QStringLiteral(u"変換元ﾌｧｲﾙの確認"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setFont(m_window->font());
    dialog.setMinimumDuration(1000);
    dialog.setAutoReset(false);
    dialog.setAutoClose(false);
    dialog.setValue(0);
    connect(&dialog, &QProgressDialog::canceled, &loop, [progress] { progress->cancel = true; });
    QTimer tick;
    connect(&tick, &QTimer::timeout, &dialog, [&dialog, progress] {
        dialog.setValue(int(std::min<qsizetype>(progress->done.load(), dialog.maximum())));
    });
    tick.start(100);
    reader->start();
    loop.exec();
    // A loop ended by anything but the reading (the program quits) cancels it.
    if (!reader->isFinished())
        progress->cancel = true;
    reader->wait();
    delete reader;
    return **result;
}

namespace {
QString reasonShown(const drawing::Head &head)
{
    const QString what = drawing::whatItIs(head);
    return head.reason.failed() ? what + QStringLiteral(u"（") + japaneseReason(head.reason) + QStringLiteral(u"）")
                                : what;
}
} // namespace

bool SourceReview::goesOn(const ConversionJob &job, const drawing::Findings &findings)
{
    QDialog dialog(m_window);
    dialog.setObjectName(QLatin1String(kDialogName));
    dialog.setWindowTitle(QStringLiteral(u"変換元ﾌｧｲﾙの確認"));
    dialog.setFont(m_window->font());
    auto *layout = new QVBoxLayout(&dialog);
    const qsizetype unusable = findings.count(drawing::Verdict::Unusable);
    const QString heading = QStringLiteral(u"%1 の変換に合わない変換元ﾌｧｲﾙが %2 個あります。")
                                .arg(conversionKind(job.kind).caption.toString())
                                .arg(findings.sources.size())
        + (unusable > 0 ? QStringLiteral(u"\nそのうち %1 個は変換できません。").arg(unusable) : QString());
    auto *headingLabel = new QLabel(heading, &dialog);
    headingLabel->setObjectName(QStringLiteral("headingLabel"));
    layout->addWidget(headingLabel);

    auto *table = new QTreeWidget(&dialog);
    table->setObjectName(QLatin1String(kListName));
    table->setRootIsDecorated(false);
    table->setUniformRowHeights(true);
    table->setHeaderLabels({QStringLiteral(u"変換元ﾌｧｲﾙ"), QStringLiteral(u"種類"), QStringLiteral(u"理由")});
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(findings.sources.size()));
    // Counted by what each is, in the order they first appear.
    QStringList kinds;
    QMap<QString, qsizetype> counts;
    for (const drawing::Finding &f : findings.sources) {
        const QString what = drawing::whatItIs(f.head);
        if (!counts.contains(what))
            kinds << what;
        ++counts[what];
        items << new QTreeWidgetItem({job.sources.at(f.line), reasonShown(f.head), drawing::whyItMatters(f, job.kind)});
    }
    table->addTopLevelItems(items);
    table->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setMinimumSize(560, 200);
    layout->addWidget(table);

    QStringList countTexts;
    for (const QString &what : kinds)
        countTexts << QStringLiteral(u"%1: %2 個").arg(what).arg(counts.value(what));
    auto *countLabel = new QLabel(countTexts.join(QStringLiteral(u"、")), &dialog);
    countLabel->setObjectName(QStringLiteral("countLabel"));
    countLabel->setWordWrap(true);
    layout->addWidget(countLabel);

    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *goOn = buttons->addButton(QStringLiteral(u"このまま保存(&G)"), QDialogButtonBox::AcceptRole);
    goOn->setObjectName(QLatin1String(kGoOnName));
    QPushButton *stop = buttons->addButton(QStringLiteral(u"中止して確かめる(&S)"), QDialogButtonBox::RejectRole);
    stop->setObjectName(QLatin1String(kStopName));
    // Enter stops: going on is a choice made on purpose.
    stop->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted;
}
