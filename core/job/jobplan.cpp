#include "jobplan.h"

#include "core/text/textrules.h"

#include <QSet>

#include <optional>

namespace batch {

JobPlan::JobPlan(const ConversionJob &job)
    : m_job(job)
{
    m_parts.resize(job.sources.size());
    std::vector<qsizetype> dummies;
    bool tildes = false;
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
        // The names the two made-up names must keep clear of, noted while
        // the source is at hand: few drawings are named "dummy…" or "~…".
        const QStringView base = baseName(i);
        if (base.size() >= kIntermediateStem.size() && below(i).isEmpty()
            && textrules::upperCasedUnit(base[0].unicode())
                == textrules::upperCasedUnit(kIntermediateStem.front().unicode()))
            dummies.push_back(i);
        tildes = tildes || base.startsWith(kTemporaryStem.front());
    }
    m_intermediateName = makeIntermediateName(dummies);
    m_partialPrefix = makePartialPrefix(tildes);
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

QString JobPlan::destination(qsizetype i, QStringView prefix) const
{
    return m_job.destinationFolder % below(i) % prefix % baseName(i) % kDestinationExtension;
}

namespace {
// The base name of the made-up name `n`: the stem, then n unless it is 0
// ("dummy", "dummy1", …; "~TESSIVA", "~TESSIVA1", …).
QString numbered(QStringView stem, int n) { return n == 0 ? stem.toString() : stem % QString::number(n); }
// What a drawing's name starts with while it is made: "~TESSIVA~", "~TESSIVA1~", …
QString temporaryPrefix(int n) { return numbered(JobPlan::kTemporaryStem, n) % u'~'; }
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

namespace {
struct TemporaryName
{
    int number; // n of "~TESSIVA<n>~", 0 for "~TESSIVA~"
    qsizetype nameStart; // where the name it stands for starts
};

// What a name is as a temporary name: `stem` ("~TESSIVA", folded), a number
// without a leading 0 or none, then "~". Nothing for any other name.
std::optional<TemporaryName> temporaryName(QStringView base, QStringView stem)
{
    if (!base.startsWith(stem))
        return std::nullopt;
    qsizetype end = stem.size();
    while (end < base.size() && base[end] >= u'0' && base[end] <= u'9')
        ++end;
    const QStringView digits = base.sliced(stem.size(), end - stem.size());
    if (end >= base.size() || base[end] != u'~' || digits.startsWith(u'0'))
        return std::nullopt;
    bool ok = digits.isEmpty();
    const int n = ok ? 0 : digits.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return TemporaryName{n, end + 1};
}
} // namespace

QString JobPlan::makePartialPrefix(bool tildes) const
{
    // A name no ordinary file carries, as the batch file deletes what lies
    // under it. Only a drawing whose own name starts with it can be
    // written under another one's temporary name.
    const QString usual = temporaryPrefix(0);
    const QStringView stem = kTemporaryStem; // before a number and the last "~"
    bool taken = false;
    for (qsizetype i = 0; i < size() && tildes && !taken; ++i) // "~" has no case
        taken = baseName(i).startsWith(stem, Qt::CaseInsensitive);
    if (!taken)
        return usual;
    // Each drawing's final name, folded as Windows compares names; folding
    // keeps every unit where it was.
    QSet<QString> finals;
    for (qsizetype i = 0; i < size(); ++i)
        finals.insert(textrules::windowsFolded(QString(below(i) % baseName(i))));
    // "~TESSIVA<n>~" is taken where a final name is that prefix and another
    // drawing's name in the same folder: one pass over the names, whatever
    // they hold.
    QSet<int> takenNumbers;
    const QString folded = textrules::windowsFolded(stem);
    for (qsizetype i = 0; i < size(); ++i) {
        const QString name = textrules::windowsFolded(QString(below(i) % baseName(i)));
        const QStringView base = QStringView(name).sliced(below(i).size());
        const std::optional<TemporaryName> temporary = temporaryName(base, folded);
        if (temporary
            && finals.contains(QString(QStringView(name).left(below(i).size()) % base.sliced(temporary->nameStart))))
            takenNumbers.insert(temporary->number);
    }
    int n = 0;
    while (takenNumbers.contains(n))
        ++n;
    return temporaryPrefix(n);
}

} // namespace batch
