#include "model/hitdistribution.h"

#include "model/resultlist.h"

#include <algorithm>
#include <unordered_map>

std::vector<HitCountTag> CHitDistribution::Count(const CResultList& results, Level eLevel,
                                                 const ContentsNodeTag* pWithin) {
    std::unordered_map<const ContentsNodeTag*, HitCountTag> counts;
    results.ForEachRow([&](const ContentsNodeTag* pBook, const ContentsNodeTag* pVolume, int32_t nHits) {
        if (pWithin && pBook != pWithin) return;
        const ContentsNodeTag* pNode = eLevel == Level::Book ? pBook : pVolume;
        HitCountTag& count = counts[pNode];
        count.pNode = pNode;
        ++count.nPages;
        count.nPlaces += nHits;
    });

    // In the order of the contents tree: a walk of the range in pre-order.
    std::vector<HitCountTag> ordered;
    ordered.reserve(counts.size());
    std::vector<const ContentsNodeTag*> stack;
    if (const ContentsNodeTag* pRange = results.GetRange()) stack.push_back(pRange);
    while (!stack.empty() && ordered.size() + (counts.count(nullptr) ? 1 : 0) < counts.size()) {
        const ContentsNodeTag* pNode = stack.back();
        stack.pop_back();
        if (const auto it = counts.find(pNode); it != counts.end() && pNode) ordered.push_back(it->second);
        for (auto it = pNode->children.rbegin(); it != pNode->children.rend(); ++it) stack.push_back(it->get());
    }
    if (const auto it = counts.find(nullptr); it != counts.end()) ordered.push_back(it->second);
    return ordered;
}

bool CHitDistribution::ParseLevel(const std::string& strName, Level& eLevel) {
    if (strName == "book")
        eLevel = Level::Book;
    else if (strName == "volume")
        eLevel = Level::Volume;
    else
        return false;
    return true;
}
