#pragma once

#include <string>

// A fresh folder for output that is moved into place only when complete.
// The folder, with whatever is left in it, is removed when the object goes
// away, however the work ends; once it has been renamed into place there is
// nothing left to remove. Not copyable.
class CStagingFolder {
public:
    CStagingFolder() = default;
    ~CStagingFolder();
    CStagingFolder(const CStagingFolder&) = delete;
    CStagingFolder& operator=(const CStagingFolder&) = delete;

    // Makes the folder strPrefix + six random characters. False with
    // strError naming the folder when it cannot be made.
    bool Create(const std::string& strPrefix, std::string& strError /* OUT */);
    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};
