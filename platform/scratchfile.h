#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// An unnamed temporary file in a given folder, written and read at byte
// offsets. Its name is removed as soon as it is made, so the file goes when
// the object does or when the process ends, however it ends. Not copyable.
class CScratchFile {
public:
    CScratchFile() = default;
    ~CScratchFile();
    CScratchFile(const CScratchFile&) = delete;
    CScratchFile& operator=(const CScratchFile&) = delete;

    // Makes the file in strFolder (closing one made before). False with
    // strError naming the folder and the reason.
    bool Create(const std::string& strFolder, std::string& strError);
    bool IsOpen() const { return m_fd >= 0; }

    // Writes or reads exactly nCount bytes at nOffset; false with strError
    // (a read past what was written is an error too).
    bool WriteAt(uint64_t nOffset, const void* pBytes, size_t nCount, std::string& strError);
    bool ReadAt(uint64_t nOffset, void* pBytes, size_t nCount, std::string& strError) const;

private:
    bool Fail(const std::string& strWhat, int nError, std::string& strError) const;

    int m_fd = -1;
    std::string m_strFolder;
};
