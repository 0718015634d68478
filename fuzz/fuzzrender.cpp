// The page renderer: a page of arbitrary bytes rendered with arbitrary
// keywords in every text part (markup model, hit marking, display assembly).
//
// Input: parity and text part (1 byte), keyword length n (1 byte), n UTF-16
// units of keywords (little-endian), then the page.
#include "corpus/filelist.h"
#include "fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CFuzzInput input(pData, nSize);
    const uint8_t nMode = input.Byte();
    const size_t nUnits = input.Byte();
    std::u16string strKeywords;
    for (size_t i = 0; i < nUnits; ++i) {
        const uint8_t nLow = input.Byte();
        strKeywords.push_back(static_cast<char16_t>(nLow | input.Byte() << 8));
    }
    const std::string strPage = input.Rest();
    std::string strOut;
    CFileList::RenderBytes(strPage, strOut, strKeywords, nMode & 1, (nMode >> 1) % 4);
    return 0;
}
