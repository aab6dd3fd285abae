#include "destinationtable.h"

#include "textrules.h"

using textrules::sameWindowsName;

DestinationTable::DestinationTable(const batch::JobPlan &plan)
    : m_plan(plan)
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
    // FNV-1a of the folded units: the hash's fold is the comparison's.
    quint64 hash = 14695981039346656037ULL;
    for (QStringView part : {below, base}) {
        for (QChar c : part) {
            hash ^= textrules::windowsFoldedUnit(c.unicode());
            hash *= 1099511628211ULL;
        }
        hash ^= 0xFFFF; // keeps the two parts apart
    }
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
