// The keywords: arbitrary UTF-16 through the keyword checks, CountTerms,
// SearchAnd, SearchOr, the variant expansion, page rendering and the forms
// searched, on a small
// real corpus written once by the corpus writer.
#include "builder/corpuswriter.h"
#include "corpus/corpusfiles.h"
#include "fuzz/fuzzinput.h"
#include "index/index.h"
#include "model/keywordcheck.h"
#include "model/searchforms.h"
#include "text/varianttable.h"

#include <cstdlib>

namespace {

CIndex& Index() {
    static CIndex* s_pIndex = [] {
        CorpusSource source;
        source.categories.push_back({"類", {{"書", {{"卷", {}}}}}});
        const char* pages[] = {"# 題\n中國之人{注：國，国也}人人人\n天下明月", "国史\U00027944\U00027944{中?}\n之之之",
                               "學而時習之，不亦說乎？{説，音悅}"};
        int nNumber = 1;
        for (const char* pszText : pages) source.categories[0].books[0].volumes[0].pages.push_back({nNumber++, pszText, ""});
        CVariantTable variants;
        variants.Parse("56FD,570B,56EF\n5B66,5B78\n27944,2000B\n8AAA,8AAC\n");
        std::string strError;
        CCorpusWriter writer;
        if (!writer.Write(source, variants, FuzzFolder(), strError)) std::abort();
        auto* pIndex = new CIndex;
        if (!pIndex->Open(FuzzFolder(), CCorpusFiles::BaseName, IndexScope::WholeText)) std::abort();
        return pIndex;
    }();
    return *s_pIndex;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CIndex& index = Index();
    CFuzzInput input(pData, nSize);
    const uint8_t nMode = input.Byte();
    const std::u16string strKeywords = input.RestUtf16();
    CKeywordCheck::Check(strKeywords);
    CIndex::CountTerms(strKeywords);
    std::u16string strWritable = strKeywords;
    if (nMode & 1)
        index.SearchAnd(strWritable, (nMode & 2) != 0, (nMode & 4) != 0);
    else
        index.SearchOr(strWritable, (nMode & 2) != 0, (nMode & 4) != 0);
    index.SearchPattern(strKeywords, nMode >> 6, (nMode & 8) != 0, (nMode & 4) != 0);
    std::vector<std::u16string> forms;
    index.GetVariants().ExpandVariants(strKeywords, forms);
    std::string strOut;
    index.RenderPage(nMode % 3, strOut, strKeywords, static_cast<TextPart>((nMode >> 4) & 3), (nMode & 4) != 0);
    ContentsNodeTag range;
    range.level = 1;
    range.docID = 1 + nMode % 3;
    range.docNo = 3;
    CSearchForms searchForms;
    searchForms.Build(index, strKeywords, (nMode & 4) != 0, range);
    searchForms.FormatLine();
    return 0;
}
