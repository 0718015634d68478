#include "builder/compressedfile.h"
#include "builder/corpuswriter.h"
#include "builder/joyokyujitai.h"
#include "builder/openccdictionary.h"
#include "builder/sourcetree.h"
#include "builder/unihanvariants.h"
#include "builder/variantgroupbuilder.h"
#include "builder/variantpairs.h"
#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "platform/fileexception.h"
#include "platform/readonlyfile.h"
#include "text/varianttable.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const CCliOutput kOut("build");

const char* const kUsage =
    "Usage: tessaline-cli build [OPTIONS] SOURCE_DIR OUT_DIR\n"
    "\n"
    "Writes a corpus (page store, the three indexes, catalogue and variant table)\n"
    "into OUT_DIR, which is created if missing, from the source folder:\n"
    "  SOURCE_DIR/01 category/01 book/01 volume/0001.txt\n"
    "A leading number and one space order the folders and are not part of the\n"
    "names. A page file is UTF-8 text named by its page number; each line is a\n"
    "paragraph, a line starting with \"# \" a heading, {...} an annotation.\n"
    "\n"
    "The variant table (yitizi.txt) joins into groups the variant data of the\n"
    "Unicode Han database (Debian package unicode-data), OpenCC's Japanese tables\n"
    "of 新字体 and 旧字体 (package libopencc1.1) and the 旧字体 of the 常用漢字表\n"
    "(built in), so that 桜 finds 櫻 and 国 finds 國; or it is the ready table of\n"
    "--variants. A missing default source is left out with a warning.\n"
    "\n";

bool ParseInt32(const std::string& strText, int32_t& nValue) {
    if (strText.empty()) return false;
    errno = 0;
    char* pEnd = nullptr;
    const long long n = std::strtoll(strText.c_str(), &pEnd, 10);
    if (errno != 0 || *pEnd != '\0' || n < INT32_MIN || n > INT32_MAX) return false;
    nValue = static_cast<int32_t>(n);
    return true;
}

// Whether strInner is strOuter or lies inside it (after resolving links and
// "..", as far as the paths exist).
bool IsInside(const std::string& strInner, const std::string& strOuter) {
    std::error_code ec;
    const fs::path inner = fs::weakly_canonical(fs::absolute(strInner, ec), ec);
    const fs::path outer = fs::weakly_canonical(fs::absolute(strOuter, ec), ec);
    if (ec) return false;
    auto itInner = inner.begin();
    for (const fs::path& part : outer) {
        if (part.empty()) continue;  // a trailing separator
        if (itInner == inner.end() || *itInner != part) return false;
        ++itInner;
    }
    return true;
}


// The first of paths that is a file, or "".
std::string FirstExisting(const char* const* ppPaths, size_t nPaths) {
    std::error_code ec;
    for (size_t i = 0; i < nPaths; ++i)
        if (fs::is_regular_file(ppPaths[i], ec)) return ppPaths[i];
    return "";
}

// Joins one source of variant pairs; false with strError naming it.
bool JoinPairs(const std::string& strName, const std::string& strText, CVariantGroupBuilder& groups,
               std::string& strError) {
    CVariantPairs::Counts counts;
    if (!CVariantPairs::Parse(strText, groups, counts, strError)) {
        strError = strName + ": " + strError;
        return false;
    }
    kOut.Tell("variants from " + strName + ": " + std::to_string(counts.pairs) + (counts.pairs == 1 ? " pair" : " pairs"));
    return true;
}

// Reads strFile with read and joins its pairs. False with strError naming
// the option and the file when it cannot be read.
bool JoinPairsFile(const char* pszOption, const std::string& strFile,
                   std::string (*read)(const std::string&, uint64_t), CVariantGroupBuilder& groups,
                   std::string& strError) {
    std::string strText;
    try {
        strText = read(strFile, CVariantTable::MaxFileBytes);
    } catch (const CFileException& e) {
        strError = std::string(pszOption) + ": " + e.what();
        return false;
    }
    return JoinPairs(strFile, strText, groups, strError);
}

