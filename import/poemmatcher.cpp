#include "import/poemmatcher.h"

#include "text/codeconverter.h"
#include "text/varianttable.h"

#include <algorithm>
#include <map>
#include <string>

namespace {

// Names the package gives where the author is not known.
const char* const kUnknownAuthors[] = {"不詳", "佚名", "無名氏", "缺名", "闕名", "失名"};

bool IsIdeograph(char32_t c) {
    return (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

bool HoldsName(const std::u32string& name, const std::u32string& part) {
    return name.find(part) != std::u32string::npos;
}

}  // namespace

void CPoemMatcher::Clear() {
    m_authorNames.clear();
    m_unknownAuthor.clear();
    m_authorIds.clear();
    m_reference.clear();
    m_nReferenceChars = 0;
    m_clauses.clear();
    m_bSorted = true;
    m_summary = PoemMatchSummary{};
}

char32_t CPoemMatcher::Fold(char32_t c) const {
    if (!m_pVariants) return c;
    const int32_t nGroup = m_pVariants->GroupOf(c);
    // Above Unicode: a group never meets a character that is in none.
    return nGroup < 0 ? c : static_cast<char32_t>(0x110000 + nGroup);
}

std::vector<CPoemMatcher::Folded> CPoemMatcher::Clauses(const std::vector<std::string>& lines, size_t& nFirstLine) const {
    std::vector<Folded> clauses;
    nFirstLine = 0;
    for (const std::string& strLine : lines) {
        if (strLine.compare(0, 2, "# ") == 0) continue;
        Folded clause;
        auto end = [&] {
            if (!clause.empty()) clauses.push_back(std::move(clause));
            clause.clear();
        };
        int nDepth = 0;  // inside an editorial note
        for (char32_t c : CCodeConverter::Utf8ToUtf32(strLine)) {
            if (c == U'（' || c == U'(') {
                ++nDepth;
                end();
            } else if ((c == U'）' || c == U')') && nDepth > 0) {
                --nDepth;
                end();
            } else if (nDepth == 0 && IsIdeograph(c)) {
                clause.push_back(Fold(c));
            } else if (nDepth == 0) {
                end();
            }
        }
        end();
        if (nFirstLine == 0) nFirstLine = clauses.size();
    }
    return clauses;
}

uint32_t CPoemMatcher::AuthorId(const std::string& strName) {
    Folded name;
    for (char32_t c : CCodeConverter::Utf8ToUtf32(strName))
        if (IsIdeograph(c) && name.size() < MaxNameChars) name.push_back(Fold(c));  // not the digits of 崔融1, nor 、
    auto it = m_authorIds.find(name);
    if (it != m_authorIds.end()) return it->second;
    bool bUnknown = false;
    for (const char* pszUnknown : kUnknownAuthors) {
        Folded unknown;
        for (char32_t c : CCodeConverter::Utf8ToUtf32(pszUnknown)) unknown.push_back(Fold(c));
        bUnknown = bUnknown || unknown == name;
    }
    const uint32_t nId = static_cast<uint32_t>(m_authorNames.size());
    m_authorNames.push_back(name);
    m_unknownAuthor.push_back(bUnknown || name.empty());
    m_authorIds.emplace(std::move(name), nId);
    return nId;
}

bool CPoemMatcher::NamesAgree(uint32_t nA, uint32_t nB) const {
    if (nA == nB || m_unknownAuthor[nA] || m_unknownAuthor[nB]) return true;
    const Folded& a = m_authorNames[nA];
    const Folded& b = m_authorNames[nB];
    if (a.size() < 2 || b.size() < 2) return false;
    return a.size() > b.size() ? HoldsName(a, b) : HoldsName(b, a);
}

uint64_t CPoemMatcher::Hash(const Folded& clause) {
    uint64_t nHash = 14695981039346656037ull;  // FNV-1a
    for (char32_t c : clause) {
        nHash ^= static_cast<uint64_t>(c);
        nHash *= 1099511628211ull;
    }
    return nHash;
}

bool CPoemMatcher::Charge(uint64_t nWork) const {
    if (m_bSpent || nWork > MaxWork - m_nWork) return !(m_bSpent = true);
    m_nWork += nWork;
    return true;
}

bool CPoemMatcher::Holds(const Folded& text, const Folded& clause) const {
    return Charge(text.size() + 1) && text.find(clause) != Folded::npos;
}

bool CPoemMatcher::NearlyHolds(const Folded& text, const Folded& clause, size_t nMax) const {
    if (clause.size() > text.size() || !Charge(static_cast<uint64_t>(text.size()) * clause.size() + 1)) return false;
    std::vector<std::pair<char32_t, char32_t>> substitutions;
    for (size_t nStart = 0; nStart + clause.size() <= text.size(); ++nStart) {
        substitutions.clear();
        bool bNear = true;
        for (size_t i = 0; i < clause.size() && bNear; ++i) {
            const std::pair<char32_t, char32_t> pair(clause[i], text[nStart + i]);
            if (pair.first == pair.second ||
                std::find(substitutions.begin(), substitutions.end(), pair) != substitutions.end())
                continue;
            substitutions.push_back(pair);
            bNear = substitutions.size() <= nMax;
        }
        if (bNear) return true;
    }
    return false;
}

bool CPoemMatcher::AddReference(const Piece& piece) {
    size_t nFirstLine;
    const std::vector<Folded> clauses = Clauses(piece.paragraphs, nFirstLine);
    if (clauses.empty()) return true;
    ReferenceTag poem{AuthorId(piece.author), Folded()};
    for (const Folded& clause : clauses) poem.text += clause;
    if (poem.text.size() > MaxReferenceChars - m_nReferenceChars) return false;
    m_nReferenceChars += poem.text.size();
    const uint32_t nPoem = static_cast<uint32_t>(m_reference.size());
    for (const Folded& clause : clauses) m_clauses.push_back({Hash(clause), nPoem});
    m_reference.push_back(std::move(poem));
    m_bSorted = false;
    return true;
}

CPoemMatcher::QueryTag CPoemMatcher::Prepare(const Piece& poem) {
    QueryTag query;
    query.nAuthor = AuthorId(poem.author);
    query.clauses = Clauses(poem.paragraphs, query.nFirstLine);
    for (const Folded& clause : query.clauses) {
        const uint64_t nHash = Hash(clause);
        auto it = std::lower_bound(m_clauses.begin(), m_clauses.end(), ClauseTag{nHash, 0});
        for (; it != m_clauses.end() && it->nHash == nHash && Charge(1); ++it) query.candidates.push_back(it->nPoem);
    }
    std::sort(query.candidates.begin(), query.candidates.end());
    query.candidates.erase(std::unique(query.candidates.begin(), query.candidates.end()), query.candidates.end());
    return query;
}

std::set<std::pair<uint32_t, uint32_t>> CPoemMatcher::LearnAliases(const std::vector<QueryTag>& queries) const {
    std::map<std::pair<uint32_t, uint32_t>, size_t> counts;
    std::vector<uint32_t> authors, poems;
    for (const QueryTag& query : queries) {
        authors.clear();
        for (uint32_t nPoem : query.candidates) authors.push_back(m_reference[nPoem].nAuthor);
        std::sort(authors.begin(), authors.end());
        authors.erase(std::unique(authors.begin(), authors.end()), authors.end());
        if (query.clauses.empty() || std::binary_search(authors.begin(), authors.end(), query.nAuthor)) continue;
        for (uint32_t nAuthor : authors) {
            if (!Charge(query.candidates.size() + query.clauses.size())) return {};
            if (m_unknownAuthor[nAuthor] || NamesAgree(query.nAuthor, nAuthor)) continue;
            poems.clear();
            for (uint32_t nPoem : query.candidates)
                if (m_reference[nPoem].nAuthor == nAuthor) poems.push_back(nPoem);
            const bool bAll = std::all_of(query.clauses.begin(), query.clauses.end(), [&](const Folded& clause) {
                return std::any_of(poems.begin(), poems.end(),
                                   [&](uint32_t nPoem) { return Holds(m_reference[nPoem].text, clause); });
            });
            if (bAll) ++counts[{query.nAuthor, nAuthor}];
        }
    }
    std::set<std::pair<uint32_t, uint32_t>> aliases;
    for (const auto& count : counts)
        if (count.second >= AliasPoems) aliases.insert(count.first);
    return aliases;
}

bool CPoemMatcher::Hold(const QueryTag& query, const std::vector<uint32_t>& poems, bool& bLoose) const {
    bLoose = false;
    auto anyHolds = [&](const Folded& clause) {
        return std::any_of(poems.begin(), poems.end(), [&](uint32_t nPoem) { return Holds(m_reference[nPoem].text, clause); });
    };
    const bool bFirstLine = std::any_of(poems.begin(), poems.end(), [&](uint32_t nPoem) {
        return std::all_of(query.clauses.begin(), query.clauses.begin() + query.nFirstLine,
                           [&](const Folded& clause) { return Holds(m_reference[nPoem].text, clause); });
    });
    if (!bFirstLine) return false;
    for (size_t i = query.nFirstLine; i < query.clauses.size(); ++i) {
        const Folded& clause = query.clauses[i];
        if (!Charge(poems.size())) return false;
        if (anyHolds(clause)) continue;
        if (clause.size() < MinLooseChars) return false;
        const size_t nMax = clause.size() / CharsPerDifference;
        if (!std::any_of(poems.begin(), poems.end(),
                         [&](uint32_t nPoem) { return NearlyHolds(m_reference[nPoem].text, clause, nMax); }))
            return false;
        bLoose = true;
    }
    return true;
}

PoemVerdict CPoemMatcher::JudgeOne(const QueryTag& query, const std::set<std::pair<uint32_t, uint32_t>>& aliases) const {
    if (query.clauses.empty()) return PoemVerdict::Empty;
    // First the poems under the same name; then those whose author agrees
    // otherwise, which makes a match loose.
    std::vector<uint32_t> same, other;
    if (!Charge(query.candidates.size())) return PoemVerdict::Lacking;
    for (uint32_t nPoem : query.candidates) {
        const uint32_t nAuthor = m_reference[nPoem].nAuthor;
        if (nAuthor == query.nAuthor)
            same.push_back(nPoem);
        else if (NamesAgree(query.nAuthor, nAuthor) || aliases.count({query.nAuthor, nAuthor}))
            other.push_back(nPoem);
    }
    bool bLoose = false;
    if (!same.empty() && Hold(query, same, bLoose)) return bLoose ? PoemVerdict::Loose : PoemVerdict::Exact;
    if (!other.empty() && Hold(query, other, bLoose)) return PoemVerdict::Loose;
    return PoemVerdict::Lacking;
}

bool CPoemMatcher::Judge(const std::vector<Piece>& poems, std::vector<PoemVerdict>& verdicts, std::string& strError) {
    verdicts.clear();
    if (!m_bSorted) {
        std::sort(m_clauses.begin(), m_clauses.end());
        m_bSorted = true;
    }
    m_nWork = 0;
    m_bSpent = false;
    std::vector<QueryTag> queries;
    queries.reserve(poems.size());
    for (size_t i = 0; i < poems.size() && !m_bSpent; ++i) queries.push_back(Prepare(poems[i]));
    const std::set<std::pair<uint32_t, uint32_t>> aliases = m_bSpent ? std::set<std::pair<uint32_t, uint32_t>>()
                                                                      : LearnAliases(queries);
    PoemMatchSummary summary = m_summary;
    for (size_t i = 0; i < queries.size() && !m_bSpent; ++i) {
        verdicts.push_back(JudgeOne(queries[i], aliases));
        switch (verdicts.back()) {
        case PoemVerdict::Exact: ++summary.exact; break;
        case PoemVerdict::Loose: ++summary.loose; break;
        case PoemVerdict::Lacking: ++summary.lacking; break;
        case PoemVerdict::Empty: ++summary.empty; break;
        }
    }
    if (m_bSpent) {
        verdicts.clear();
        strError = "too many or too long poems to compare (more than " + std::to_string(MaxWork) +
                   " character comparisons)";
        return false;
    }
    m_summary = summary;
    return true;
}
