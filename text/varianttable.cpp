#include "text/varianttable.h"

#include "platform/fileexception.h"
#include "platform/readonlyfile.h"

#include <cstdio>

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

bool CVariantTable::Load(const std::string& strFolder) {
    Clear();
    try {
        Parse(CReadOnlyFile::ReadAll(strFolder + "/yitizi.txt", MaxFileBytes));
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
