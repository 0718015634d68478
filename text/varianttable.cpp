#include "text/varianttable.h"

#include "platform/fileexception.h"
#include "platform/readonlyfile.h"
#include "text/codeconverter.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// strtoul(field, 16) on [p, pEnd): leading white space, an optional sign and
// "0x" prefix, digits up to the first non-digit. Saturates at 0xFFFFFFFF like
// strtoul on overflow; a negative sign negates modulo 2^32.
uint32_t ParseHexField(const char* p, const char* pEnd) {
    while (p < pEnd && IsSpace(*p)) ++p;
    bool bNegative = false;
    if (p < pEnd && (*p == '+' || *p == '-')) {
        bNegative = *p == '-';
        ++p;
    }
    if (pEnd - p >= 3 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigit(p[2]) >= 0) p += 2;
    uint64_t nValue = 0;
    bool bOverflow = false;
    for (; p < pEnd && HexDigit(*p) >= 0; ++p) {
        nValue = nValue * 16 + static_cast<uint64_t>(HexDigit(*p));
        if (nValue > 0xFFFFFFFFu) {
            bOverflow = true;
            nValue = 0xFFFFFFFFu;
        }
    }
    if (bOverflow) return 0xFFFFFFFFu;
    uint32_t n = static_cast<uint32_t>(nValue);
    return bNegative ? static_cast<uint32_t>(0u - n) : n;
}

}  // namespace

void CVariantTable::Clear() {
    m_groups.clear();
    m_firstGroup.clear();
}

void CVariantTable::Parse(const std::string& strBytes) {
    Clear();
    const char* p = strBytes.data();
    const char* pEnd = p + strBytes.size();
    while (p < pEnd) {
        const char* pLineEnd = p;
        while (pLineEnd < pEnd && *pLineEnd != '\n') ++pLineEnd;
        Group group;
        for (const char* q = p; q < pLineEnd;) {
            const char* pFieldEnd = q;
            while (pFieldEnd < pLineEnd && *pFieldEnd != ',') ++pFieldEnd;
            if (pFieldEnd > q) group.push_back(ParseHexField(q, pFieldEnd));
            q = pFieldEnd + 1;
        }
        // A line of commas only is still a group (with no members): it keeps
        // the numbering, and so the slots, of the groups after it.
        if (pLineEnd > p) {
            int32_t g = static_cast<int32_t>(m_groups.size());
            for (uint32_t c : group) m_firstGroup.emplace(c, g);
            m_groups.push_back(std::move(group));
        }
        p = pLineEnd + 1;
    }
}

