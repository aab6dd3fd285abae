#include "destinationtable.h"

#include "core/text/textrules.h"

#include <QHashFunctions>
#include <QRandomGenerator>

using textrules::sameWindowsName;

DestinationTable::DestinationTable(const job::JobPlan &plan)
    : m_plan(plan)
    , m_key(size_t(QRandomGenerator::system()->generate64()))
{
    // At most four slots in five taken.
    qsizetype size = 16;
    while (size * 4 < plan.size() * 5)
        size *= 2;
    m_slots.assign(size, 0);
    m_mask = size - 1;
    m_hashes.resize(plan.size());
}

int DestinationTable::firstWithSameDestination(int index)
{
    const QStringView below = m_plan.below(index);
    const QStringView base = m_plan.baseName(index);
    // The keyed hash of the folded units: the hash's fold is the
    // comparison's. Below the root is empty or ends in "\", which no base
    // name holds, so the two parts cannot run into each other.
    m_folded.resize(below.size() + base.size());
    QChar *folded = m_folded.data();
    for (QStringView part : {below, base}) {
        for (QChar c : part)
            *folded++ = QChar(textrules::windowsFoldedUnit(c.unicode()));
    }
    const size_t hash = qHash(QStringView(m_folded), m_key);
    m_hashes[index] = hash;
    for (qsizetype slot = qsizetype(hash) & m_mask;; slot = (slot + 1) & m_mask) {
        const int taken = m_slots[slot] - 1;
        if (taken < 0) {
            m_slots[slot] = index + 1;
            return -1;
        }
        if (m_hashes[taken] == hash && sameWindowsName(m_plan.below(taken), below)
            && sameWindowsName(m_plan.baseName(taken), base))
            return taken;
    }
}
