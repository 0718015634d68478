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
#include <thread>

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
    // Their full blocks wait in temporary files of the staging folder, so
    // that the build holds only each stream's last block in memory.
    for (CIndexWriter* pWriter : {pWhole.get(), pMain.get(), pNotes.get()}) {
        pWriter->SetShuffleSeed(m_nShuffleSeed);
        if (!pWriter->SpillTo(strStage, strError)) return false;
    }

    // The group slot of every code point that has one (-1: none), looked up
    // once instead of for every character.
    std::vector<int32_t> groupSlots;
    for (const std::vector<uint32_t>& group : written.Groups()) {
        for (uint32_t nCodePoint : group) {
            if (nCodePoint >= groupSlots.size()) groupSlots.resize(static_cast<size_t>(nCodePoint) + 1, -1);
            int32_t nGroupSlot = -1;
            if (written.MapVariantSlot(nCodePoint, nGroupSlot)) groupSlots[nCodePoint] = nGroupSlot;
        }
    }

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

    // Two workers walk the pages in outline order, each building them: the
    // first writes the page store, the catalogue and the whole-text index,
    // the second the main-text and annotation indexes (the three indexes
    // are independent). Each stops at its first fault; the fault of the
    // earlier page is reported, the first worker's on the same page.
    struct Fault {
        uint32_t page = UINT32_MAX;
        std::string message;
    };
    const size_t nTotal = source.PageCount();
    auto walk = [&](bool bFirst, Fault& fault) {
        uint32_t nPage = 0;  // page index of the next page
        CPageBuilder builder;
        std::vector<CIndexWriter::Occurrence> whole;
        std::vector<CIndexWriter::Occurrence> mainText;
        std::vector<CIndexWriter::Occurrence> notes;
        std::string strFault;
        for (size_t c = 0; c < source.categories.size(); ++c) {
            const SourceCategory& category = source.categories[c];
            const size_t nCategoryRecord =
                bFirst ? addRecord(category.name, 1, nPage, category.books.front().volumes.front().pages.front().number) : 0;
            for (size_t b = 0; b < category.books.size(); ++b) {
                const SourceBook& book = category.books[b];
                const size_t nBookRecord =
                    bFirst ? addRecord(book.name, 2, nPage, book.volumes.front().pages.front().number) : 0;
                for (size_t v = 0; v < book.volumes.size(); ++v) {
                    const SourceVolume& volume = book.volumes[v];
                    const size_t nVolumeRecord = bFirst ? addRecord(volume.name, 3, nPage, volume.pages.front().number) : 0;
                    for (const SourcePage& page : volume.pages) {
                        auto where = [&]() {
                            return page.origin.empty() ? category.name + "/" + book.name + "/" + volume.name +
                                                             "/page " + std::to_string(page.number)
                                                       : page.origin;
                        };
                        builder.Build(book.name, volume.name, page.number, page.text);
                        if (bFirst && !store.AddPage(PageName(c + 1, b + 1, v + 1, page.number), builder.Html(), strFault)) {
                            fault = {nPage, where() + ": " + strFault};
                            return;
                        }
                        whole.clear();
                        mainText.clear();
                        notes.clear();
                        for (const PageChar& ch : builder.Chars()) {
                            const int32_t nSlot = CCodeConverter::IndexSlot(ch.codePoint);
                            if (bFirst) {
                                ++m_summary.characters;
                                if (nSlot >= 0) ++m_summary.indexed;
                            }
                            if (nSlot < 0) continue;
                            const int32_t nGroupSlot = ch.codePoint < groupSlots.size() ? groupSlots[ch.codePoint] : -1;
                            std::vector<CIndexWriter::Occurrence>& occurrences =
                                bFirst ? whole : ch.annotation ? notes : mainText;
                            occurrences.push_back({nSlot, ch.position});
                            if (nGroupSlot >= 0) occurrences.push_back({nGroupSlot, ch.position});
                        }
                        const bool bOk = bFirst ? pWhole->AddPage(nPage, whole, strFault)
                                                : pMain->AddPage(nPage, mainText, strFault) &&
                                                      pNotes->AddPage(nPage, notes, strFault);
                        if (!bOk) {
                            fault = {nPage, where() + ": cannot index the page: " + strFault};
                            return;
                        }
                        ++nPage;
                        if (bFirst && m_progress) m_progress(nPage, nTotal);
                    }
                    if (bFirst) catalog[nVolumeRecord].docNo = static_cast<int32_t>(nPage + 1) - catalog[nVolumeRecord].docID;
                }
                if (bFirst) catalog[nBookRecord].docNo = static_cast<int32_t>(nPage + 1) - catalog[nBookRecord].docID;
            }
            if (bFirst) catalog[nCategoryRecord].docNo = static_cast<int32_t>(nPage + 1) - catalog[nCategoryRecord].docID;
        }
        // Each writes its files once its walk is done.
        if (bFirst && !store.Finish(m_nHeaderValue, HeaderText, strFault)) {
            fault = {nPage, strFault};
            return;
        }
        std::vector<std::pair<IndexScope, CIndexWriter*>> indexes;
        if (bFirst)
            indexes = {{IndexScope::WholeText, pWhole.get()}};
        else
            indexes = {{IndexScope::MainText, pMain.get()}, {IndexScope::Annotations, pNotes.get()}};
        for (const auto& index : indexes) {
            if (!index.second->Write(CCorpusFiles::IndexHeader(strStage, index.first),
                                     CCorpusFiles::IndexPostings(strStage, index.first), strFault)) {
                fault = {nPage, strFault};
                return;
            }
        }
        if (bFirst) m_summary.pages = nPage;
    };
    Fault first;
    Fault second;
    std::exception_ptr pSecondException;
    std::thread worker([&]() {
        try {
            walk(false, second);
        } catch (...) {
            pSecondException = std::current_exception();
        }
    });
    try {
        walk(true, first);
    } catch (...) {
        worker.join();
        throw;
    }
    worker.join();
    if (pSecondException) std::rethrow_exception(pSecondException);
    if (!first.message.empty() || !second.message.empty()) {
        strError = second.page < first.page || first.message.empty() ? second.message : first.message;
        return false;
    }
    if (!CAtomicFile::Write(strStage + "/" + CCorpusFiles::Catalogue, CCatalog::Format(catalog),
                            CAtomicFile::Mode::Staged, strError) ||
        !CAtomicFile::Write(strStage + "/" + CCorpusFiles::Variants, strVariantText, CAtomicFile::Mode::Staged,
                            strError))
        return false;

    m_summary.categories = source.categories.size();
    m_summary.books = source.BookCount();
    m_summary.volumes = source.VolumeCount();
    return true;
}
