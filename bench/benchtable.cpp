#include "bench/benchtable.h"

#include "text/codeconverter.h"

#include <algorithm>
#include <cstdio>

namespace {

// Columns as a terminal shows them: East Asian wide characters take two.
size_t DisplayWidth(const std::string& strText) {
    size_t n = 0;
    for (char32_t c : CCodeConverter::Utf8ToUtf32(strText)) {
        const bool bWide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
                           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
                           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
        n += bWide ? 2 : 1;
    }
    return n;
}

std::string Format3(double d) {
    char sz[64];
    if (d >= 100)
        std::snprintf(sz, sizeof sz, "%.0f", d);
    else if (d >= 10)
        std::snprintf(sz, sizeof sz, "%.1f", d);
    else if (d >= 1)
        std::snprintf(sz, sizeof sz, "%.2f", d);
    else if (d >= 0.1)
        std::snprintf(sz, sizeof sz, "%.3f", d);
    else
        std::snprintf(sz, sizeof sz, "%.4f", d);
    return sz;
}

}  // namespace

std::string CBenchTable::Format() const {
    const size_t nColumns = m_header.size();
    std::vector<size_t> widths(nColumns, 3);
    auto measure = [&](const std::vector<std::string>& row) {
        for (size_t i = 0; i < nColumns && i < row.size(); ++i) widths[i] = std::max(widths[i], DisplayWidth(row[i]));
    };
    measure(m_header);
    for (const auto& row : m_rows) measure(row);
    auto line = [&](const std::vector<std::string>& row) {
        std::string out = "|";
        for (size_t i = 0; i < nColumns; ++i) {
            const std::string strCell = i < row.size() ? row[i] : std::string();
            out += " " + strCell + std::string(widths[i] - DisplayWidth(strCell), ' ') + " |";
        }
        return out + "\n";
    };
    std::string out = line(m_header);
    out += "|";
    for (size_t i = 0; i < nColumns; ++i) out += std::string(widths[i] + 2, '-') + "|";
    out += "\n";
    for (const auto& row : m_rows) out += line(row);
    return out;
}

std::string CBenchTable::Milliseconds(double dSeconds) {
    const double dMs = dSeconds * 1000;
    if (dMs >= 1000) return Count(static_cast<uint64_t>(dMs + 0.5)) + " ms";
    return Format3(dMs) + " ms";
}

std::string CBenchTable::Seconds(double dSeconds) {
    if (dSeconds < 1) return Milliseconds(dSeconds);
    return Format3(dSeconds) + " s";
}

std::string CBenchTable::Megabytes(uint64_t nBytes) {
    return Format3(static_cast<double>(nBytes) / 1e6) + " MB";
}

std::string CBenchTable::Count(uint64_t n) {
    std::string s = std::to_string(n);
    for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3) s.insert(static_cast<size_t>(i), ",");
    return s;
}

std::string CBenchTable::Ratio(double d) {
    return Format3(d) + "×";
}
