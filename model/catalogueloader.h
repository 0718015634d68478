#pragma once

#include "model/contentstree.h"

#include <cstdint>
#include <string>
#include <vector>

// Reads the catalogue "vmk.dir" into a contents tree and notes what in the
// file does not fit the table or the outline. Each problem is a record of
// its kind and numbers, so that the reader and the command-line tool word
// them in their own language; neither stops at a problem: the records are
// loaded as far as they go.
class CCatalogueLoader {
public:
    struct Problem {
        enum Kind {
            TooManyRecords,   // more than CCatalog::MaxRecords; the rest were not read
            ShortLastRecord,  // the file does not end on a record boundary; the rest read as zeros
            NameWithoutEnd,   // nSlot's name fills all CCatalog::NameUnits units without a zero
            LevelOutsideTree, // nSlot's nLevel is not 1 to 3; the record has no node
            NoParent,         // no record of level nLevel - 1 before nSlot's; its node is outside the tree
        };
        Kind eKind;
        int32_t nSlot = 0;        // the record's slot; 0 for the file as a whole
        int32_t nLevel = 0;       // the record's level
        uint64_t nFileBytes = 0;  // ShortLastRecord: the size of the file
        uint64_t nLastBytes = 0;  // ShortLastRecord: the bytes of the last record
    };

    // Clears tree and adds the records of the catalogue at strPath in file
    // order, noting the problems (those of the file first, then those of
    // each record in slot order). False, with strError naming the file and
    // the reason and the tree left empty, when the file cannot be read.
    bool Load(const std::string& strPath, CContentsTree& tree, std::string& strError);

    // The problems of the last Load.
    const std::vector<Problem>& Problems() const { return m_problems; }

private:
    std::vector<Problem> m_problems;
};
