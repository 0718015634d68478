#pragma once

#include <cstdint>
#include <string>

// Reads a whole file that may be compressed with bzip2 (its name ends in
// ".bz2"), as Debian ships the Unicode data files. Stateless.
class CCompressedFile {
public:
    CCompressedFile() = delete;

    // The file's bytes, decompressed when the name ends in ".bz2". Throws
    // CFileException (naming the file) when it cannot be read, is not valid
    // bzip2 data, or when the file or its decompressed bytes exceed
    // nMaxBytes.
    static std::string ReadAll(const std::string& strPath, uint64_t nMaxBytes);
};