// The variant table: the ready table of --variants, or the groups joined
// from the Unicode Han data, OpenCC's Japanese tables and the 常用漢字表.
// A source named on the command line must be readable; a default one that
// is missing is left out with a warning naming its package.
bool MakeVariantTable(const CCommandLine& commandLine, CVariantTable& variants, std::string& strError) {
    const bool bSources = commandLine.Has("--unihan") || commandLine.Has("--no-unihan") ||
                          commandLine.Has("--opencc") || commandLine.Has("--no-opencc") ||
                          commandLine.Has("--joyo") || commandLine.Has("--no-joyo");
    if (commandLine.Has("--variants")) {
        if (bSources) {
            strError = "give either --variants or the sources to join (--unihan, --opencc, --joyo), not both";
            return false;
        }
        const std::string strFile = commandLine.Value("--variants");
        try {
            variants.Parse(CReadOnlyFile::ReadAll(strFile, CVariantTable::MaxFileBytes));
        } catch (const CFileException& e) {
            strError = std::string("--variants: ") + e.what();
            return false;
        }
        return true;
    }
    for (const char* pszName : {"--unihan", "--opencc", "--joyo"}) {
        if (commandLine.Has(pszName) && commandLine.Has(std::string("--no-") + (pszName + 2))) {
            strError = std::string("give either ") + pszName + " or --no-" + (pszName + 2) + ", not both";
            return false;
        }
    }

    CVariantGroupBuilder groups;
    if (!commandLine.Has("--no-unihan")) {
        std::string strFile = commandLine.Value("--unihan");
        if (strFile.empty()) strFile = FirstExisting(CUnihanVariants::DefaultPaths, 2);
        if (strFile.empty()) {
            kOut.Tell(std::string("warning: no Unicode Han variant data at ") + CUnihanVariants::DefaultPaths[0] +
                   "(.bz2) (install the Debian package unicode-data); building without it");
        } else {
            size_t nRelations = 0;
            try {
                nRelations = CUnihanVariants::Parse(CCompressedFile::ReadAll(strFile, CVariantTable::MaxFileBytes),
                                                    groups, strError);
            } catch (const CFileException& e) {
                strError = std::string("--unihan: ") + e.what();
                return false;
            }
            if (nRelations == 0) {
                strError = strFile + ": " + strError;
                return false;
            }
            kOut.Tell("variants from " + strFile + ": " + std::to_string(nRelations) + " relations");
        }
    }
    if (!commandLine.Has("--no-opencc")) {
        std::vector<std::string> files = commandLine.Values("--opencc");
        const bool bDefaults = files.empty();
        if (bDefaults) files.assign(std::begin(COpenCCDictionary::DefaultPaths), std::end(COpenCCDictionary::DefaultPaths));
        for (const std::string& strFile : files) {
            std::error_code ec;
            if (bDefaults && !fs::is_regular_file(strFile, ec)) {
                kOut.Warn("no " + strFile + " (install the Debian package " + COpenCCDictionary::Package +
                       "); building without it");
                continue;
            }
            if (!JoinPairsFile("--opencc", strFile, &COpenCCDictionary::ReadAsText, groups, strError)) return false;
        }
    }
    if (!commandLine.Has("--no-joyo")) {
        if (commandLine.Has("--joyo")) {
            if (!JoinPairsFile("--joyo", commandLine.Value("--joyo"), &CReadOnlyFile::ReadAll, groups, strError))
                return false;
        } else if (!JoinPairs(CJoyoKyujitai::Name, CJoyoKyujitai::Text(), groups, strError)) {
            return false;
        }
    }

    size_t nDropped = 0;
    const std::vector<CVariantTable::Group> table = groups.Build(nDropped);
    variants.Parse(CVariantTable::Format(table));
    size_t nLargest = 0;
    for (const CVariantTable::Group& group : table) nLargest = std::max(nLargest, group.size());
    if (table.empty())
        kOut.Warn("no variant groups: variant characters will not count as one");
    else
        kOut.Tell(std::to_string(table.size()) + " variant groups (the largest has " + std::to_string(nLargest) +
               " members)");
    if (nDropped > 0)
        kOut.Warn("" + std::to_string(nDropped) + " further variant groups dropped (the index has slots for " +
               std::to_string(CVariantGroupBuilder::MaxGroups) + ")");
    return true;
}

}  // namespace