bool CVariantTable::LoadFile(const std::string& strPath) {
    Clear();
    try {
        Parse(CReadOnlyFile::ReadAll(strPath, MaxFileBytes));
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

std::string CVariantTable::Format(const std::vector<Group>& groups) {
    std::string out;
    char buf[16];
    for (const Group& group : groups) {
        // An empty group is a line of one comma: it keeps the numbering.
        if (group.empty()) {
            out += ",\n";
            continue;
        }
        for (size_t i = 0; i < group.size(); ++i) {
            std::snprintf(buf, sizeof buf, i ? ",%X" : "%X", group[i]);
            out += buf;
        }
        out += '\n';
    }
    return out;
}

int32_t CVariantTable::GroupOf(uint32_t nCodePoint) const {
    auto it = m_firstGroup.find(nCodePoint);
    return it == m_firstGroup.end() ? -1 : it->second;
}

bool CVariantTable::MapVariantSlot(uint32_t nCodePoint, int32_t& nSlot) const {
    int32_t g = GroupOf(nCodePoint);
    if (g < 0 || static_cast<size_t>(g) >= MaxSearchableGroups) return false;
    nSlot = VariantSlotBase + g;
    return true;
}

std::vector<char32_t> CVariantTable::VariantsOf(char32_t c) const {
    int32_t g = GroupOf(c);
    if (g < 0) return {c};
    return std::vector<char32_t>(m_groups[static_cast<size_t>(g)].begin(), m_groups[static_cast<size_t>(g)].end());
}

namespace {

// Appends the combinations of candidates (first position slowest) to out,
// at most nMax of them. Returns false when it had to stop early.
bool AppendCombinations(const std::vector<std::vector<char32_t>>& candidates, size_t nMax,
                        std::vector<std::u16string>& out) {
    std::vector<size_t> choice(candidates.size(), 0);
    for (size_t n = 0;; ++n) {
        if (n == nMax) return false;
        std::u16string s;
        for (size_t i = 0; i < candidates.size(); ++i) CCodeConverter::AppendUtf16(candidates[i][choice[i]], s);
        out.push_back(std::move(s));
        size_t i = candidates.size();
        while (i > 0 && ++choice[i - 1] == candidates[i - 1].size()) choice[--i] = 0;
        if (i == 0) return true;
    }
}

std::vector<std::vector<char32_t>> Candidates(const CVariantTable& table, const std::u16string& s) {
    std::vector<std::vector<char32_t>> candidates;
    for (char32_t c : CCodeConverter::Utf16ToUtf32(s)) candidates.push_back(table.VariantsOf(c));
    return candidates;
}

}  // namespace

bool CVariantTable::ExpandVariants(const std::u16string& strKeywords, std::vector<std::u16string>& out) const {
    out.clear();
    const std::vector<std::vector<char32_t>> candidates = Candidates(*this, strKeywords);
    // The product, saturating at the bound.
    size_t nProduct = 1;
    for (const auto& list : candidates) {
        nProduct *= std::max<size_t>(list.size(), 1);
        if (nProduct > MaxCombinations) break;
    }
    if (nProduct <= MaxCombinations && nProduct * std::max<size_t>(strKeywords.size(), 1) <= MaxExpandedUnits) {
        AppendCombinations(candidates, MaxCombinations, out);
        return true;
    }
    // Too many: the typed keywords first, so that what was typed is always
    // marked, then each term's own combinations, every term getting an equal
    // share of the room that is left.
    out.push_back(strKeywords);
    std::vector<std::u16string> terms;
    for (size_t nStart = 0; nStart < strKeywords.size();) {
        size_t nEnd = strKeywords.find_first_of(u" \u3000", nStart);
        if (nEnd == std::u16string::npos) nEnd = strKeywords.size();
        if (nEnd > nStart) terms.push_back(strKeywords.substr(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    size_t nUnits = strKeywords.size();
    for (size_t t = 0; t < terms.size(); ++t) {
        const size_t nLeft = terms.size() - t;
        const size_t nUnitRoom = nUnits < MaxExpandedUnits ? (MaxExpandedUnits - nUnits) / (terms[t].size() + 1) : 0;
        const size_t nRoom = std::min((MaxCombinations - out.size()) / nLeft, nUnitRoom / nLeft);
        const size_t nBefore = out.size();
        AppendCombinations(Candidates(*this, terms[t]), nRoom, out);
        for (size_t i = nBefore; i < out.size(); ++i) nUnits += out[i].size() + 1;
    }
    return false;
}

namespace {

// One run of a keyword between wildcards, its characters' forms, and the
// combinations of them that occur in a page.
struct Literal {
    std::vector<std::vector<std::u16string>> forms;  // per character, in group order
    std::vector<std::vector<std::string>> bytes;     // the same forms as the hit marking looks for them
    std::vector<std::vector<uint32_t>> found;        // choice of form per character, ascending
};

// Work bound of the search of one page: steps of the matching below.
constexpr size_t kMaxPageSteps = size_t{1} << 24;

// Adds to literal.found every combination of forms that occurs in strPage
// at byte nAt, from character j on. False when the work bound is passed.
bool MatchAt(Literal& literal, const std::string& strPage, size_t nAt, size_t j, std::vector<uint32_t>& choice,
             std::set<std::vector<uint32_t>>& found, size_t& nSteps) {
    if (j == literal.bytes.size()) {
        found.insert(choice);
        return found.size() <= CVariantTable::MaxCombinations;
    }
    const std::vector<std::string>& candidates = literal.bytes[j];
    for (uint32_t r = 0; r < candidates.size(); ++r) {
        if (++nSteps > kMaxPageSteps) return false;
        const std::string& strForm = candidates[r];
        if (strPage.compare(nAt, strForm.size(), strForm) != 0) continue;
        choice[j] = r;
        if (!MatchAt(literal, strPage, nAt + strForm.size(), j + 1, choice, found, nSteps)) return false;
    }
    return true;
}

}  // namespace

bool CVariantTable::ExpandVariantsOnPage(const std::u16string& strKeywords, const std::string& strPage,
                                         std::vector<std::u16string>& out) const {
    out.clear();
    size_t nSteps = 0;
    // The forms of each term that can mark something, in expansion order.
    std::vector<std::vector<std::u16string>> termForms;
    for (size_t nStart = 0; nStart <= strKeywords.size();) {
        size_t nEnd = strKeywords.find_first_of(u" \u3000", nStart);
        if (nEnd == std::u16string::npos) nEnd = strKeywords.size();
        const std::u16string strTerm = strKeywords.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (strTerm.empty()) continue;

        // The term as literals and the wildcard runs between them.
        std::vector<Literal> literals;
        std::vector<std::u16string> gaps(1);  // gaps[i] comes before literals[i]; one more at the end
        std::u16string strRun;
        auto closeRun = [&]() {
            if (strRun.empty()) return;
            Literal literal;
            for (char32_t c : CCodeConverter::Utf16ToUtf32(strRun)) {
                std::vector<std::u16string> forms;
                std::vector<std::string> bytes;
                for (char32_t v : VariantsOf(c)) {
                    std::u16string strForm;
                    CCodeConverter::AppendUtf16(v, strForm);
                    std::string strBytes;
                    CCodeConverter::ConvertUtf16ToUtf8(strForm, strBytes, true);
                    forms.push_back(std::move(strForm));
                    bytes.push_back(std::move(strBytes));
                }
                literal.forms.push_back(std::move(forms));
                literal.bytes.push_back(std::move(bytes));
            }
            literals.push_back(std::move(literal));
            gaps.emplace_back();
            strRun.clear();
        };
        for (char16_t u : strTerm) {
            if (u == u'*' || u == u'?') {
                closeRun();
                gaps.back().push_back(u);
            } else {
                strRun.push_back(u);
            }
        }
        closeRun();

        // The combinations of each literal that occur in the page.
        bool bAbsent = false;
        for (Literal& literal : literals) {
            std::set<std::vector<uint32_t>> found;
            std::vector<uint32_t> choice(literal.bytes.size(), 0);
            for (size_t nAt = 0; nAt < strPage.size(); ++nAt) {
                if (!MatchAt(literal, strPage, nAt, 0, choice, found, nSteps)) {
                    ExpandVariants(strKeywords, out);
                    return false;
                }
            }
            literal.found.assign(found.begin(), found.end());
            if (literal.found.empty()) bAbsent = true;
        }
        if (bAbsent) {
            termForms.emplace_back();
            continue;
        }
        // Every combination of the literals' occurring forms, the first
        // literal varying slowest (as in ExpandVariants).
        std::vector<std::u16string> forms;
        std::vector<size_t> pick(literals.size(), 0);
        for (;;) {
            std::u16string strForm = gaps[0];
            for (size_t i = 0; i < literals.size(); ++i) {
                const std::vector<uint32_t>& choice = literals[i].found[pick[i]];
                for (size_t j = 0; j < choice.size(); ++j) strForm += literals[i].forms[j][choice[j]];
                strForm += gaps[i + 1];
            }
            forms.push_back(std::move(strForm));
            if (forms.size() == MaxCombinations) break;
            size_t i = literals.size();
            while (i > 0 && ++pick[i - 1] == literals[i - 1].found.size()) pick[--i] = 0;
            if (i == 0) break;
        }
        // Whether the first form is the expansion's first (every character
        // its group's first member): that one is applied with the other
        // terms' first forms, before any term's further forms.
        bool bFirstIsFirst = true;
        for (const Literal& literal : literals)
            for (uint32_t r : literal.found[0]) bFirstIsFirst = bFirstIsFirst && r == 0;
        if (!bFirstIsFirst) forms.insert(forms.begin(), std::u16string());  // no first form
        termForms.push_back(std::move(forms));
    }

    // The order of the whole expansion: every term's first form, then the
    // further forms of the last term, then of the one before it, and so on.
    std::set<std::u16string> seen;
    auto add = [&](const std::u16string& strForm) {
        if (!strForm.empty() && out.size() < MaxCombinations && seen.insert(strForm).second) out.push_back(strForm);
    };
    for (const auto& forms : termForms)
        if (!forms.empty()) add(forms[0]);
    for (auto it = termForms.rbegin(); it != termForms.rend(); ++it)
        for (size_t i = 1; i < it->size(); ++i) add((*it)[i]);
    return true;
}
