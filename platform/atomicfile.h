#pragma once

#include <cstdint>
#include <string>

// The one way the program writes a file, so that no reader ever sees half
// of one:
//
//  - Durable: the bytes go to a temporary name beside the file (the name
//    and ".tmp-" and six random characters), are synced to disk, and the
//    temporary is renamed over the file, whose folder is synced then. Until
//    Commit the file keeps its old contents; a file abandoned (an error, the
//    object destroyed, the program killed) leaves at most a temporary name.
//  - Staged: for a file inside a CStagingFolder, which is synced and put in
//    place whole: the bytes go straight to the name, with no sync of their
//    own.
//
// Either way a write that fails (a full disk, a file-size limit) says which
// file and why. Not copyable.
class CAtomicFile {
public:
    enum class Mode { Durable, Staged };

    CAtomicFile() = default;
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // Starts the file strPath. False with strError when it cannot be made.
    bool Open(const std::string& strPath, Mode eMode, std::string& strError);
    // Appends bytes. REQUIRES: Open succeeded and no Commit yet.
    bool Append(const char* pData, size_t nSize, std::string& strError);
    bool Append(const std::string& strBytes, std::string& strError) {
        return Append(strBytes.data(), strBytes.size(), strError);
    }
    // Finishes the file: closes it (Durable: syncs and renames it into
    // place). False with strError; the file is then as it was before Open
    // (Durable) or incomplete (Staged).
    bool Commit(std::string& strError);
    uint64_t Size() const { return m_nSize; }

    // Open, Append and Commit in one.
    static bool Write(const std::string& strPath, const std::string& strBytes, Mode eMode, std::string& strError);

private:
    bool Fail(const std::string& strWhat, int nError, std::string& strError);
    void Abandon();

    int m_fd = -1;
    Mode m_eMode = Mode::Durable;
    std::string m_strPath;     // the file's name
    std::string m_strWriting;  // the name written to (a temporary when Durable)
    uint64_t m_nSize = 0;
};
