#pragma once

#include "import/piecereader.h"

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CVariantTable;

// What CPoemMatcher finds for a poem.
enum class PoemVerdict {
    Exact,    // in the reference word for word, under the same name
    Loose,    // in it with a few characters differing, or under another form of the name
    Lacking,  // not in the reference, or only in part
    Empty,    // no text to compare (punctuation only): neither in it nor lacking
};

// How many poems got each verdict.
struct PoemMatchSummary {
    size_t exact = 0;
    size_t loose = 0;
    size_t lacking = 0;
    size_t empty = 0;
};

// Tells which poems of one collection another lacks: the Tang poems of the
// package's quantangshi/poet.tang.* against its 御定全唐詩, which holds most
// of them, cut differently (a poem of several parts is one piece there),
// with other variant characters and, in a quarter of its poems, with lines
// lost (a paragraph ends at a comma and the rest of it is missing).
//
// Texts are compared as clauses: the runs of ideographs between other
// characters, each ideograph folded to its variant group (the table the
// builder writes, so that what agrees here is what a search with variants
// on finds), editorial notes in brackets （…） left out. A poem is in the
// reference when, among the reference poems that share a clause with it
// and whose author agrees,
//   - one holds its first line word for word (a poem is looked up by its
//     first line, which must then find it), and
//   - they hold every other clause word for word or, for a clause of at
//     least MinLooseChars characters, with at most one character in
//     CharsPerDifference differing (a substitution that recurs counts
//     once: 悽悽 for 淒淒).
// Punctuation may differ: a clause is looked for in the poem's ideographs
// run together. Authors agree when the names are the same (folded, without
// the digits that tell namesakes apart: 崔融1), when either is unknown (不詳,
// 佚名, 無名氏 …), when one name holds the other (僧貫休 and 貫休), or when at
// least AliasPoems poems under one name are in the reference word for word
// under the other and none under their own (明皇帝 and 李隆基, 清晝 and 皎然).
// It is in loosely when a clause differs or the author agrees only so.
//
// Deterministic: the result depends only on the poems and their order.
// The work of one Judge is bounded (MaxWork character comparisons, some 40
// times what the package needs), so that a hostile package cannot make the
// import run for hours: past it, Judge fails.
class CPoemMatcher {
public:
    static constexpr size_t AliasPoems = 3;
    static constexpr size_t CharsPerDifference = 4;
    static constexpr size_t MinLooseChars = 4;
    static constexpr uint64_t MaxWork = 4000000000ull;
    static constexpr size_t MaxNameChars = 64;  // longer names are compared by their start
    // The reference holds at most this many characters (御定全唐詩: 2.6 million).
    static constexpr size_t MaxReferenceChars = 32u << 20;

    // The table to fold with; nullptr (or an empty one) folds nothing. It
    // must outlive the matcher's use.
    void SetVariants(const CVariantTable* pVariants) { m_pVariants = pVariants; }
    // Forgets the reference and the summary.
    void Clear();

    // Adds a poem of the reference; false (and nothing added) when the
    // reference would pass MaxReferenceChars.
    bool AddReference(const Piece& piece);
    // The verdict on each of poems, judged together (the aliases are
    // learned from them all); adds them to Summary. False with strError
    // when the poems would take more than MaxWork to compare.
    bool Judge(const std::vector<Piece>& poems, std::vector<PoemVerdict>& verdicts /* OUT */,
               std::string& strError /* OUT */);

    const PoemMatchSummary& Summary() const { return m_summary; }

private:
    using Folded = std::u32string;

    struct ReferenceTag {
        uint32_t nAuthor;
        Folded text;  // the clauses run together
    };
    struct ClauseTag {
        uint64_t nHash;
        uint32_t nPoem;
        bool operator<(const ClauseTag& o) const { return nHash != o.nHash ? nHash < o.nHash : nPoem < o.nPoem; }
    };
    // A poem asked about.
    struct QueryTag {
        uint32_t nAuthor = 0;
        std::vector<Folded> clauses;
        size_t nFirstLine = 0;            // clauses[0 .. nFirstLine) are its first line
        std::vector<uint32_t> candidates;  // reference poems sharing a clause, ascending
    };

    char32_t Fold(char32_t c) const;
    // The clauses of lines ("# " headings left out); nFirstLine as above.
    std::vector<Folded> Clauses(const std::vector<std::string>& lines, size_t& nFirstLine /* OUT */) const;
    uint32_t AuthorId(const std::string& strName);
    // Same name, either unknown, or one name holding the other.
    bool NamesAgree(uint32_t nA, uint32_t nB) const;
    QueryTag Prepare(const Piece& poem);
    std::set<std::pair<uint32_t, uint32_t>> LearnAliases(const std::vector<QueryTag>& queries) const;
    PoemVerdict JudgeOne(const QueryTag& query, const std::set<std::pair<uint32_t, uint32_t>>& aliases) const;
    // Whether the poems hold the query as the rules above say; bLoose is set
    // when a clause only nearly agrees.
    bool Hold(const QueryTag& query, const std::vector<uint32_t>& poems, bool& bLoose /* OUT */) const;
    static uint64_t Hash(const Folded& clause);
    // Counts nWork into the work of this Judge; false (for good) once it
    // would pass MaxWork.
    bool Charge(uint64_t nWork) const;
    // Whether text holds clause (false once the work is spent).
    bool Holds(const Folded& text, const Folded& clause) const;
    // Whether text holds clause with at most nMax substitutions, each pair
    // of characters counted once.
    bool NearlyHolds(const Folded& text, const Folded& clause, size_t nMax) const;

    const CVariantTable* m_pVariants = nullptr;
    std::vector<Folded> m_authorNames;  // by author id
    std::vector<bool> m_unknownAuthor;  // by author id
    std::unordered_map<Folded, uint32_t> m_authorIds;
    std::vector<ReferenceTag> m_reference;
    size_t m_nReferenceChars = 0;
    std::vector<ClauseTag> m_clauses;  // sorted before the first query
    bool m_bSorted = true;
    mutable uint64_t m_nWork = 0;  // of the current Judge
    mutable bool m_bSpent = false;
    PoemMatchSummary m_summary;
};
