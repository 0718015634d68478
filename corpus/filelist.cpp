#include "corpus/filelist.h"

#include "corpus/hitmarker.h"
#include "corpus/pagemarkup.h"
#include "platform/fileexception.h"
#include "text/codeconverter.h"

#include <cstring>
#include <set>
#include <vector>

namespace {

// The display template, byte for byte.
const char* const kHead =
    "<html><head>\t\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\"><title>";
// The cell that holds the page's text gets the wide column: the first
// cell on even page numbers, the second on odd ones (indexed by parity).
const char* const kAfterTitle[2] = {
    "</title></head><div align=\"center\"><center><BODY>\t\t"
    "<TABLE border=1 cellPadding=0 cellSpacing=1 class=wd_gray height=477 width=635 bordercolor=\"#FFCC66\">"
    "\t\t<tr>  <TD height=477 width=450 vAlign=top align=\"center\" background=\"../Back.gif\">",
    "</title></head><div align=\"center\"><center><BODY>\t\t"
    "<TABLE border=1 cellPadding=0 cellSpacing=1 class=wd_gray height=477 width=635 bordercolor=\"#FFCC66\">"
    "\t\t<tr>  <TD height=477 width=80 vAlign=top align=\"center\" background=\"../Back.gif\">"};
const char* const kBetweenCells[2] = {"</TD>\t\t<TD height=477 width=80 vAlign=top align=\"center\">",
                                      "</TD>\t\t<TD height=477 width=450 vAlign=top align=\"center\">"};
const char* const kTail = "</TD> \t\t</tr></table></div></div>\t\t</center></BODY></html>";

int32_t ReadInt32(const unsigned char* p) {
    uint32_t n = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                 static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(n);
}

}  // namespace

bool CFileList::Open(const std::string& strFolder, const std::string& strBaseName) {
    Close();
    m_strError.clear();
    const std::string strStem = strFolder + "/" + strBaseName;
    try {
        m_fileHeader.Open(strStem + "-fl.h");
        m_fileContent.Open(strStem + "-fl.cnt");
        unsigned char header[HeaderSize];
        m_fileHeader.ReadExactly(header, sizeof header);
        int32_t nWidth = ReadInt32(header + 4);
        if (nWidth < 1 || nWidth > MaxNameWidth)
            throw CFileException(m_fileHeader.Path(), "name width " + std::to_string(nWidth) + " is outside 1..260");
        m_nHeaderValue = ReadInt32(header);
        m_nNameWidth = nWidth;
        std::memcpy(m_szHeaderText, header + 8, HeaderTextSize);
        uint64_t nRecords = (m_fileHeader.GetLength() - HeaderSize) / static_cast<uint64_t>(nWidth + 8);
        m_nPageCount = nRecords > INT32_MAX ? INT32_MAX : static_cast<int32_t>(nRecords);
        m_nContentLength = m_fileContent.GetLength();
    } catch (const CFileException& e) {
        m_strError = e.what();
        Close();
        return false;
    }
    m_bOpen = true;
    return true;
}

void CFileList::Close() {
    m_fileHeader.Close();
    m_fileContent.Close();
    m_bOpen = false;
    m_nPageCount = 0;
    m_nContentLength = 0;
}

bool CFileList::ReadRecord(int32_t nPage, std::string* pName, int32_t* pEnd, int32_t* pLength) {
    if (!m_bOpen || nPage < 0 || nPage >= m_nPageCount) return false;
    const int32_t nWidth = m_nNameWidth;
    std::vector<unsigned char> record(static_cast<size_t>(nWidth) + 8);
    try {
        m_fileHeader.Seek(HeaderSize + static_cast<uint64_t>(nPage) * static_cast<uint64_t>(nWidth + 8));
        m_fileHeader.ReadExactly(record.data(), record.size());
    } catch (const CFileException&) {
        return false;
    }
    if (pName) {
        const void* pNul = std::memchr(record.data(), 0, static_cast<size_t>(nWidth));
        if (!pNul) return false;
        pName->assign(reinterpret_cast<const char*>(record.data()),
                      static_cast<const unsigned char*>(pNul) - record.data());
    }
    if (pEnd) *pEnd = ReadInt32(record.data() + nWidth);
    if (pLength) *pLength = ReadInt32(record.data() + nWidth + 4);
    return true;
}

bool CFileList::GetPageLength(int32_t nPage, int32_t& nLength) {
    int32_t nValue = 0;
    if (!ReadRecord(nPage, nullptr, nullptr, &nValue)) return false;
    nLength = nValue;
    return true;
}

bool CFileList::GetPageName(int32_t nPage, std::string& strName) {
    std::string strValue;
    if (!ReadRecord(nPage, &strValue, nullptr, nullptr)) return false;
    strName = std::move(strValue);
    return true;
}

bool CFileList::ReadPage(int32_t nPage, std::string& strPage) {
    int32_t nEnd = 0;
    int32_t nLength = 0;
    if (!ReadRecord(nPage, nullptr, &nEnd, &nLength)) return false;
    if (nLength < 0 || nLength > MaxPageBytes || nEnd < nLength ||
        static_cast<uint64_t>(nEnd) > m_nContentLength)
        return false;
    std::string strBytes(static_cast<size_t>(nLength), '\0');
    try {
        m_fileContent.Seek(static_cast<uint64_t>(nEnd - nLength));
        m_fileContent.ReadExactly(strBytes.data(), strBytes.size());
    } catch (const CFileException&) {
        return false;
    }
    for (char& c : strBytes) c = static_cast<char>(c ^ ScrambleKey);
    strPage = std::move(strBytes);
    return true;
}

