#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A file opened for binary reading: seek, read, length and close. Every
// failure of the operating system throws CFileException; a read never
// reaches past the end of the file (it returns fewer bytes instead).
// Not copyable; movable.
class CReadOnlyFile {
public:
    CReadOnlyFile() = default;
    ~CReadOnlyFile();
    CReadOnlyFile(const CReadOnlyFile&) = delete;
    CReadOnlyFile& operator=(const CReadOnlyFile&) = delete;
    CReadOnlyFile(CReadOnlyFile&& other) noexcept;
    CReadOnlyFile& operator=(CReadOnlyFile&& other) noexcept;

    // Opens strPath read-only. Throws CFileException on failure (and when
    // the path names a directory). Closes whatever was open before.
    void Open(const std::string& strPath);
    // Like Open, but reports failure with false instead of throwing.
    bool TryOpen(const std::string& strPath);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_strPath; }

    // Length of the file in bytes. REQUIRES: IsOpen().
    uint64_t GetLength() const;
    // Moves the current position; positions beyond the end are allowed
    // (a later Read then returns 0). REQUIRES: IsOpen().
    void Seek(uint64_t nOffset);
    uint64_t GetPosition() const { return m_nPos; }
    // Reads up to nCount bytes at the current position into pBuffer and
    // advances the position; returns the number of bytes read (fewer only at
    // the end of the file). REQUIRES: IsOpen().
    size_t Read(void* pBuffer, size_t nCount);
    // Reads exactly nCount bytes or throws CFileException ("unexpected end
    // of file").
    void ReadExactly(void* pBuffer, size_t nCount);

    // Reads the whole file at strPath. Throws CFileException. Refuses files
    // larger than nMaxBytes, so that a hostile file cannot exhaust memory.
    static std::string ReadAll(const std::string& strPath, uint64_t nMaxBytes);

private:
    int m_fd = -1;
    uint64_t m_nPos = 0;
    std::string m_strPath;
};
