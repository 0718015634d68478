#include "platform/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The folder of a path ("." for a bare name).
std::string FolderOf(const std::string& strPath) {
    const size_t nSlash = strPath.find_last_of('/');
    if (nSlash == std::string::npos) return ".";
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

}  // namespace

CAtomicFile::~CAtomicFile() { Abandon(); }

void CAtomicFile::Abandon() {
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
    if (m_eMode == Mode::Durable) ::unlink(m_strWriting.c_str());
}

bool CAtomicFile::Fail(const std::string& strWhat, int nError, std::string& strError) {
    strError = m_strPath + ": " + strWhat + " (" + std::strerror(nError) + ")";
    Abandon();
    return false;
}

bool CAtomicFile::Open(const std::string& strPath, Mode eMode, std::string& strError) {
    Abandon();
    m_strPath = strPath;
    m_eMode = eMode;
    m_nSize = 0;
    if (eMode == Mode::Durable) {
        m_strWriting = strPath + ".tmp-XXXXXX";
        m_fd = ::mkostemp(m_strWriting.data(), O_CLOEXEC);
        if (m_fd >= 0) ::fchmod(m_fd, 0644);
    } else {
        m_strWriting = strPath;
        m_fd = ::open(strPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    if (m_fd < 0) {
        strError = m_strWriting + ": cannot create (" + std::strerror(errno) + ")";
        return false;
    }
    return true;
}

bool CAtomicFile::Append(const char* pData, size_t nSize, std::string& strError) {
    if (m_fd < 0) {
        strError = m_strPath + ": not open for writing";
        return false;
    }
    while (nSize > 0) {
        const ssize_t n = ::write(m_fd, pData, nSize);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail("cannot write", errno, strError);
        }
        pData += n;
        nSize -= static_cast<size_t>(n);
        m_nSize += static_cast<uint64_t>(n);
    }
    return true;
}

bool CAtomicFile::Commit(std::string& strError) {
    if (m_fd < 0) {
        strError = m_strPath + ": not open for writing";
        return false;
    }
    if (m_eMode == Mode::Durable && ::fsync(m_fd) != 0) return Fail("cannot sync to disk", errno, strError);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        const int nError = errno;
        if (m_eMode == Mode::Durable) ::unlink(m_strWriting.c_str());
        strError = m_strPath + ": cannot write (" + std::strerror(nError) + ")";
        return false;
    }
    if (m_eMode == Mode::Staged) return true;
    if (std::rename(m_strWriting.c_str(), m_strPath.c_str()) != 0) {
        const int nError = errno;
        ::unlink(m_strWriting.c_str());
        strError = m_strPath + ": cannot move the written file into place (" + std::strerror(nError) + ")";
        return false;
    }
    // The rename itself reaches the disk with its folder.
    const int dir = ::open(FolderOf(m_strPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool CAtomicFile::Write(const std::string& strPath, const std::string& strBytes, Mode eMode, std::string& strError) {
    CAtomicFile file;
    return file.Open(strPath, eMode, strError) && file.Append(strBytes, strError) && file.Commit(strError);
}