int32_t CFileList::PageNumberOfName(const std::string& strName) {
    size_t nSlash = strName.rfind('\\');
    if (nSlash == std::string::npos) return 0;
    size_t nDot = strName.rfind('.');
    if (nDot == std::string::npos || nDot < nSlash) return 0;
    std::string strStem = strName.substr(nSlash + 1, nDot - nSlash - 1);
    if (strStem.size() > MaxStemChars) strStem.resize(MaxStemChars);
    // atoi: leading blanks, an optional sign, digits up to the first other
    // character. Eleven digits can exceed int32; saturate instead of
    // overflowing.
    size_t i = 0;
    while (i < strStem.size() && (strStem[i] == ' ' || (strStem[i] >= '\t' && strStem[i] <= '\r'))) ++i;
    bool bNegative = false;
    if (i < strStem.size() && (strStem[i] == '+' || strStem[i] == '-')) bNegative = strStem[i++] == '-';
    int64_t nValue = 0;
    for (; i < strStem.size() && strStem[i] >= '0' && strStem[i] <= '9'; ++i) nValue = nValue * 10 + (strStem[i] - '0');
    if (bNegative) nValue = -nValue;
    if (nValue > INT32_MAX) return INT32_MAX;
    if (nValue < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(nValue);
}

bool CFileList::FindPage(int32_t nStart, int32_t nPageNo, int32_t& nPage) {
    if (!m_bOpen || nStart < 0) return false;
    std::string strName;
    for (int32_t i = nStart; i < m_nPageCount; ++i) {
        if (!ReadRecord(i, &strName, nullptr, nullptr)) return false;
        if (PageNumberOfName(strName) == nPageNo) {
            nPage = i;
            return true;
        }
    }
    return false;
}

int CFileList::RenderPass(const std::string& strPage, std::string& strOut, const std::string& strKeyword, int nParity,
                          TextPart ePart, int& nCounter) {
    std::vector<HTMLNode> parts;
    CPageMarkup::ParsePage(strPage, parts);
    nParity = nParity == 0 ? 0 : 1;
    HTMLNode& target = parts[nParity == 0 ? 1 : 2];
    std::vector<Seg> segments;
    CPageMarkup::SplitSegments(target, segments);

    int nMatches = 0;
    std::string strCell;
    strCell.reserve(target.m_pText.size() + 64);
    for (const Seg& segment : segments) {
        const bool bNote = segment.m_nKind == 1;
        const bool bMark = ePart == TextPart::WholeText || (ePart == TextPart::MainText && !bNote) ||
                           (ePart == TextPart::Annotations && bNote);
        // A value outside the three parts keeps nothing of the cell.
        if (ePart != TextPart::WholeText && ePart != TextPart::MainText && ePart != TextPart::Annotations) continue;
        if (bNote) strCell += CPageMarkup::AnnotationOpen;
        if (bMark)
            nMatches += CHitMarker::MarkSegment(segment, strKeyword, strCell, nCounter);
        else
            strCell += segment.m_pText;
        if (bNote) strCell += CPageMarkup::AnnotationClose;
    }
    target.m_pText = std::move(strCell);

    strOut.reserve(strOut.size() + parts[0].m_pText.size() + parts[1].m_pText.size() + parts[2].m_pText.size() + 600);
    strOut += kHead;
    strOut += parts[0].m_pText;
    strOut += kAfterTitle[nParity];
    strOut += parts[1].m_pText;
    strOut += kBetweenCells[nParity];
    strOut += parts[2].m_pText;
    strOut += kTail;
    return nMatches;
}

bool CFileList::ReadPageForRendering(int32_t nPage, std::string& strPage, int& nParity) {
    std::string strName;
    if (!m_bOpen || !GetPageName(nPage, strName) || !ReadPage(nPage, strPage)) return false;
    nParity = PageNumberOfName(strName) & 1;
    return true;
}

int CFileList::RenderPage(int32_t nPage, std::string& strOut, const std::u16string& strKeywords, TextPart ePart) {
    std::string strPage;
    int nParity = 0;
    if (!ReadPageForRendering(nPage, strPage, nParity)) return 0;
    return RenderBytes(strPage, strOut, strKeywords, nParity, ePart);
}

int CFileList::RenderBytes(const std::string& strPage, std::string& strOut, const std::u16string& strKeywords,
                           int nParity, TextPart ePart) {
    if (strKeywords.empty()) return 0;
    std::string strWorking = strPage;
    int nCounter = 0;
    size_t nWork = 0;  // page bytes read by the passes so far
    std::set<std::string> applied;
    std::u16string strWord;
    auto applyWord = [&]() {
        if (strWord.empty()) return;
        std::string strBytes;
        CCodeConverter::ConvertUtf16ToUtf8(strWord, strBytes, true);
        strWord.clear();
        if (nWork >= MaxRenderWork || strWorking.size() > MaxDisplayBytes || !applied.insert(strBytes).second) return;
        nWork += strWorking.size();
        strOut.clear();
        RenderPass(strWorking, strOut, strBytes, nParity, ePart, nCounter);
        strWorking = strOut;
    };
    for (char16_t u : strKeywords) {
        if (u == u' ' || u == u'\u3000')
            applyWord();
        else
            strWord.push_back(u);
    }
    applyWord();
    return nCounter;
}
