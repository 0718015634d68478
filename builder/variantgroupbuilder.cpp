#include "builder/variantgroupbuilder.h"

#include <algorithm>
#include <map>

uint32_t CVariantGroupBuilder::Find(uint32_t n) const {
    uint32_t x = m_parent.emplace(n, n).first->first;
    // Path halving keeps the chains short without recursion.
    while (m_parent[x] != x) {
        const uint32_t nGrand = m_parent[m_parent[x]];
        m_parent[x] = nGrand;
        x = nGrand;
    }
    return x;
}

void CVariantGroupBuilder::Join(uint32_t a, uint32_t b) {
    ++m_nRelations;
    const uint32_t ra = Find(a), rb = Find(b);
    if (ra != rb) m_parent[std::max(ra, rb)] = std::min(ra, rb);
}

std::vector<CVariantGroupBuilder::Group> CVariantGroupBuilder::Build(size_t& nDropped) const {
    std::vector<uint32_t> members;
    members.reserve(m_parent.size());
    for (const auto& entry : m_parent) members.push_back(entry.first);
    std::map<uint32_t, Group> byRoot;
    for (uint32_t n : members) byRoot[Find(n)].push_back(n);
    std::vector<Group> groups;
    for (auto& entry : byRoot) {
        Group& group = entry.second;
        if (group.size() < 2) continue;  // a character named as its own variant only
        std::sort(group.begin(), group.end());
        groups.push_back(std::move(group));
    }
    nDropped = 0;
    if (groups.size() > MaxGroups) {
        nDropped = groups.size() - MaxGroups;
        groups.resize(MaxGroups);
    }
    return groups;
}
