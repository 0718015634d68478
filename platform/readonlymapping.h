#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A read-only view of a whole file mapped into memory. The view stays valid
// until Close() or destruction; the bytes must never be written. Not
// copyable.
class CReadOnlyMapping {
public:
    CReadOnlyMapping() = default;
    ~CReadOnlyMapping();
    CReadOnlyMapping(const CReadOnlyMapping&) = delete;
    CReadOnlyMapping& operator=(const CReadOnlyMapping&) = delete;

    // Maps the whole file at strPath. Throws CFileException when the file
    // cannot be opened, is empty (an empty file cannot be mapped) or the
    // mapping fails. Closes whatever was mapped before.
    void Open(const std::string& strPath);
    void Close();
    bool IsOpen() const { return m_pData != nullptr; }

    const uint8_t* Data() const { return m_pData; }
    uint64_t Size() const { return m_nSize; }

private:
    const uint8_t* m_pData = nullptr;
    uint64_t m_nSize = 0;
};
