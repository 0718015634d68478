#include "builder/sourcetree.h"

#include "corpus/catalog.h"
#include "platform/fileexception.h"
#include "platform/readonlyfile.h"
#include "text/codeconverter.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

namespace {

struct FolderEntry {
    std::string strPath;      // full path, for messages and reading
    std::string strFileName;  // last component
    bool bFolder = false;
    bool bPrefix = false;     // folders only: has an ordering prefix
    std::string strNumber;    // the prefix without leading zeros
    std::string strName;      // display name (prefix removed)
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string StripZeros(const std::string& strDigits) {
    size_t n = strDigits.find_first_not_of('0');
    return n == std::string::npos ? std::string() : strDigits.substr(n);
}

// Numbers as digit strings without leading zeros: shorter is smaller.
bool NumberLess(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

bool FolderLess(const FolderEntry& a, const FolderEntry& b) {
    if (a.bPrefix != b.bPrefix) return a.bPrefix;
    if (a.bPrefix && a.strNumber != b.strNumber) return NumberLess(a.strNumber, b.strNumber);
    if (!a.bPrefix && a.strName != b.strName) return a.strName < b.strName;
    return a.strFileName < b.strFileName;
}

// The entries of a folder, hidden ones left out, in directory order.
bool ListFolder(const std::string& strFolder, std::vector<FolderEntry>& entries, std::string& strError) {
    entries.clear();
    std::error_code ec;
    fs::directory_iterator it(strFolder, ec);
    if (ec) {
        strError = strFolder + ": cannot read the folder (" + ec.message() + ")";
        return false;
    }
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        FolderEntry entry;
        entry.strFileName = it->path().filename().string();
        if (entry.strFileName.empty() || entry.strFileName[0] == '.') continue;
        entry.strPath = strFolder + "/" + entry.strFileName;
        std::error_code ecType;
        fs::file_status status = fs::status(it->path(), ecType);  // follows links
        if (!ecType && fs::is_directory(status)) {
            entry.bFolder = true;
        } else if (ecType || !fs::is_regular_file(status)) {
            strError = entry.strPath + ": neither a file nor a folder (a broken link?)";
            return false;
        }
        entries.push_back(std::move(entry));
    }
    if (ec) {
        strError = strFolder + ": cannot read the folder (" + ec.message() + ")";
        return false;
    }
    return true;
}

bool CheckName(const std::string& strName, const std::string& strWhere, const char* pszWhat, std::string& strError);

// The sub-folders of a category, book or source folder, in outline order.
// pszWhat names what they are ("category"), for the messages.
bool ListSubfolders(const std::string& strFolder, const char* pszWhat, std::vector<FolderEntry>& folders,
                    std::string& strError) {
    if (!ListFolder(strFolder, folders, strError)) return false;
    for (FolderEntry& entry : folders) {
        if (!entry.bFolder) {
            strError = entry.strPath + ": a file where a " + pszWhat +
                       " folder is expected (pages go in SOURCE_DIR/category/book/volume/NNNN.txt)";
            return false;
        }
        std::string strNumber;
        entry.bPrefix = CSourceTree::SplitPrefix(entry.strFileName, strNumber, entry.strName);
        if (entry.bPrefix)
            entry.strNumber = StripZeros(strNumber);
        else
            entry.strName = entry.strFileName;
        if (!CheckName(entry.strName, entry.strPath, pszWhat, strError)) return false;
    }
    std::sort(folders.begin(), folders.end(), FolderLess);
    return true;
}

bool ReadVolume(const std::string& strFolder, SourceVolume& volume, std::string& strError) {
    std::vector<FolderEntry> entries;
    if (!ListFolder(strFolder, entries, strError)) return false;
    for (const FolderEntry& entry : entries) {
        if (entry.bFolder) {
            strError = entry.strPath + ": a folder inside a volume (a volume folder holds only page files NNNN.txt)";
            return false;
        }
        const std::string& strFile = entry.strFileName;
        const size_t nDot = strFile.rfind('.');
        if (nDot == std::string::npos || strFile.compare(nDot, std::string::npos, ".txt") != 0) {
            strError = entry.strPath + ": not a page file (page files are named NNNN.txt)";
            return false;
        }
        const std::string strStem = strFile.substr(0, nDot);
        if (strStem.empty() || !std::all_of(strStem.begin(), strStem.end(), IsDigit)) {
            strError = entry.strPath + ": the file name is not a page number (page files are named NNNN.txt)";
            return false;
        }
        const std::string strNumber = StripZeros(strStem);
        if (strNumber.size() > CSourceTree::MaxPageDigits) {
            strError = entry.strPath + ": page number " + strStem + " is too large (at most " +
                       std::to_string(CSourceTree::MaxPageDigits) + " digits)";
            return false;
        }
        SourcePage page;
        page.number = strNumber.empty() ? 0 : std::stoi(strNumber);
        page.origin = entry.strPath;
        try {
            page.text = CReadOnlyFile::ReadAll(entry.strPath, CSourceTree::MaxPageFileBytes);
        } catch (const CFileException& e) {
            strError = e.what();
            return false;
        }
        if (page.text.compare(0, 3, "\xEF\xBB\xBF") == 0) page.text.erase(0, 3);
        volume.pages.push_back(std::move(page));
    }
    std::stable_sort(volume.pages.begin(), volume.pages.end(),
                     [](const SourcePage& a, const SourcePage& b) { return a.number < b.number; });
    return true;
}

std::string Where(const std::string& strCategory, const std::string& strBook = std::string(),
                  const std::string& strVolume = std::string()) {
    std::string s = strCategory;
    if (!strBook.empty()) s += "/" + strBook;
    if (!strVolume.empty()) s += "/" + strVolume;
    return s;
}

std::string PageWhere(const SourcePage& page, const std::string& strVolumeWhere) {
    if (!page.origin.empty()) return page.origin;
    return strVolumeWhere + "/page " + std::to_string(page.number);
}

bool CheckName(const std::string& strName, const std::string& strWhere, const char* pszWhat, std::string& strError) {
    if (strName.empty()) {
        strError = (strWhere.empty() ? std::string() : strWhere + ": ") + "a " + pszWhat +
                   " has an empty name (a folder named by its ordering number only?)";
        return false;
    }
    if (CCodeConverter::FindInvalidUtf8(strName) != std::string::npos) {
        strError = strWhere + ": the " + pszWhat + " name is not valid UTF-8";
        return false;
    }
    if (CCodeConverter::Utf8ToUtf16(strName).size() > CSourceTree::MaxNameUnits) {
        strError = strWhere + ": the " + pszWhat + " name is longer than " +
                   std::to_string(CSourceTree::MaxNameUnits) + " characters";
        return false;
    }
    return true;
}

bool CheckPageText(const SourcePage& page, const std::string& strWhere, std::string& strError) {
    const std::string& strText = page.text;
    size_t nBad = CCodeConverter::FindInvalidUtf8(strText);
    const char* pszWhat = "invalid UTF-8";
    const size_t nNul = strText.find('\0');
    if (nNul != std::string::npos && (nBad == std::string::npos || nNul < nBad)) {
        nBad = nNul;
        pszWhat = "a NUL byte";
    }
    if (nBad != std::string::npos) {
        const size_t nLine = 1 + static_cast<size_t>(std::count(strText.begin(), strText.begin() + nBad, '\n'));
        strError = strWhere + ": " + pszWhat + " at byte " + std::to_string(nBad) + " (line " + std::to_string(nLine) + ")";
        return false;
    }
    // An annotation must close on its line: the builder would otherwise
    // end it there and quietly turn the rest of the line into annotation.
    // Braces nest inside an annotation, as CPageBuilder reads them.
    size_t nLine = 1;
    size_t nDepth = 0;
    for (size_t i = 0; i <= strText.size(); ++i) {
        const char c = i < strText.size() ? strText[i] : '\n';
        if (c == '\n') {
            if (nDepth > 0) {
                strError = strWhere + ": line " + std::to_string(nLine) +
                           ": an annotation opened with '{' is not closed with '}' on the same line";
                return false;
            }
            ++nLine;
        } else if (c == '{') {
            ++nDepth;
        } else if (c == '}' && nDepth > 0) {
            --nDepth;
        }
    }
    return true;
}

}  // namespace

size_t CorpusSource::PageCount() const {
    size_t n = 0;
    for (const SourceCategory& category : categories)
        for (const SourceBook& book : category.books)
            for (const SourceVolume& volume : book.volumes) n += volume.pages.size();
    return n;
}

size_t CorpusSource::BookCount() const {
    size_t n = 0;
    for (const SourceCategory& category : categories) n += category.books.size();
    return n;
}

size_t CorpusSource::VolumeCount() const {
    size_t n = 0;
    for (const SourceCategory& category : categories)
        for (const SourceBook& book : category.books) n += book.volumes.size();
    return n;
}

bool CSourceTree::SplitPrefix(const std::string& strFolder, std::string& strNumber, std::string& strName) {
    size_t n = 0;
    while (n < strFolder.size() && IsDigit(strFolder[n])) ++n;
    if (n == 0 || n >= strFolder.size() || strFolder[n] != ' ') return false;
    strNumber = strFolder.substr(0, n);
    strName = strFolder.substr(n + 1);
    return true;
}

bool CSourceTree::Read(const std::string& strFolder, CorpusSource& source, std::string& strError) {
    source = CorpusSource{};
    std::error_code ec;
    if (!fs::is_directory(strFolder, ec)) {
        strError = strFolder + ": not a folder";
        return false;
    }
    // First the folders down to the volumes, then the volumes' pages, read
    // by a few threads at once (most of the time goes to opening files). A
    // fault is reported as a reading in outline order would meet it: that
    // of the first volume that fails, or else the fault met in listing,
    // which came after every volume listed before it.
    struct VolumeRead {
        // Its place in source, which a thread fills in: taken once all of
        // its book's volumes are there; moving the vectors that hold the
        // book later leaves the volumes where they are.
        SourceVolume* pVolume;
        std::string strPath;
        std::string strError;
    };
    std::vector<VolumeRead> reads;
    std::string strListError;
    std::vector<FolderEntry> categories;
    if (!ListSubfolders(strFolder, "category", categories, strListError)) categories.clear();
    for (const FolderEntry& categoryEntry : categories) {
        SourceCategory& category = source.categories.emplace_back();
        category.name = categoryEntry.strName;
        std::vector<FolderEntry> books;
        if (!ListSubfolders(categoryEntry.strPath, "book", books, strListError)) break;
        for (const FolderEntry& bookEntry : books) {
            SourceBook& book = category.books.emplace_back();
            book.name = bookEntry.strName;
            std::vector<FolderEntry> volumes;
            if (!ListSubfolders(bookEntry.strPath, "volume", volumes, strListError)) break;
            for (const FolderEntry& volumeEntry : volumes) book.volumes.emplace_back().name = volumeEntry.strName;
            for (size_t v = 0; v < volumes.size(); ++v) reads.push_back({&book.volumes[v], volumes[v].strPath, {}});
            if (book.volumes.empty()) {
                strListError = bookEntry.strPath + ": the book has no volume folders";
                break;
            }
        }
        if (!strListError.empty()) break;
        if (category.books.empty()) {
            strListError = categoryEntry.strPath + ": the category has no book folders";
            break;
        }
    }
    if (strListError.empty() && source.categories.empty()) strListError = strFolder + ": no category folders";

    std::atomic<size_t> nNext{0};
    std::atomic<size_t> nFirstFault{SIZE_MAX};  // no volume after it need be read
    // An exception in a reading thread (out of memory) stops them all and
    // is thrown on here, as a reading in one thread would have thrown it.
    std::mutex failureMutex;
    std::exception_ptr pFailure;
    auto readVolumes = [&]() {
        try {
            for (size_t i = nNext++; i < reads.size() && i < nFirstFault; i = nNext++) {
                VolumeRead& volume = reads[i];
                bool bOk = ReadVolume(volume.strPath, *volume.pVolume, volume.strError);
                // Page files name the folder in messages; an empty one is
                // named here, where its path is known.
                if (bOk && volume.pVolume->pages.empty()) {
                    volume.strError = volume.strPath + ": the volume has no page files";
                    bOk = false;
                }
                if (bOk) continue;
                size_t nFault = nFirstFault;
                while (i < nFault && !nFirstFault.compare_exchange_weak(nFault, i)) {
                }
            }
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failureMutex);
            if (!pFailure) pFailure = std::current_exception();
            nFirstFault = 0;
        }
    };
    const size_t nThreads = std::min<size_t>({ReadThreads, std::max(1u, std::thread::hardware_concurrency()),
                                              std::max<size_t>(reads.size(), 1)});
    std::vector<std::thread> threads;
    for (size_t t = 1; t < nThreads; ++t) threads.emplace_back(readVolumes);
    readVolumes();
    for (std::thread& thread : threads) thread.join();
    if (pFailure) std::rethrow_exception(pFailure);

