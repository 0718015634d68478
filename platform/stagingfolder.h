#pragma once

#include <cstddef>
#include <functional>
#include <string>

// A folder that is built aside and then put in the place of a target folder
// whole, so that a build that fails or is killed leaves the target as it
// was, and a reader never sees a mix of old and new files.
//
// The staging folder lies beside the target, in the same parent folder
// (the swap is a rename, which stays on one file system):
//
//   out/corpus                                   the target
//   out/.corpus.tessaline-build-Xy3k9Q           a staging folder
//
// While the object lives it holds a lock on the folder (flock), so that
// another run can tell a folder in use from one that a killed run left
// behind; Create removes the latter. The folder, with whatever is left in
// it, is removed when the object goes away without SwapIn. Not copyable.
class CStagingFolder {
public:
    // Tells which entries of the old target SwapIn keeps (by name).
    using KeepFilter = std::function<bool(const std::string& strName)>;

    CStagingFolder() = default;
    ~CStagingFolder();
    CStagingFolder(const CStagingFolder&) = delete;
    CStagingFolder& operator=(const CStagingFolder&) = delete;

    // Makes the staging folder for strTarget (its parent folder is made if
    // missing) and removes those that earlier runs for the same target
    // left behind. False with strError naming the folder.
    bool Create(const std::string& strTarget, std::string& strError /* OUT */);
    const std::string& Path() const { return m_strPath; }
    // Staging folders of earlier runs that Create removed.
    size_t RemovedLeftovers() const { return m_nRemoved; }

    // Puts the staging folder in the target's place: syncs its files to
    // disk, links (or copies) into it each entry of the old target that
    // keep accepts and that it does not hold itself, exchanges the two
    // folders in one step (two renames where the file system cannot
    // exchange), and removes the old one. False with strError when the
    // swap could not be made; the target is then as it was.
    // REQUIRES: Create succeeded.
    bool SwapIn(const KeepFilter& keep, std::string& strError /* OUT */);

    // The folder name staging folders of strTarget start with.
    static std::string Prefix(const std::string& strTarget);

private:
    void Release();

    std::string m_strTarget;
    std::string m_strPath;
    int m_lock = -1;  // the folder, open and flock-ed
    size_t m_nRemoved = 0;
};
