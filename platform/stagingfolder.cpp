#include "platform/stagingfolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

CStagingFolder::~CStagingFolder() {
    if (m_strPath.empty()) return;
    std::error_code ec;
    std::filesystem::remove_all(m_strPath, ec);
}

bool CStagingFolder::Create(const std::string& strPrefix, std::string& strError) {
    std::string strPath = strPrefix + "XXXXXX";
    if (!::mkdtemp(strPath.data())) {
        strError = strPath + ": cannot create a staging folder (" + std::strerror(errno) + ")";
        return false;
    }
    m_strPath = strPath;
    return true;
}
