#include "corpus/filelistwriter.h"

#include "corpus/corpusfiles.h"
#include "corpus/filelist.h"

#include <cstdio>

namespace {

void PutInt32(std::string& out, int32_t n) {
    auto u = static_cast<uint32_t>(n);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

}  // namespace

bool CFileListWriter::Open(const std::string& strFolder, const std::string& strBaseName, std::string& strError) {
    m_strRecordPath = CCorpusFiles::StoreRecords(strFolder, strBaseName);
    if (!m_content.Open(CCorpusFiles::StoreContent(strFolder, strBaseName), CAtomicFile::Mode::Durable, strError))
        return false;
    m_nPages = 0;
    m_nContentLength = 0;
    m_strRecords.clear();
    m_strPending.clear();
    return true;
}

bool CFileListWriter::AddPage(const std::string& strName, const std::string& strBytes, std::string& strError) {
    if (strName.size() >= static_cast<size_t>(m_nNameWidth) || strName.find('\0') != std::string::npos) {
        strError = "page name \"" + strName + "\" does not fit the name field";
        return false;
    }
    if (strBytes.size() > static_cast<size_t>(CFileList::MaxPageBytes) ||
        m_nContentLength + strBytes.size() > static_cast<uint64_t>(INT32_MAX)) {
        strError = "page \"" + strName + "\" does not fit the content file";
        return false;
    }
    // Scrambled into a buffer that goes to the file a mebibyte at a time.
    const size_t nAt = m_strPending.size();
    m_strPending.resize(nAt + strBytes.size());
    for (size_t i = 0; i < strBytes.size(); ++i)
        m_strPending[nAt + i] = static_cast<char>(strBytes[i] ^ CFileList::ScrambleKey);
    if (m_strPending.size() >= PendingBytes) {
        if (!m_content.Append(m_strPending, strError)) return false;
        m_strPending.clear();
    }
    m_nContentLength += strBytes.size();
    std::string strField = strName;
    strField.resize(static_cast<size_t>(m_nNameWidth), '\0');
    m_strRecords += strField;
    PutInt32(m_strRecords, static_cast<int32_t>(m_nContentLength));
    PutInt32(m_strRecords, static_cast<int32_t>(strBytes.size()));
    ++m_nPages;
    return true;
}

bool CFileListWriter::Finish(int32_t nHeaderValue, const std::string& strHeaderText, std::string& strError) {
    std::string strHeader;
    PutInt32(strHeader, nHeaderValue);
    PutInt32(strHeader, m_nNameWidth);
    std::string strText = strHeaderText.substr(0, CFileList::HeaderTextSize - 1);
    strText.resize(CFileList::HeaderTextSize, '\0');
    strHeader += strText;
    // The content first: a store whose records are in place has its pages.
    if (!m_content.Append(m_strPending, strError) || !m_content.Commit(strError)) return false;
    m_strPending.clear();
    CAtomicFile records;
    return records.Open(m_strRecordPath, CAtomicFile::Mode::Durable, strError) && records.Append(strHeader, strError) &&
           records.Append(m_strRecords, strError) && records.Commit(strError);
}
