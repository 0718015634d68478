#pragma once

#include "corpus/textparts.h"
#include "platform/readonlyfile.h"

#include <cstdint>
#include <string>
#include <vector>

// The page store: a record file (base name + "-fl.h") and a scrambled
// content file (base name + "-fl.cnt"). Pages are named by their page index,
// the zero-based number of their record. Nothing is cached: every operation
// reads the files again. Not copyable.
//
// Record file, little-endian (doc/file-formats.md has the drawing):
//   header  := headerValue:int32 W:int32 text:byte[260]        268 bytes
//   record  := name:byte[W] end:int32 length:int32              W + 8 bytes
//   file    := header record*        record count = (size - 268) / (W + 8)
// name is the page's relative path, NUL-terminated inside the field, parts
// separated by '\'; the stem after the last '\' and before the last '.' is
// the page number ("b01\v01\0007.htm" is page 7). The page's bytes are
// content[end - length, end), each XORed with 0xA7.
//
// Example with W = 100: record 3 starts at 268 + 3 * 108 = 592.
class CFileList {
public:
    static constexpr int32_t HeaderSize = 268;
    static constexpr int32_t HeaderTextSize = 260;
    static constexpr int32_t MaxNameWidth = 260;
    static constexpr uint8_t ScrambleKey = 0xA7;
    static constexpr int32_t MaxStemChars = 11;
    // A record claiming a longer page is refused as corrupt, so that a
    // hostile store cannot make a reader allocate without bound.
    static constexpr int32_t MaxPageBytes = 16 << 20;

    CFileList() = default;
    virtual ~CFileList() = default;
    CFileList(const CFileList&) = delete;
    CFileList& operator=(const CFileList&) = delete;

    // Opens strFolder/strBaseName-fl.h and -fl.cnt and reads the header.
    // Closes first. False when a file is missing, the header is short or the
    // name width is outside 1..260; m_strError then says what failed.
    bool Open(const std::string& strFolder, const std::string& strBaseName);
    void Close();
    bool IsOpen() const { return m_bOpen; }

    // The record's length field. False when closed or nPage is not a record.
    bool GetPageLength(int32_t nPage, int32_t& nLength);
    // Replaces strPage with the descrambled bytes of the page. False when
    // closed, nPage is not a record, or the record's bytes do not lie inside
    // the content file (or exceed MaxPageBytes).
    bool ReadPage(int32_t nPage, std::string& strPage);
    // The first record at or after nStart whose page number is nPageNo.
    // False when there is none (or on a file error, or a name without NUL).
    bool FindPage(int32_t nStart, int32_t nPageNo, int32_t& nPage);

    // The record's name (up to its NUL). False when the field has no NUL.
    bool GetPageName(int32_t nPage, std::string& strName);
    // Number of whole records; 0 when closed.
    int32_t GetPageCount() const { return m_nPageCount; }

    // The display page: the stored page with every hit of every distinct
    // keyword (separated by U+0020 or U+3000) marked in the target cell's
    // segments of the text part,
    // put into the display template. Returns the number of hit marks. The
    // output is left as it was when the list is closed, the page cannot be
    // read, the keyword text is empty or holds no keyword. Each keyword is
    // applied to the previous keyword's display page. Passes stop once they
    // have read MaxRenderWork bytes in all or the display page exceeds
    // MaxDisplayBytes, so that no page and keyword list can make a rendering
    // take unbounded time or memory; the keywords after that are not marked.
    int RenderPage(int32_t nPage, std::string& strOut, const std::u16string& strKeywords, TextPart ePart);

    // The page's bytes (as ReadPage) and the remainder of its page number
    // by 2, which decides the cell that a rendering marks. False as
    // ReadPage, or when the record's name has no NUL.
    bool ReadPageForRendering(int32_t nPage, std::string& strPage /* OUT */, int& nParity /* OUT */);

    // RenderPage on page bytes already read (nParity: the page number's
    // remainder by 2). strOut is left alone when no keyword is applied.
    static int RenderBytes(const std::string& strPage, std::string& strOut, const std::u16string& strKeywords,
                           int nParity, TextPart ePart);

    // One keyword applied to a page: parse, mark the target cell (the first
    // cell when nParity is 0, else the second), assemble. Returns the number
    // of complete matches.
    static int RenderPass(const std::string& strPage, std::string& strOut, const std::string& strKeyword,
                          int nParity, TextPart ePart, int& nCounter);

    static constexpr size_t MaxDisplayBytes = 64u << 20;
    static constexpr size_t MaxRenderWork = 64u << 20;

    // The page number of a record name: its stem (at most 11 characters)
    // read with atoi rules; 0 without a '\' or without a '.' after it.
    static int32_t PageNumberOfName(const std::string& strName);

    int32_t GetHeaderValue() const { return m_nHeaderValue; }
    const std::string& GetError() const { return m_strError; }

    int32_t m_nHeaderValue = 0;
    char m_szHeaderText[HeaderTextSize] = {};

private:
    bool ReadRecord(int32_t nPage, std::string* pName, int32_t* pEnd, int32_t* pLength);

    bool m_bOpen = false;
    int32_t m_nNameWidth = 100;
    int32_t m_nPageCount = 0;
    uint64_t m_nContentLength = 0;
    CReadOnlyFile m_fileHeader;
    CReadOnlyFile m_fileContent;
    std::string m_strError;
};