    for (const VolumeRead& volume : reads) {
        if (!volume.strError.empty()) {
            strError = volume.strError;
            return false;
        }
    }
    if (!strListError.empty()) {
        strError = strListError;
        return false;
    }
    return Check(source, strError);
}

bool CSourceTree::Check(const CorpusSource& source, std::string& strError) {
    if (source.categories.empty()) {
        strError = "the source holds no categories";
        return false;
    }
    const size_t nRecords = source.categories.size() + source.BookCount() + source.VolumeCount();
    if (nRecords > CCatalog::MaxRecords) {
        strError = "the source has " + std::to_string(nRecords) + " categories, books and volumes; the catalogue holds at most " +
                   std::to_string(CCatalog::MaxRecords);
        return false;
    }
    // docID (page index + 1) is a signed 32-bit number.
    if (source.PageCount() >= static_cast<size_t>(INT32_MAX)) {
        strError = "the source has more pages than a corpus can hold";
        return false;
    }
    for (const SourceCategory& category : source.categories) {
        const std::string strCategory = Where(category.name);
        if (!CheckName(category.name, strCategory, "category", strError)) return false;
        if (category.books.empty()) {
            strError = strCategory + ": the category has no books";
            return false;
        }
        for (const SourceBook& book : category.books) {
            const std::string strBook = Where(category.name, book.name);
            if (!CheckName(book.name, strBook, "book", strError)) return false;
            if (book.volumes.empty()) {
                strError = strBook + ": the book has no volumes";
                return false;
            }
            for (const SourceVolume& volume : book.volumes) {
                const std::string strVolume = Where(category.name, book.name, volume.name);
                if (!CheckName(volume.name, strVolume, "volume", strError)) return false;
                if (volume.pages.empty()) {
                    strError = strVolume + ": the volume has no pages";
                    return false;
                }
                const SourcePage& first = volume.pages.front();
                if (first.number < 0 || first.number > UINT16_MAX) {
                    strError = PageWhere(first, strVolume) + ": page number " + std::to_string(first.number) +
                               " cannot begin a volume (the first page number of a volume is 0 to 65535)";
                    return false;
                }
                for (size_t i = 0; i < volume.pages.size(); ++i) {
                    const SourcePage& page = volume.pages[i];
                    if (!CheckPageText(page, PageWhere(page, strVolume), strError)) return false;
                    if (i == 0) continue;
                    const SourcePage& previous = volume.pages[i - 1];
                    if (page.number == previous.number) {
                        strError = PageWhere(page, strVolume) + ": page " + std::to_string(page.number) +
                                   " occurs twice in the volume (also " + PageWhere(previous, strVolume) + ")";
                        return false;
                    }
                    if (static_cast<int64_t>(page.number) != static_cast<int64_t>(previous.number) + 1) {
                        strError = PageWhere(page, strVolume) + ": page " + std::to_string(page.number) + " follows page " +
                                   std::to_string(previous.number) +
                                   "; the pages of a volume must be numbered consecutively";
                        return false;
                    }
                }
            }
        }
    }
    return true;
}
