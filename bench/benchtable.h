#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A Markdown table, and the number formats the bench prints.
class CBenchTable {
public:
    explicit CBenchTable(std::vector<std::string> header) : m_header(std::move(header)) {}

    void AddRow(std::vector<std::string> row) { m_rows.push_back(std::move(row)); }
    // The table, columns padded for reading as plain text too.
    std::string Format() const;

    // "0.012 ms", "3.4 ms", "1,234 ms" (milliseconds, three significant digits).
    static std::string Milliseconds(double dSeconds);
    // "12.3 s" or "850 ms".
    static std::string Seconds(double dSeconds);
    // "123.4 MB" (10^6 bytes).
    static std::string Megabytes(uint64_t nBytes);
    // "1,234,567".
    static std::string Count(uint64_t n);
    // "3.1×".
    static std::string Ratio(double d);

private:
    std::vector<std::string> m_header;
    std::vector<std::vector<std::string>> m_rows;
};
