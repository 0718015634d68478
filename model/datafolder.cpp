#include "model/datafolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

bool CDataFolder::ProgramFolder(std::string& strFolder, std::string& strError) {
    std::string strPath(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", strPath.data(), strPath.size());
    if (n < 0) {
        strError = std::string("/proc/self/exe: cannot read the program's path: ") + std::strerror(errno);
        return false;
    }
    if (static_cast<size_t>(n) >= strPath.size()) {
        strError = "/proc/self/exe: the program's path is too long";
        return false;
    }
    strPath.resize(static_cast<size_t>(n));
    const size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos) {
        strError = "/proc/self/exe: the program's path \"" + strPath + "\" has no folder";
        return false;
    }
    strFolder = nSlash == 0 ? "/" : strPath.substr(0, nSlash);
    return true;
}

bool CDataFolder::Resolve(const std::string& strOption, std::string& strFolder, std::string& strError) {
    if (!strOption.empty()) {
        strFolder = strOption;
        return true;
    }
    const char* pszEnv = std::getenv(EnvironmentVariable);
    if (pszEnv && *pszEnv) {
        strFolder = pszEnv;
        return true;
    }
    return ProgramFolder(strFolder, strError);
}
