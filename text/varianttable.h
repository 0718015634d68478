#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The variant-character table "yitizi.txt": groups of code points that a
// search with variants on treats as one character.
//
// File grammar (8-bit text, read whole):
//   file  := line ( 0x0A line )*        empty lines give no group
//   line  := field ( ',' field )*       empty fields give no member
//   field := a hexadecimal number read as strtoul(field, 16) does;
//            no digits gives member 0
// Example: "56FD,570B,56EF\n4E2D\n" is two groups; group 0 holds
// U+56FD U+570B U+56EF and is searched under slot 88,065, group 1 (U+4E2D)
// under 88,066.
//
// A code point in several groups belongs to the first of them.
class CVariantTable {
public:
    static constexpr int32_t VariantSlotBase = 88065;
    static constexpr int32_t MaxSlot = 99999;
    // Groups beyond this many have no slot of their own.
    static constexpr size_t MaxSearchableGroups = MaxSlot - VariantSlotBase + 1;  // 11,935
    // A table file larger than this is not loaded.
    static constexpr uint64_t MaxFileBytes = 64u << 20;

    using Group = std::vector<uint32_t>;

    // Replaces the table with the groups of strBytes.
    void Parse(const std::string& strBytes);
    // Empties the table, then loads the file strPath (a corpus's
    // "yitizi.txt"). A missing, unreadable or oversized file leaves the
    // table empty; returns whether a file was read.
    bool LoadFile(const std::string& strPath);
    void Clear();

    // The text form of the table, one group a line as upper-case hex fields
    // separated by commas (an empty group as a lone comma): Parse reads the
    // same groups back.
    static std::string Format(const std::vector<Group>& groups);

    const std::vector<Group>& Groups() const { return m_groups; }
    bool Empty() const { return m_groups.empty(); }

    // Index of the first group holding nCodePoint, or -1.
    int32_t GroupOf(uint32_t nCodePoint) const;
    // If nCodePoint belongs to a group that has a slot, sets nSlot to the
    // group's slot and returns true; otherwise leaves nSlot alone.
    bool MapVariantSlot(uint32_t nCodePoint, int32_t& nSlot) const;

    // The members of the first group holding c, in group order, or c alone.
    std::vector<char32_t> VariantsOf(char32_t c) const;

    // Most strings ExpandVariants makes, and most UTF-16 units in all of
    // them together: enough for any keyword a reader types (a 12-character
    // phrase of characters with two forms each is 4,096 strings), small
    // enough that rendering them all stays quick.
    static constexpr size_t MaxCombinations = 4096;
    static constexpr size_t MaxExpandedUnits = 1u << 22;

    // Every combination of the variant forms of strKeywords, one string per
    // combination: each character (a surrogate pair is one, spaces and
    // wildcards stand for themselves) takes each member of its group in
    // turn, the first character varying slowest. The first string takes
    // every character's first group member, not necessarily the typed form.
    // When the product exceeds the bounds above, the result is the keywords
    // as typed, then, term by term, as many of each term's combinations as
    // the bounds allow; returns false in that case.
    bool ExpandVariants(const std::u16string& strKeywords, std::vector<std::u16string>& out) const;

    // The keywords that the page display applies to strPage: the distinct
    // keywords (cut at U+0020 and U+3000) of the whole, unbounded
    // ExpandVariants of strKeywords, in the order in which they first
    // appear there, leaving out each form that cannot mark anything on the
    // page because one of its literals (the runs between "*" and "?") does
    // not occur in strPage's bytes. Marking these on the page gives the same
    // display page as marking every combination, while their number is
    // bounded by what the page holds, not by the product of the group sizes:
    // a 12-character phrase of characters with three forms each has 531,441
    // combinations, of which a page holds a handful. Empty when no form can
    // mark anything. Falls back to ExpandVariants (whole keyword strings,
    // which the page display cuts the same way), and returns false, when a
    // hostile table or page would make the search of the page too long.
    bool ExpandVariantsOnPage(const std::u16string& strKeywords, const std::string& strPage,
                              std::vector<std::u16string>& out) const;

private:
    std::vector<Group> m_groups;
    std::unordered_map<uint32_t, int32_t> m_firstGroup;  // code point -> first group
};
