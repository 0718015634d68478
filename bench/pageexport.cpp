#include "bench/pageexport.h"

#include "corpus/corpusfiles.h"
#include "corpus/filelist.h"
#include "corpus/pagemarkup.h"
#include "text/codeconverter.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace {

bool IsTag(const std::string& strTag, const char* pszName) { return strTag == pszName; }

}  // namespace

bool CPageExport::HasSlot(char32_t c) { return CCodeConverter::IndexSlot(c) >= 0; }

void CPageExport::SetVariants(const CVariantTable& variants) {
    m_variants = variants;
    m_fold.clear();
    const auto& groups = m_variants.Groups();
    const size_t nGroups = std::min(groups.size(), CVariantTable::MaxSearchableGroups);
    for (size_t g = 0; g < nGroups; ++g) {
        // The stand-in is a member whose first group is this one, so that
        // no other group's characters fold onto it.
        char32_t cStandIn = 0;
        bool bFound = false;
        for (uint32_t m : groups[g]) {
            if (m_variants.GroupOf(m) == static_cast<int32_t>(g) && HasSlot(m)) {
                cStandIn = m;
                bFound = true;
                break;
            }
        }
        if (!bFound) continue;
        for (uint32_t m : groups[g]) {
            int32_t nSlot = -1;
            if (HasSlot(m) && m_variants.MapVariantSlot(m, nSlot) &&
                nSlot == CVariantTable::VariantSlotBase + static_cast<int32_t>(g))
                m_fold[m] = cStandIn;
        }
    }
}

void CPageExport::AddPage(uint32_t nPage, const std::string& strHtml, int nParity) {
    if (m_pageRuns.empty()) m_pageRuns.push_back(0);
    while (PageCount() < nPage) m_pageRuns.push_back(m_runs.size());  // pages that could not be read: no runs

    std::vector<HTMLNode> nodes;
    CPageMarkup::ParsePage(strHtml, nodes);
    std::vector<Seg> segments;
    CPageMarkup::SplitSegments(nodes[nParity == 0 ? 1 : 2], segments);

    uint32_t nPosition = 0;
    bool bHeading = false;
    std::string strBytes;  // the open run's text, UTF-8, unescaped
    ExportRun run;
    auto openRun = [&](uint8_t nFlags) {
        run = ExportRun{};
        run.page = nPage;
        run.position = nPosition;
        run.flags = nFlags;
        strBytes.clear();
    };
    auto closeRun = [&]() {
        const std::u32string text = CCodeConverter::Utf8ToUtf32(strBytes);
        run.offset = static_cast<uint32_t>(m_chars.size());
        run.length = static_cast<uint32_t>(text.size());
        m_chars.insert(m_chars.end(), text.begin(), text.end());
        if (bHeading) run.flags |= RunHeading;
        m_runs.push_back(run);
        nPosition = run.position + run.length;
    };

    for (size_t s = 0; s < segments.size(); ++s) {
        const Seg& segment = segments[s];
        const uint8_t nKind = segment.m_nKind == 1 ? RunAnnotation : 0;
        if (s > 0) nPosition += BreakGap;
        openRun(static_cast<uint8_t>(nKind | (s == 0 ? RunLineStart : 0)));
        const std::string& strText = segment.m_pText;
        for (size_t i = 0; i < strText.size();) {
            const char c = strText[i];
            if (c == '<') {
                const size_t nEnd = strText.find('>', i);
                if (nEnd == std::string::npos) break;  // an unfinished tag at the end
                const std::string strTag = strText.substr(i, nEnd + 1 - i);
                i = nEnd + 1;
                if (IsTag(strTag, "<h4>")) {
                    bHeading = true;
                } else if (!IsTag(strTag, "<p>") && !IsTag(strTag, "</h4>")) {
                    // Any other tag inside a segment: the index leaves a gap.
                    closeRun();
                    nPosition += TagGap;
                    openRun(nKind);
                }
                continue;
            }
            if (c == '\n') {
                closeRun();
                nPosition += BreakGap;
                bHeading = false;
                openRun(static_cast<uint8_t>(nKind | RunLineStart));
                ++i;
                continue;
            }
            if (c == '&') {
                static const struct {
                    const char* pszEntity;
                    char c;
                } entities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}};
                bool bEntity = false;
                for (const auto& entity : entities) {
                    const size_t n = std::strlen(entity.pszEntity);
                    if (strText.compare(i, n, entity.pszEntity) == 0) {
                        strBytes.push_back(entity.c);
                        i += n;
                        bEntity = true;
                        break;
                    }
                }
                if (bEntity) continue;
            }
            strBytes.push_back(c);
            ++i;
        }
        closeRun();
    }
    m_pageRuns.push_back(m_runs.size());
}

bool CPageExport::Read(const std::string& strFolder, std::string& strError) {
    m_chars.clear();
    m_runs.clear();
    m_pageRuns.clear();
    m_pageNumbers.clear();
    CVariantTable variants;
    const std::string strVariants = strFolder + "/" + CCorpusFiles::Variants;
    if (!variants.LoadFile(strVariants)) {
        strError = strVariants + ": cannot read the variant table";
        return false;
    }
    SetVariants(variants);
    CFileList fileList;
    if (!fileList.Open(strFolder, CCorpusFiles::BaseName)) {
        strError = fileList.GetError();
        return false;
    }
    const int32_t nPages = fileList.GetPageCount();
    m_pageRuns.reserve(static_cast<size_t>(nPages) + 1);
    m_pageNumbers.reserve(static_cast<size_t>(nPages));
    std::string strHtml;
    std::string strName;
    for (int32_t nPage = 0; nPage < nPages; ++nPage) {
        if (!fileList.GetPageName(nPage, strName) || !fileList.ReadPage(nPage, strHtml)) {
            strError = CCorpusFiles::StoreRecords(strFolder) + ": page " + std::to_string(nPage) + " cannot be read";
            return false;
        }
        const int32_t nNumber = CFileList::PageNumberOfName(strName);
        m_pageNumbers.push_back(nNumber);
        AddPage(static_cast<uint32_t>(nPage), strHtml, nNumber & 1);
    }
    if (m_pageRuns.empty()) m_pageRuns.push_back(0);
    return true;
}

std::string CPageExport::CorpusStamp(const std::string& strFolder) {
    std::string strStamp;
    for (const std::string& strName : CCorpusFiles::Names()) {
        if (strName.find("_content") != std::string::npos || strName.find("_desc") != std::string::npos) continue;
        struct stat st {};
        const std::string strPath = strFolder + "/" + strName;
        strStamp += strName;
        if (::stat(strPath.c_str(), &st) == 0)
            strStamp += " " + std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
                        std::to_string(st.st_mtim.tv_nsec);
        else
            strStamp += " missing";
        strStamp += "\n";
    }
    return strStamp;
}

uint64_t CPageExport::MemoryBytes() const {
    return m_chars.capacity() * sizeof(char32_t) + m_runs.capacity() * sizeof(ExportRun) +
           m_pageRuns.capacity() * sizeof(size_t) + m_pageNumbers.capacity() * sizeof(int32_t);
}
