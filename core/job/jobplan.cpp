#include "jobplan.h"

#include "core/text/textrules.h"

#include <QSet>

namespace job {

JobPlan::JobPlan(const ConversionJob &job)
    : m_job(job)
{
    m_parts.resize(job.sources.size());
    std::vector<qsizetype> dummies;
    const QStringView root = job.treeRoot;
    for (qsizetype i = 0; i < job.sources.size(); ++i) {
        const QStringView source = job.sources.at(i);
        const textrules::PathParts p = textrules::pathParts(source);
        Places &parts = m_parts[i];
        parts.nameStart = qint32(p.nameStart);
        parts.extStart = qint32(p.extStart);
        parts.baseEnd = qint32(p.baseEnd);
        // A tree job's source lies under the root when its folder starts
        // with the root, compared as Windows compares names.
        if (!root.isEmpty()) {
            const bool under = p.nameStart >= root.size() && textrules::sameWindowsName(source.left(root.size()), root);
            parts.belowStart = under ? qint32(root.size()) : -1;
        } else {
            parts.belowStart = qint32(p.nameStart);
        }
        // The names the intermediate file must keep clear of, noted while
        // the source is at hand: few drawings are named "dummy…".
        const QStringView base = baseName(i);
        if (base.size() >= kIntermediateStem.size() && below(i).isEmpty()
            && textrules::upperCasedUnit(base[0].unicode())
                == textrules::upperCasedUnit(kIntermediateStem.front().unicode()))
            dummies.push_back(i);
    }
    m_intermediateName = makeIntermediateName(dummies);
}

QStringView JobPlan::folder(qsizetype i) const { return QStringView(m_job.sources.at(i)).left(m_parts[i].nameStart); }

QStringView JobPlan::extension(qsizetype i) const
{
    const Places &p = m_parts[i];
    return p.extStart < 0 ? QStringView() : QStringView(m_job.sources.at(i)).mid(p.extStart);
}

QStringView JobPlan::baseName(qsizetype i) const
{
    const Places &p = m_parts[i];
    return QStringView(m_job.sources.at(i)).mid(p.nameStart, p.baseEnd - p.nameStart);
}

QStringView JobPlan::below(qsizetype i) const
{
    const Places &p = m_parts[i];
    if (p.belowStart < 0)
        return {};
    return QStringView(m_job.sources.at(i)).mid(p.belowStart, p.nameStart - p.belowStart);
}

QString JobPlan::destination(qsizetype i) const
{
    return m_job.destinationFolder % below(i) % baseName(i) % kDestinationExtension;
}

namespace {
// The base name of the made-up name `n`: the stem, then n unless it is 0
// ("dummy", "dummy1", …).
QString numbered(QStringView stem, int n) { return n == 0 ? stem.toString() : stem % QString::number(n); }
} // namespace

QString JobPlan::makeIntermediateName(const std::vector<qsizetype> &dummies) const
{
    // A drawing is written over the intermediate file only when it goes to
    // the destination folder itself under the intermediate's name, so only
    // "dummy…" names there need a look.
    QSet<QString> taken;
    for (const qsizetype i : dummies) {
        const QStringView base = baseName(i);
        if (base.startsWith(kIntermediateStem, Qt::CaseInsensitive))
            taken.insert(textrules::windowsFolded(base));
    }
    int n = 0;
    while (taken.contains(textrules::windowsFolded(numbered(kIntermediateStem, n))))
        ++n;
    return numbered(kIntermediateStem, n) % QStringLiteral(".dxf");
}

void JobPlan::setLookNote(qsizetype i, QString note)
{
    if (m_lookNotes.empty())
        m_lookNotes.resize(m_parts.size());
    m_lookNotes[size_t(i)] = std::move(note);
}

QStringView JobPlan::lookNote(qsizetype i) const
{
    return m_lookNotes.empty() ? QStringView() : QStringView(m_lookNotes[size_t(i)]);
}

} // namespace job
