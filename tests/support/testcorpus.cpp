#include "support/testcorpus.h"

#include "corpus/filelistwriter.h"
#include "index/index.h"
#include "index/indexwriter.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

void WriteSimpleCorpus(const std::string& strFolder, const std::vector<std::u16string>& pages,
                       const std::string& strVariants, unsigned long long nShuffleSeed) {
    std::string strError;
    CVariantTable variants;
    variants.Parse(strVariants);
    CIndexWriter writer;
    writer.SetShuffleSeed(nShuffleSeed);
    CFileListWriter store;
    if (!store.Open(strFolder, "Index", strError)) throw std::runtime_error(strError);
    for (size_t nPage = 0; nPage < pages.size(); ++nPage) {
        std::u32string text = CCodeConverter::Utf8ToUtf32(CCodeConverter::Utf16ToUtf8(pages[nPage]));
        for (size_t i = 0; i < text.size(); ++i) {
            int32_t nSlot = CCodeConverter::IndexSlot(text[i]);
            if (nSlot < 0) continue;
            bool bOk = writer.AddPosition(nSlot, static_cast<uint32_t>(nPage), static_cast<uint32_t>(i), strError);
            int32_t nGroupSlot = -1;
            if (variants.MapVariantSlot(text[i], nGroupSlot))
                bOk = bOk && writer.AddPosition(nGroupSlot, static_cast<uint32_t>(nPage), static_cast<uint32_t>(i), strError);
            if (!bOk) throw std::runtime_error(strError);
        }
        char szName[32];
        std::snprintf(szName, sizeof szName, "b\\v\\%04zu.htm", nPage + 1);
        if (!store.AddPage(szName, CCodeConverter::Utf16ToUtf8(pages[nPage]), strError))
            throw std::runtime_error(strError);
    }
    if (!store.Finish(14, "test corpus", strError)) throw std::runtime_error(strError);
    for (IndexScope eScope : {IndexScope::WholeText, IndexScope::Annotations, IndexScope::MainText})
        if (!writer.Write(CCorpusFiles::IndexHeader(strFolder, eScope), CCorpusFiles::IndexPostings(strFolder, eScope),
                          strError))
            throw std::runtime_error(strError);
    std::ofstream(strFolder + "/yitizi.txt", std::ios::binary) << strVariants;
}

CatalogRecord Record(const std::u16string& strName, int32_t nLevel, int32_t nDocID, int32_t nDocNo,
                     uint16_t nCurFileName) {
    CatalogRecord record;
    record.name = strName;
    record.level = nLevel;
    record.docID = nDocID;
    record.docNo = nDocNo;
    record.curFileName = nCurFileName;
    return record;
}
