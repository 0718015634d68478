#include "platform/scratchfile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

CScratchFile::~CScratchFile() {
    if (m_fd >= 0) ::close(m_fd);
}

bool CScratchFile::Fail(const std::string& strWhat, int nError, std::string& strError) const {
    strError = "a temporary file in " + m_strFolder + ": " + strWhat + " (" + std::strerror(nError) + ")";
    return false;
}

bool CScratchFile::Create(const std::string& strFolder, std::string& strError) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_strFolder = strFolder;
    std::string strTemplate = strFolder + "/.tessaline-scratch-XXXXXX";
    std::vector<char> name(strTemplate.begin(), strTemplate.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return Fail("cannot create it", errno, strError);
    ::unlink(name.data());
    m_fd = fd;
    return true;
}

bool CScratchFile::WriteAt(uint64_t nOffset, const void* pBytes, size_t nCount, std::string& strError) {
    const char* p = static_cast<const char*>(pBytes);
    while (nCount > 0) {
        const ssize_t n = ::pwrite(m_fd, p, nCount, static_cast<off_t>(nOffset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail("cannot write", n < 0 ? errno : ENOSPC, strError);
        p += n;
        nOffset += static_cast<uint64_t>(n);
        nCount -= static_cast<size_t>(n);
    }
    return true;
}

bool CScratchFile::ReadAt(uint64_t nOffset, void* pBytes, size_t nCount, std::string& strError) const {
    char* p = static_cast<char*>(pBytes);
    while (nCount > 0) {
        const ssize_t n = ::pread(m_fd, p, nCount, static_cast<off_t>(nOffset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Fail(n < 0 ? "cannot read" : "read past its end", n < 0 ? errno : EIO, strError);
        p += n;
        nOffset += static_cast<uint64_t>(n);
        nCount -= static_cast<size_t>(n);
    }
    return true;
}
