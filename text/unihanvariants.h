#pragma once

#include "text/varianttable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Builds the variant groups of "yitizi.txt" from the variant data of the
// Unicode Han database (Unihan_Variants.txt):
//
//   U+56FD<TAB>kTraditionalVariant<TAB>U+570B
//   U+570B<TAB>kSemanticVariant<TAB>U+56EF<kMeyerWempe
//
// Every character joins the group of each character it names under
// kTraditionalVariant, kSimplifiedVariant, kZVariant or kSemanticVariant
// (union-find, so the relation is made symmetric and transitive): 国, 國 and
// 囯 form one group, as do 学, 學 and 斈. Semantic variants are needed
// because the data gives some common forms (囯 for 國) only as those.
// kSpecializedSemanticVariant (the same meaning only in some uses) and
// kSpoofingVariant are left out; so are other fields.
//
// Members of a group are ordered by code point, groups by their first
// member, so that the same data always gives the same table. Only groups
// of two or more characters are kept. The table gives slots to
// MaxGroups groups; groups beyond that are dropped (DroppedGroups() tells
// how many) rather than kept without a slot, where a search could not use
// them.
class CUnihanVariants {
public:
    // The slots the index has for variant groups (11,935).
    static constexpr size_t MaxGroups = CVariantTable::MaxSearchableGroups;
    // Where Debian's package unicode-data installs the file (compressed).
    static const char* const DefaultPaths[2];

    using Group = CVariantTable::Group;

    // Reads the text of Unihan_Variants.txt. Comment lines ("#") and empty
    // lines are skipped. False with strError ("line N: …") when a line is
    // not "U+XXXX<TAB>field<TAB>value" or a value of a used field is not a
    // list of code points, or when the text holds no variant of a used
    // field at all (not a variant file).
    bool Parse(const std::string& strText, std::string& strError);

    const std::vector<Group>& Groups() const { return m_groups; }
    size_t DroppedGroups() const { return m_nDropped; }
    // Relations read (one per code point named in a used field).
    size_t Relations() const { return m_nRelations; }

private:
    std::vector<Group> m_groups;
    size_t m_nDropped = 0;
    size_t m_nRelations = 0;
};
