#pragma once

#include "platform/atomicfile.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Writes a page store (record file and scrambled content file) in the
// format that CFileList reads. Pages are appended in page-index order;
// the content file is written as pages come, the records at Finish.
// Both files go to temporary names and are renamed into place by Finish
// (CAtomicFile), so an interrupted build never leaves a half store under the
// real names.
class CFileListWriter {
public:
    // REQUIRES: 1 <= nNameWidth <= 260.
    explicit CFileListWriter(int32_t nNameWidth = 100) : m_nNameWidth(nNameWidth) {}

    bool Open(const std::string& strFolder, const std::string& strBaseName, std::string& strError);
    // strName: relative path with '\' separators; at most W - 1 bytes.
    bool AddPage(const std::string& strName, const std::string& strBytes, std::string& strError);
    // Writes the record file with the header value and text.
    bool Finish(int32_t nHeaderValue, const std::string& strHeaderText, std::string& strError);

    int32_t PageCount() const { return m_nPages; }

private:
    static constexpr size_t PendingBytes = size_t{1} << 20;

    int32_t m_nNameWidth;
    int32_t m_nPages = 0;
    uint64_t m_nContentLength = 0;
    std::string m_strRecordPath;
    std::string m_strRecords;
    std::string m_strPending;  // scrambled content not yet written
    CAtomicFile m_content;
};
