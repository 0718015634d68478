// The variant table and the catalogue "vmk.dir" from arbitrary bytes: the
// table parsed and looked up, the catalogue parsed into the contents tree,
// every record taken as a search range and rows built over it.
#include "corpus/catalog.h"
#include "fuzz/fuzzinput.h"
#include "model/contentstree.h"
#include "model/resultlist.h"
#include "text/varianttable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    CFuzzInput input(pData, nSize);
    const std::string strBytes = input.Rest();

    CVariantTable table;
    table.Parse(strBytes);
    int32_t nSlot = 0;
    for (char32_t c : {U'中', U'國', char32_t{0}, char32_t{0xFFFFFFFF}}) table.MapVariantSlot(c, nSlot);
    std::vector<std::u16string> forms;
    table.ExpandVariants(u"中國 ?*", forms);

    bool bTruncated = false;
    const std::vector<CatalogRecord> records = CCatalog::Parse(strBytes, &bTruncated);
    CContentsTree tree;
    for (const CatalogRecord& record : records) tree.AddCatalogueRecord(record);
    tree.FormatDump();
    const std::vector<uint32_t> pages = {0, 1, 2, 5, 100, 0x7FFFFFFF, 0xFFFFFFFF};
    const std::vector<uint32_t> hits = {1, 2, 3};
    for (int32_t nRange = 0; nRange <= static_cast<int32_t>(records.size()) + 1 && nRange < 64; ++nRange) {
        tree.RangeLabel(nRange);
        if (const ContentsNodeTag* pRange = tree.FindRangeNode(nRange)) {
            CResultList results;
            results.BuildResults(*pRange, pages, hits);
            results.GetSummaryLine();
        }
    }
    return 0;
}
