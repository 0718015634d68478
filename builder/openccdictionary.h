#pragma once

#include <cstdint>
#include <string>

// Reads a dictionary of OpenCC (Debian's libopencc1.1 installs them under
// /usr/share/opencc) as the text form that CVariantPairs reads: its binary
// form (.ocd2, "OPENCC_MARISA" at the start) through libopencc, any other
// file as that text already. Stateless.
class COpenCCDictionary {
public:
    COpenCCDictionary() = delete;

    // The Japanese tables a build joins by default: 旧字体 and their 新字体
    // (JPVariants), and the 新字体 that stand for several 旧字体
    // (JPShinjitaiCharacters).
    static const char* const DefaultPaths[2];
    // The Debian package that installs them.
    static const char* const Package;

    // The dictionary's entries, one "KEY<TAB>VALUE VALUE…" line each.
    // Throws CFileException (naming the file) when it cannot be read, is
    // larger than nMaxBytes or is not a dictionary libopencc can read.
    static std::string ReadAsText(const std::string& strPath, uint64_t nMaxBytes);
};
