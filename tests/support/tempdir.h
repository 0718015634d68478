#pragma once

#include <string>

// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes away.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    std::string File(const std::string& strName) const { return m_strPath + "/" + strName; }

    // Writes (replacing) a file under the folder; creates its parent folders.
    void Write(const std::string& strName, const std::string& strBytes) const;
    std::string Read(const std::string& strName) const;

private:
    std::string m_strPath;
};
