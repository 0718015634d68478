#include "builder/corpuswriter.h"

#include "builder/pagebuilder.h"
#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "corpus/filelistwriter.h"
#include "index/index.h"
#include "index/indexwriter.h"
#include "platform/atomicfile.h"
#include "platform/stagingfolder.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <system_error>

namespace fs = std::filesystem;

const char* const CCorpusWriter::HeaderText = "Tessaline corpus";


std::string CCorpusWriter::PageName(size_t nCategory, size_t nBook, size_t nVolume, int32_t nPageNumber) {
    char szName[96];
    std::snprintf(szName, sizeof szName, "c%02zu\\b%03zu\\v%03zu\\%04d.htm", nCategory, nBook, nVolume, nPageNumber);
    return szName;
}

bool CCorpusWriter::Write(const CorpusSource& source, const CVariantTable& variants, const std::string& strOutDir,
                          std::string& strError) {
    m_summary = CorpusSummary{};
    m_warnings.clear();
    if (!CSourceTree::Check(source, strError)) return false;

    // Built aside and put in place whole: a build that fails or is killed
    // leaves the folder as it was, an older corpus included.
    CStagingFolder stage;
    if (!stage.Create(strOutDir, strError)) return false;
    if (stage.RemovedLeftovers() > 0)
        m_warnings.push_back(std::to_string(stage.RemovedLeftovers()) + " staging folders that interrupted builds of " +
                             strOutDir + " left behind were removed");
    try {
        if (!WriteStaged(source, variants, stage.Path(), strError)) return false;
    } catch (const std::bad_alloc&) {
        strError = "out of memory while building the corpus";
        return false;
    } catch (const std::exception& e) {
        strError = std::string("building the corpus failed: ") + e.what();
        return false;
    }
    // Files of the folder that are not the corpus's (a stamp, notes) stay.
    const std::vector<std::string> names = CCorpusFiles::Names();
    return stage.SwapIn(
        [&names](const std::string& strName) {
            return std::find(names.begin(), names.end(), strName) == names.end() &&
                   strName.compare(0, 17, ".tessaline-build-") != 0;
        },
        strError);
}

