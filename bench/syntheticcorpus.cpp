#include "bench/syntheticcorpus.h"

#include "bench/pageexport.h"
#include "text/codeconverter.h"

#include <algorithm>
#include <cstdio>

namespace {

// A name cut to fit a catalogue record (99 UTF-16 units).
std::string FitName(const std::u16string& strName) {
    std::u16string s = strName.substr(0, 90);
    if (!s.empty() && CCodeConverter::IsHighSurrogate(s.back())) s.pop_back();
    return CCodeConverter::Utf16ToUtf8(s);
}

}  // namespace

std::string CSyntheticCorpus::SourceText(const CPageExport& pages, uint32_t nPage, std::mt19937_64* pRng) {
    const std::vector<char32_t>& chars = pages.Chars();
    const std::vector<ExportRun>& runs = pages.Runs();
    std::u32string text;
    std::u32string run;
    std::vector<size_t> free;
    for (size_t r = pages.FirstRun(nPage); r < pages.EndRun(nPage); ++r) {
        const ExportRun& exported = runs[r];
        if ((exported.flags & CPageExport::RunLineStart) && r > pages.FirstRun(nPage)) text.push_back(U'\n');
        if ((exported.flags & CPageExport::RunLineStart) && (exported.flags & CPageExport::RunHeading)) text += U"# ";
        run.assign(chars.begin() + exported.offset, chars.begin() + exported.offset + exported.length);
        if (pRng) {
            free.clear();
            for (size_t i = 0; i < run.size(); ++i)
                if (run[i] != U'{' && run[i] != U'}') free.push_back(i);
            for (size_t i = free.size(); i > 1; --i) {
                const size_t j = static_cast<size_t>((*pRng)() % i);
                std::swap(run[free[i - 1]], run[free[j]]);
            }
            // A paragraph that came to start with "# " would turn into a
            // heading and lose two characters.
            if ((exported.flags & CPageExport::RunLineStart) && !(exported.flags & CPageExport::RunHeading) &&
                !(exported.flags & CPageExport::RunAnnotation) && free.size() >= 2) {
                for (int nTry = 0; nTry < 8 && run.size() >= 2 && run[0] == U'#' && run[1] == U' '; ++nTry)
                    std::swap(run[free[0]], run[free[(*pRng)() % (free.size() - 1) + 1]]);
            }
        }
        if (exported.flags & CPageExport::RunAnnotation) {
            text.push_back(U'{');
            text += run;
            text.push_back(U'}');
        } else {
            text += run;
        }
    }
    std::string out;
    for (char32_t c : text) CCodeConverter::AppendUtf8(c, out);
    return out;
}

bool CSyntheticCorpus::Make(const CPageExport& pages, const std::vector<CatalogRecord>& catalog, size_t nCopies,
                            uint64_t nSeed, CorpusSource& source, std::string& strError) {
    // The books and their volumes' page ranges, in catalogue order.
    struct Volume {
        std::u16string name;
        uint32_t first = 0;
        uint32_t count = 0;
    };
    struct Book {
        std::u16string name;
        std::vector<Volume> volumes;
    };
    std::vector<Book> books;
    uint32_t nNext = 0;
    for (const CatalogRecord& record : catalog) {
        if (record.level == 2) {
            books.push_back(Book{record.name, {}});
        } else if (record.level == 3 && !books.empty()) {
            const uint32_t nFirst = static_cast<uint32_t>(record.docID - 1);
            if (nFirst != nNext || record.docNo <= 0) {
                strError = "the catalogue's volume \"" + CCodeConverter::Utf16ToUtf8(record.name) +
                           "\" does not follow the previous one (first page " + std::to_string(nFirst) +
                           ", expected " + std::to_string(nNext) + ")";
                return false;
            }
            books.back().volumes.push_back(Volume{record.name, nFirst, static_cast<uint32_t>(record.docNo)});
            nNext = nFirst + static_cast<uint32_t>(record.docNo);
        }
    }
    if (nNext != pages.PageCount()) {
        strError = "the catalogue's volumes cover " + std::to_string(nNext) + " pages, the page store holds " +
                   std::to_string(pages.PageCount());
        return false;
    }

    source.categories.clear();
    std::mt19937_64 rng(nSeed);
    for (size_t nCopy = 0; nCopy < nCopies; ++nCopy) {
        SourceCategory category;
        char szName[32];
        std::snprintf(szName, sizeof szName, "複本 %02zu", nCopy + 1);
        category.name = szName;
        for (const Book& book : books) {
            if (book.volumes.empty()) continue;
            SourceBook sourceBook;
            sourceBook.name = FitName(book.name);
            for (size_t v = 0; v < book.volumes.size(); v += VolumesPerVolume) {
                const size_t nEnd = std::min(book.volumes.size(), v + VolumesPerVolume);
                SourceVolume volume;
                volume.name = FitName(book.volumes[v].name + (nEnd - v > 1 ? u"等" : u""));
                int32_t nNumber = 1;
                for (size_t w = v; w < nEnd; ++w) {
                    for (uint32_t p = 0; p < book.volumes[w].count; ++p) {
                        SourcePage page;
                        page.number = nNumber++;
                        page.text = SourceText(pages, book.volumes[w].first + p, nCopy == 0 ? nullptr : &rng);
                        volume.pages.push_back(std::move(page));
                    }
                }
                sourceBook.volumes.push_back(std::move(volume));
            }
            category.books.push_back(std::move(sourceBook));
        }
        source.categories.push_back(std::move(category));
    }
    return true;
}
