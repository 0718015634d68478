#include "platform/readonlyfile.h"

#include "platform/fileexception.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string ErrnoText(const char* pszWhat) {
    return std::string(pszWhat) + ": " + std::strerror(errno);
}

}  // namespace

CReadOnlyFile::~CReadOnlyFile() { Close(); }

CReadOnlyFile::CReadOnlyFile(CReadOnlyFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_nPos(std::exchange(other.m_nPos, 0)),
      m_strPath(std::move(other.m_strPath)) {}

CReadOnlyFile& CReadOnlyFile::operator=(CReadOnlyFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_nPos = std::exchange(other.m_nPos, 0);
        m_strPath = std::move(other.m_strPath);
    }
    return *this;
}

void CReadOnlyFile::Open(const std::string& strPath) {
    Close();
    int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw CFileException(strPath, ErrnoText("cannot open"));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw CFileException(strPath, "not a regular file");
    }
    m_fd = fd;
    m_nPos = 0;
    m_strPath = strPath;
}

bool CReadOnlyFile::TryOpen(const std::string& strPath) {
    try {
        Open(strPath);
        return true;
    } catch (const CFileException&) {
        return false;
    }
}

void CReadOnlyFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_nPos = 0;
}

uint64_t CReadOnlyFile::GetLength() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) throw CFileException(m_strPath, ErrnoText("cannot stat"));
    return static_cast<uint64_t>(st.st_size);
}

void CReadOnlyFile::Seek(uint64_t nOffset) { m_nPos = nOffset; }

size_t CReadOnlyFile::Read(void* pBuffer, size_t nCount) {
    size_t nDone = 0;
    auto* p = static_cast<char*>(pBuffer);
    while (nDone < nCount) {
        ssize_t n = ::pread(m_fd, p + nDone, nCount - nDone, static_cast<off_t>(m_nPos));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CFileException(m_strPath, ErrnoText("read failed"));
        }
        if (n == 0) break;
        nDone += static_cast<size_t>(n);
        m_nPos += static_cast<uint64_t>(n);
    }
    return nDone;
}

void CReadOnlyFile::ReadExactly(void* pBuffer, size_t nCount) {
    if (Read(pBuffer, nCount) != nCount) throw CFileException(m_strPath, "unexpected end of file");
}

std::string CReadOnlyFile::ReadAll(const std::string& strPath, uint64_t nMaxBytes) {
    CReadOnlyFile file;
    file.Open(strPath);
    uint64_t nLength = file.GetLength();
    if (nLength > nMaxBytes) throw CFileException(strPath, "file too large");
    std::string strData(static_cast<size_t>(nLength), '\0');
    strData.resize(file.Read(strData.data(), strData.size()));
    return strData;
}
