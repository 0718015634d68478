#include "platform/readonlymapping.h"

#include "platform/fileexception.h"
#include "platform/readonlyfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

CReadOnlyMapping::~CReadOnlyMapping() { Close(); }

void CReadOnlyMapping::Open(const std::string& strPath) {
    Close();
    int fd = ::open(strPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw CFileException(strPath, std::string("cannot open: ") + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw CFileException(strPath, "not a regular file");
    }
    if (st.st_size == 0) {
        ::close(fd);
        throw CFileException(strPath, "empty file cannot be mapped");
    }
    void* p = ::mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    int nErr = errno;
    ::close(fd);  // the mapping keeps the file alive
    if (p == MAP_FAILED) throw CFileException(strPath, std::string("cannot map: ") + std::strerror(nErr));
    m_pData = static_cast<const uint8_t*>(p);
    m_nSize = static_cast<uint64_t>(st.st_size);
}

void CReadOnlyMapping::Close() {
    if (m_pData) ::munmap(const_cast<uint8_t*>(m_pData), static_cast<size_t>(m_nSize));
    m_pData = nullptr;
    m_nSize = 0;
}
