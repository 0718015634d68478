#pragma once

#include "model/contentsnode.h"

#include <cstdint>
#include <string>
#include <vector>

class CResultList;

// The pages and places of a node of the contents tree in a search's rows.
struct HitCountTag {
    const ContentsNodeTag* pNode = nullptr;  // null: rows that no book (or volume) holds
    int64_t nPages = 0;
    int64_t nPlaces = 0;
};

// Where the hits of a search fall: the pages and places of every row (the
// list narrowed or not) per book or per volume, in the order of the
// contents tree, so that a reader sees which books and volumes hold them.
// No user interface: the window's chart and the command line both use it.
class CHitDistribution {
public:
    enum class Level { Book, Volume };

    // Counts the rows of results per book or per volume; with pWithin (a
    // book), only the volumes under it. Nodes without a row are left out;
    // rows without a book or volume are counted under a null node, last.
    static std::vector<HitCountTag> Count(const CResultList& results, Level eLevel,
                                          const ContentsNodeTag* pWithin = nullptr);

    // Levels from their names in the command line: book, volume.
    static bool ParseLevel(const std::string& strName, Level& eLevel /* OUT */);
};
