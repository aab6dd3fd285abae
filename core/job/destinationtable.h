#pragma once

#include "jobplan.h"

#include <QString>

#include <vector>

// Finds two sources converted onto one destination. Each destination is
// known by the folder below the root and the base name, folded as Windows
// compares names; a table of their hashes holds the first source of each.
// It keeps no string for each source, as a QHash of folded names would
// (./dev bench). The hash is keyed anew for every table from the system's
// random source, so that no list written in advance can put its names into
// one slot and make the check take time that grows with the square of the
// list.
class DestinationTable
{
public:
    explicit DestinationTable(const job::JobPlan &plan);

    // The first source with the same destination as `index`, or -1 after
    // taking `index` as the first of its destination.
    int firstWithSameDestination(int index);

private:
    const job::JobPlan &m_plan;
    const size_t m_key;
    std::vector<int> m_slots; // source index + 1, 0 for an empty slot
    qsizetype m_mask = 0;
    std::vector<size_t> m_hashes;
    QString m_folded; // the destination being looked up, folded
};