bool CCorpusWriter::WriteStaged(const CorpusSource& source, const CVariantTable& variants, const std::string& strStage,
                                std::string& strError) {
    // The index takes group slots from the table as the reader will load it
    // back from the written "yitizi.txt", so that the two always agree.
    const std::string strVariantText = CVariantTable::Format(variants.Groups());
    CVariantTable written;
    written.Parse(strVariantText);
    if (written.Groups().size() > CVariantTable::MaxSearchableGroups)
        m_warnings.push_back("the variant table has " + std::to_string(written.Groups().size()) +
                             " groups; only the first " + std::to_string(CVariantTable::MaxSearchableGroups) +
                             " have a slot and widen a search");

    CFileListWriter store(NameWidth);
    if (!store.Open(strStage, CCorpusFiles::BaseName, strError)) return false;
    // Heap: each writer holds a stream for every one of the 100,000 slots.
    auto pWhole = std::make_unique<CIndexWriter>();
    auto pMain = std::make_unique<CIndexWriter>();
    auto pNotes = std::make_unique<CIndexWriter>();
    for (CIndexWriter* pWriter : {pWhole.get(), pMain.get(), pNotes.get()}) pWriter->SetShuffleSeed(m_nShuffleSeed);

    std::vector<CatalogRecord> catalog;
    auto addRecord = [&catalog](const std::string& strName, int32_t nLevel, uint32_t nFirstPage, int32_t nPageNumber) {
        CatalogRecord record;
        record.name = CCodeConverter::Utf8ToUtf16(strName);
        record.level = nLevel;
        record.docID = static_cast<int32_t>(nFirstPage) + 1;
        record.curFileName = static_cast<uint16_t>(nPageNumber);  // Check keeps it below 65,536
        catalog.push_back(std::move(record));
        return catalog.size() - 1;
    };

    const size_t nTotal = source.PageCount();
    uint32_t nPage = 0;  // page index of the next page
    CPageBuilder builder;
    for (size_t c = 0; c < source.categories.size(); ++c) {
        const SourceCategory& category = source.categories[c];
        const size_t nCategoryRecord =
            addRecord(category.name, 1, nPage, category.books.front().volumes.front().pages.front().number);
        for (size_t b = 0; b < category.books.size(); ++b) {
            const SourceBook& book = category.books[b];
            const size_t nBookRecord = addRecord(book.name, 2, nPage, book.volumes.front().pages.front().number);
            for (size_t v = 0; v < book.volumes.size(); ++v) {
                const SourceVolume& volume = book.volumes[v];
                const size_t nVolumeRecord = addRecord(volume.name, 3, nPage, volume.pages.front().number);
                for (const SourcePage& page : volume.pages) {
                    const std::string strName = PageName(c + 1, b + 1, v + 1, page.number);
                    const std::string strWhere =
                        page.origin.empty() ? category.name + "/" + book.name + "/" + volume.name + "/page " +
                                                  std::to_string(page.number)
                                            : page.origin;
                    builder.Build(book.name, volume.name, page.number, page.text);
                    if (!store.AddPage(strName, builder.Html(), strError)) {
                        strError = strWhere + ": " + strError;
                        return false;
                    }
                    for (const PageChar& ch : builder.Chars()) {
                        ++m_summary.characters;
                        const int32_t nSlot = CCodeConverter::IndexSlot(ch.codePoint);
                        if (nSlot < 0) continue;
                        ++m_summary.indexed;
                        int32_t nGroupSlot = -1;
                        const bool bGroup = written.MapVariantSlot(ch.codePoint, nGroupSlot);
                        CIndexWriter* pPart = ch.annotation ? pNotes.get() : pMain.get();
                        for (CIndexWriter* pWriter : {pWhole.get(), pPart}) {
                            bool bOk = pWriter->AddPosition(nSlot, nPage, ch.position, strError);
                            if (bOk && bGroup) bOk = pWriter->AddPosition(nGroupSlot, nPage, ch.position, strError);
                            if (!bOk) {
                                strError = strWhere + ": cannot index the page: " + strError;
                                return false;
                            }
                        }
                    }
                    ++nPage;
                    if (m_progress) m_progress(nPage, nTotal);
                }
                catalog[nVolumeRecord].docNo = static_cast<int32_t>(nPage + 1) - catalog[nVolumeRecord].docID;
            }
            catalog[nBookRecord].docNo = static_cast<int32_t>(nPage + 1) - catalog[nBookRecord].docID;
        }
        catalog[nCategoryRecord].docNo = static_cast<int32_t>(nPage + 1) - catalog[nCategoryRecord].docID;
    }

    if (!store.Finish(m_nHeaderValue, HeaderText, strError)) return false;
    const std::pair<IndexScope, CIndexWriter*> indexes[] = {
        {IndexScope::WholeText, pWhole.get()}, {IndexScope::MainText, pMain.get()}, {IndexScope::Annotations, pNotes.get()}};
    for (const auto& index : indexes) {
        if (!index.second->Write(CCorpusFiles::IndexHeader(strStage, index.first),
                                 CCorpusFiles::IndexPostings(strStage, index.first), strError))
            return false;
    }
    if (!CAtomicFile::Write(strStage + "/" + CCorpusFiles::Catalogue, CCatalog::Format(catalog),
                            CAtomicFile::Mode::Staged, strError) ||
        !CAtomicFile::Write(strStage + "/" + CCorpusFiles::Variants, strVariantText, CAtomicFile::Mode::Staged,
                            strError))
        return false;

    m_summary.pages = nPage;
    m_summary.categories = source.categories.size();
    m_summary.books = source.BookCount();
    m_summary.volumes = source.VolumeCount();
    return true;
}