int RunBuild(int argc, char** argv) {
    CCommandLine commandLine({
        {"--header-value", "N", "number shown before the slash of the page indicator (default 14)"},
        {"--variants", "FILE", "a ready variant table to write as yitizi.txt (default: joined from the sources below)"},
        {"--unihan", "FILE",
         "Unihan_Variants.txt (or .txt.bz2) to join (default: the one of unicode-data)"},
        {"--no-unihan", nullptr, "leave out the Unicode Han variant data"},
        {"--opencc", "FILE",
         "an OpenCC dictionary (.ocd2 or its text form) to join; may be repeated (default: JPVariants.ocd2 and "
         "JPShinjitaiCharacters.ocd2 of libopencc1.1)"},
        {"--no-opencc", nullptr, "leave out the OpenCC dictionaries"},
        {"--joyo", "FILE", "a table of 新字体<TAB>旧字体 lines to join instead of the built-in 常用漢字表 table"},
        {"--no-joyo", nullptr, "leave out the 常用漢字表 table"},
        {"--help", nullptr, "show this help"},
    });
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError)) {
        return kOut.FailWithUsage(strError, kUsage + commandLine.OptionHelp());
    }
    if (commandLine.Has("--help")) {
        std::printf("%s%s", kUsage, commandLine.OptionHelp().c_str());
        return 0;
    }
    if (commandLine.Positional().size() != 2) {
        return kOut.FailWithUsage("expected SOURCE_DIR and OUT_DIR", kUsage + commandLine.OptionHelp());
    }
    const std::string strSource = commandLine.Positional()[0];
    const std::string strOut = commandLine.Positional()[1];

    int32_t nHeaderValue = CCorpusWriter::DefaultHeaderValue;
    if (commandLine.Has("--header-value") && !ParseInt32(commandLine.Value("--header-value"), nHeaderValue))
        return kOut.Fail("--header-value: not a 32-bit integer: '" + commandLine.Value("--header-value") + "'");

    CVariantTable variants;
    if (!MakeVariantTable(commandLine, variants, strError)) return kOut.Fail(strError);

    if (IsInside(strOut, strSource))
        return kOut.Fail(strOut + ": the output folder must not lie inside the source folder " + strSource);

    CorpusSource source;
    if (!CSourceTree::Read(strSource, source, strError)) return kOut.Fail(strError);

    // Progress: one line rewritten in place on a terminal; elsewhere (a log)
    // a line every few seconds, and only once the build has run a while.
    using Clock = std::chrono::steady_clock;
    const bool bTerminal = ::isatty(STDERR_FILENO) != 0;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastShown = start;
    bool bShown = false;
    CCorpusWriter writer;
    writer.SetHeaderValue(nHeaderValue);
    writer.SetProgressCallback([&](size_t nDone, size_t nTotal) {
        const Clock::time_point now = Clock::now();
        const auto interval = bTerminal ? std::chrono::milliseconds(200) : std::chrono::milliseconds(5000);
        if (now - lastShown < interval && nDone != nTotal) return;
        if (!bTerminal && now - start < std::chrono::seconds(5)) return;
        if (nDone == nTotal && !bShown) return;  // a quick build needs no progress
        lastShown = now;
        bShown = true;
        std::fprintf(stderr, bTerminal ? "\r%zu/%zu pages (%zu%%)" : "%zu/%zu pages (%zu%%)\n", nDone, nTotal,
                     nTotal ? nDone * 100 / nTotal : 100);
        std::fflush(stderr);
    });
    const bool bOk = writer.Write(source, variants, strOut, strError);
    if (bShown && bTerminal) std::fprintf(stderr, "\n");
    if (!bOk) return kOut.Fail(strError);

    for (const std::string& strWarning : writer.Warnings()) kOut.Warn(strWarning);
    const CorpusSummary& summary = writer.Summary();
    kOut.Tell(std::to_string(summary.pages) + " pages, " + std::to_string(summary.characters) + " characters (" +
              std::to_string(summary.indexed) + " indexed), " + std::to_string(summary.categories) + " categories, " +
              std::to_string(summary.books) + " books, " + std::to_string(summary.volumes) + " volumes written to " +
              strOut);
    return 0;
}
