#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Takes a fuzzer's bytes apart, field by field; reading past the end gives
// zeros, so any input decodes.
class CFuzzInput {
public:
    CFuzzInput(const uint8_t* pData, size_t nSize) : m_pData(pData), m_nSize(nSize) {}

    uint8_t Byte() { return m_nAt < m_nSize ? m_pData[m_nAt++] : 0; }
    uint32_t Uint32() {
        uint32_t n = 0;
        for (int i = 0; i < 4; ++i) n |= static_cast<uint32_t>(Byte()) << (8 * i);
        return n;
    }
    // Up to nMax bytes, as a string.
    std::string Bytes(size_t nMax) {
        size_t n = std::min(nMax, m_nSize - m_nAt);
        std::string s(reinterpret_cast<const char*>(m_pData + m_nAt), n);
        m_nAt += n;
        return s;
    }
    std::string Rest() { return Bytes(m_nSize - m_nAt); }
    // The rest as UTF-16 units (little-endian pairs).
    std::u16string RestUtf16() {
        std::u16string s;
        while (m_nAt + 1 < m_nSize) {
            s.push_back(static_cast<char16_t>(m_pData[m_nAt] | m_pData[m_nAt + 1] << 8));
            m_nAt += 2;
        }
        m_nAt = m_nSize;
        return s;
    }

private:
    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nAt = 0;
};

// A private folder for the files a target writes, made once per process.
std::string FuzzFolder();
// Writes strBytes to strPath (replacing it).
void WriteFuzzFile(const std::string& strPath, const std::string& strBytes);
