// The page renderer: a page of arbitrary bytes rendered with arbitrary
// keywords in every text part (markup model, hit marking, display assembly).
//
// With variants (bit 3 of the first byte), the keywords are first replaced
// by their forms that occur on the page, from a small fixed table.
//
// Input: parity, text part and variants (1 byte), keyword length n (1 byte),
// n UTF-16 units of keywords (little-endian), then the page.
#include "corpus/filelist.h"
#include "fuzz/fuzzinput.h"
#include "text/varianttable.h"

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
    if (nMode & 8) {
        static const CVariantTable* s_pTable = [] {
            auto* pTable = new CVariantTable;
            pTable->Parse("56FD,570B,56EF\n5B66,5B78\n27944,2000B\n684C,6A31,6AFB\nD800,4E00\n");
            return pTable;
        }();
        std::vector<std::u16string> forms;
        s_pTable->ExpandVariantsOnPage(strKeywords, strPage, forms);
        strKeywords.clear();
        for (const std::u16string& strForm : forms) strKeywords += (strKeywords.empty() ? u"" : u" ") + strForm;
    }
    std::string strOut;
    CFileList::RenderBytes(strPage, strOut, strKeywords, nMode & 1, static_cast<TextPart>((nMode >> 1) % 4));
    return 0;
}
