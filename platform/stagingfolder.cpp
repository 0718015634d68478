#include "platform/stagingfolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Opens a folder and takes its lock without waiting; -1 when it is held
// (or the folder cannot be opened).
int TryLock(const std::string& strFolder) {
    const int fd = ::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void SyncFolder(const std::string& strFolder) {
    const int fd = ::open(strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool StartsWith(const std::string& s, const std::string& strPrefix) { return s.compare(0, strPrefix.size(), strPrefix) == 0; }

// The target as a plain path: trailing separators dropped, a link to a
// folder followed (the folder is what gets replaced, not the link).
std::string Normalised(const std::string& strTarget) {
    std::string s = strTarget;
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    std::error_code ec;
    if (fs::is_symlink(s, ec)) {
        const fs::path resolved = fs::canonical(s, ec);
        if (!ec) return resolved.string();
    }
    return s;
}

}  // namespace

CStagingFolder::~CStagingFolder() {
    if (!m_strPath.empty()) {
        std::error_code ec;
        fs::remove_all(m_strPath, ec);
    }
    Release();
}

void CStagingFolder::Release() {
    if (m_lock < 0) return;
    ::close(m_lock);  // the lock goes with the descriptor
    m_lock = -1;
}

std::string CStagingFolder::Prefix(const std::string& strTarget) {
    const fs::path target(Normalised(strTarget));
    return (target.parent_path() / ("." + target.filename().string() + ".tessaline-build-")).string();
}

bool CStagingFolder::Create(const std::string& strTarget, std::string& strError) {
    m_strTarget = Normalised(strTarget);
    m_nRemoved = 0;
    const fs::path target(m_strTarget);
    if (target.filename().empty() || m_strTarget == "/" || target.filename() == "." || target.filename() == "..") {
        strError = strTarget + ": not a folder that can be replaced";
        return false;
    }
    std::error_code ec;
    if (fs::exists(target, ec) && !fs::is_directory(target, ec)) {
        strError = strTarget + ": exists and is not a folder";
        return false;
    }
    fs::path parent = target.parent_path();
    if (parent.empty()) parent = ".";
    fs::create_directories(parent, ec);
    if (ec) {
        strError = parent.string() + ": cannot create the folder (" + ec.message() + ")";
        return false;
    }

    // What killed runs left: staging folders whose lock nobody holds, and
    // those that earlier versions made inside the target or beside it.
    const std::string strPrefix = Prefix(m_strTarget);
    const std::string strName = target.filename().string();
    std::vector<std::string> leftovers;
    for (const auto& entry : fs::directory_iterator(parent, ec)) {
        const std::string strEntry = entry.path().filename().string();
        if (StartsWith(strEntry, "." + strName + ".tessaline-build-") || StartsWith(strEntry, strName + ".importing-") ||
            StartsWith(strEntry, strName + ".old-"))
            leftovers.push_back(entry.path().string());
    }
    if (fs::is_directory(target, ec)) {
        for (const auto& entry : fs::directory_iterator(target, ec))
            if (StartsWith(entry.path().filename().string(), ".tessaline-build-")) leftovers.push_back(entry.path().string());
    }
    for (const std::string& strLeftover : leftovers) {
        const int fd = TryLock(strLeftover);
        if (fd < 0 && fs::is_directory(strLeftover, ec)) continue;  // another run is using it
        std::error_code ecRemove;
        if (fs::remove_all(strLeftover, ecRemove) > 0 && !ecRemove) ++m_nRemoved;
        if (fd >= 0) ::close(fd);
    }

    std::string strPath = strPrefix + "XXXXXX";
    if (!::mkdtemp(strPath.data())) {
        strError = strPath + ": cannot create a staging folder (" + std::strerror(errno) + ")";
        return false;
    }
    // mkdtemp makes the folder private; it gets the mode of the folder it
    // replaces, or that of a new folder.
    struct stat st {};
    mode_t nMode = 0;
    if (::stat(m_strTarget.c_str(), &st) == 0) {
        nMode = st.st_mode & 07777;
    } else {
        const mode_t nMask = ::umask(0);
        ::umask(nMask);
        nMode = 0777 & ~nMask;
    }
    ::chmod(strPath.c_str(), nMode);
    m_lock = TryLock(strPath);
    m_strPath = strPath;
    return true;
}

bool CStagingFolder::SwapIn(const KeepFilter& keep, std::string& strError) {
    if (m_strPath.empty()) {
        strError = m_strTarget + ": no staging folder to put in place";
        return false;
    }
    // Everything written reaches the disk before the folder takes the
    // target's place.
    if (m_lock >= 0) ::syncfs(m_lock);

    std::error_code ec;
    const bool bReplace = fs::is_directory(m_strTarget, ec);
    if (bReplace && keep) {
        for (const auto& entry : fs::directory_iterator(m_strTarget, ec)) {
            const std::string strName = entry.path().filename().string();
            const fs::path kept = fs::path(m_strPath) / strName;
            if (!keep(strName) || fs::exists(fs::symlink_status(kept, ec))) continue;
            std::error_code ecCopy;
            if (entry.is_regular_file(ecCopy) && ::link(entry.path().c_str(), kept.c_str()) == 0) continue;
            fs::copy(entry.path(), kept, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ecCopy);
            if (ecCopy) {
                strError = entry.path().string() + ": cannot keep it in the new folder (" + ecCopy.message() + ")";
                return false;
            }
        }
        SyncFolder(m_strPath);
    }

    if (!bReplace) {
        if (std::rename(m_strPath.c_str(), m_strTarget.c_str()) != 0) {
            strError = m_strTarget + ": cannot move the new folder into place (" + std::strerror(errno) + ")";
            return false;
        }
    } else if (::renameat2(AT_FDCWD, m_strPath.c_str(), AT_FDCWD, m_strTarget.c_str(), RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
            strError = m_strTarget + ": cannot put the new folder in place (" + std::strerror(errno) + ")";
            return false;
        }
        // No exchange on this file system: the old folder aside, the new
        // one in, the old one back if that fails.
        const std::string strOld = m_strPath + "-old";
        if (std::rename(m_strTarget.c_str(), strOld.c_str()) != 0) {
            strError = m_strTarget + ": cannot move the old folder aside (" + std::strerror(errno) + ")";
            return false;
        }
        if (std::rename(m_strPath.c_str(), m_strTarget.c_str()) != 0) {
            strError = m_strTarget + ": cannot move the new folder into place (" + std::strerror(errno) + ")";
            std::rename(strOld.c_str(), m_strTarget.c_str());
            return false;
        }
        std::rename(strOld.c_str(), m_strPath.c_str());
    }
    SyncFolder(fs::path(m_strTarget).parent_path().empty() ? "." : fs::path(m_strTarget).parent_path().string());
    // The staging name now holds the old folder (if any): it goes.
    fs::remove_all(m_strPath, ec);
    m_strPath.clear();
    Release();
    return true;
}
