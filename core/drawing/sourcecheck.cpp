#include "sourcecheck.h"

#include "core/job/jobplan.h"

#include <QStringBuilder>
#include <QThread>
#include <QThreadPool>

namespace drawing {

Verdict verdictOf(const Head &head, BatchKind kind)
{
    if (!isDxf(head.kind))
        return Verdict::Unusable;
    return head.version == conversionKind(kind).sourceVersion ? Verdict::Fits : Verdict::OtherVersion;
}

qsizetype Findings::count(Verdict verdict) const
{
    return std::count_if(sources.begin(), sources.end(), [verdict](const Finding &f) { return f.verdict == verdict; });
}

const Finding *Findings::first() const
{
    for (const Verdict verdict : {Verdict::Unusable, Verdict::OtherVersion}) {
        const auto found = std::find_if(sources.begin(), sources.end(),
                                        [verdict](const Finding &f) { return f.verdict == verdict; });
        if (found != sources.end())
            return &*found;
    }
    return nullptr;
}

Cancellable<Findings> readSources(const ConversionJob &job, jobpath::Style style, ReadProgress *progress,
                                  const HeadReader &reader)
{
    ReadProgress own;
    ReadProgress &shared = progress ? *progress : own;
    const qsizetype n = job.sources.size();
    Findings findings;
    QStringList natives;
    natives.reserve(n);
    for (const QString &source : job.sources) {
        natives.append(jobpath::toNative(source, style));
        if (natives.back().isEmpty()) {
            ++findings.unchecked;
            shared.done.fetch_add(1, std::memory_order_relaxed);
        }
    }
    // Each thread takes the next source until none is left: a slow file
    // (a network's) holds up one thread, not a share of the list.
    std::vector<Head> heads(static_cast<size_t>(n));
    std::atomic<qsizetype> next{0};
    const auto work = [&] {
        for (qsizetype i = next++; i < n && !shared.cancel.load(std::memory_order_relaxed); i = next++) {
            if (natives.at(i).isEmpty())
                continue;
            heads[size_t(i)] = reader(natives.at(i));
            shared.done.fetch_add(1, std::memory_order_relaxed);
        }
    };
    const int threads = int(std::clamp<qsizetype>(n - findings.unchecked, 1, QThread::idealThreadCount()));
    if (threads == 1) {
        work();
    } else {
        QThreadPool pool;
        pool.setMaxThreadCount(threads);
        for (int t = 0; t < threads; ++t)
            pool.start(work);
        pool.waitForDone();
    }
    if (shared.cancel.load())
        return kCancelled;
    for (qsizetype i = 0; i < n; ++i) {
        if (natives.at(i).isEmpty())
            continue;
        const Verdict verdict = verdictOf(heads[size_t(i)], job.kind);
        if (verdict != Verdict::Fits)
            findings.sources.push_back({i, std::move(heads[size_t(i)]), verdict});
    }
    return findings;
}

namespace {
QString takenVersion(BatchKind kind) { return versionName(conversionKind(kind).sourceVersion).toString(); }
} // namespace

QString whatItIs(const Head &head)
{
    switch (head.kind) {
    case Kind::Missing: return QStringLiteral(u"ﾌｧｲﾙがありません");
    case Kind::Unreadable: return QStringLiteral(u"読めません");
    case Kind::Empty: return QStringLiteral(u"空のﾌｧｲﾙです");
    case Kind::NotADrawing: return QStringLiteral(u"図面ではありません");
    case Kind::Dwg: return u"DWGﾌｧｲﾙ " % shownVersion(head.version);
    case Kind::AsciiDxf:
        return head.version.isEmpty() ? QStringLiteral(u"版の書かれていないDXF") : u"DXF " % shownVersion(head.version);
    case Kind::BinaryDxf:
        return head.version.isEmpty() ? QStringLiteral(u"版の書かれていないﾊﾞｲﾅﾘDXF")
                                      : u"ﾊﾞｲﾅﾘDXF " % shownVersion(head.version);
    }
    return QString();
}

QString whyItMatters(const Finding &finding, BatchKind kind)
{
    if (finding.verdict == Verdict::Unusable)
        return finding.head.kind == Kind::Dwg ? QStringLiteral(u"DXFではないので変換できません")
                                              : QStringLiteral(u"変換できません");
    if (finding.head.version.isEmpty())
        return takenVersion(kind) % QStringLiteral(u"の図面かどうか分かりません");
    return takenVersion(kind) % QStringLiteral(u"のDXFを変換する設定です");
}

SaveOutcome stopped(const Findings &findings, const ConversionJob &job)
{
    const Finding *first = findings.first();
    if (!first)
        return SaveOutcome::of(SaveResult::UnfitSource, QString());
    return SaveOutcome::of(SaveResult::UnfitSource,
                           u"変換元ﾌｧｲﾙ( " % job.sources.at(first->line) % u" )を確かめてください（"
                               % whatItIs(first->head) % u"）！",
                           int(first->line));
}

void noteOtherVersions(const Findings &findings, job::JobPlan &plan)
{
    const QString taken = takenVersion(plan.job().kind);
    for (const Finding &f : findings.sources) {
        if (f.verdict != Verdict::OtherVersion)
            continue;
        const QString what = f.head.version.isEmpty()
            ? QString(u"変換元の図面に版が書かれていません（" % taken % u"を変換する設定です）")
            : QString(u"変換元は" % shownVersion(f.head.version) % u"の図面でした（" % taken % u"を変換する設定です）");
        plan.setLookNote(f.line, what);
    }
}

} // namespace drawing
