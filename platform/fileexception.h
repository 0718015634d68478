#pragma once

#include <stdexcept>
#include <string>

// Thrown by the read-only file layer when the operating system refuses an
// operation or a read runs past the end of a file. what() names the file and
// the reason.
class CFileException : public std::runtime_error {
public:
    CFileException(const std::string& strPath, const std::string& strReason)
        : std::runtime_error(strPath + ": " + strReason), m_strPath(strPath) {}

    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};
