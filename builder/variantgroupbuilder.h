#pragma once

#include "text/varianttable.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// Joins code points into the groups of a variant table from any number of
// sources: each Join says that two characters are forms of one character,
// and the groups are the classes of that relation made symmetric and
// transitive (union-find). The table file gives each character one group,
// so a character that two sources pair with different forms joins both
// pairs into one group.
//
// Build orders the members of a group by code point and the groups by
// their first member, so that the same relations always give the same
// table, whatever order they came in. Only groups of two or more members
// are kept, at most MaxGroups of them (the index has no slot for more).
class CVariantGroupBuilder {
public:
    static constexpr size_t MaxGroups = CVariantTable::MaxSearchableGroups;  // 11,935
    using Group = CVariantTable::Group;

    void Join(uint32_t a, uint32_t b);
    // Relations joined so far (each Join counts, also one that joins two
    // characters already in one group).
    size_t Relations() const { return m_nRelations; }

    // The groups, and how many groups beyond MaxGroups were dropped.
    std::vector<Group> Build(size_t& nDropped /* OUT */) const;

private:
    uint32_t Find(uint32_t n) const;

    mutable std::unordered_map<uint32_t, uint32_t> m_parent;  // a set's root is its smallest member
    size_t m_nRelations = 0;
};
