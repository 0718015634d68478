#include "cli/variantsources.h"

#include "builder/compressedfile.h"
#include "builder/joyokyujitai.h"
#include "builder/openccdictionary.h"
#include "builder/unihanvariants.h"
#include "builder/variantgroupbuilder.h"
#include "builder/variantpairs.h"
#include "cli/clioutput.h"
#include "platform/fileexception.h"
#include "platform/readonlyfile.h"
#include "text/varianttable.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The first of paths that is a file, or "".
std::string FirstExisting(const char* const* ppPaths, size_t nPaths) {
    std::error_code ec;
    for (size_t i = 0; i < nPaths; ++i)
        if (fs::is_regular_file(ppPaths[i], ec)) return ppPaths[i];
    return "";
}

// Joins one source of variant pairs; false with strError naming it.
bool JoinPairs(const std::string& strName, const std::string& strText, CVariantGroupBuilder& groups,
               const CCliOutput& out, bool bTell, std::string& strError) {
    CVariantPairs::Counts counts;
    if (!CVariantPairs::Parse(strText, groups, counts, strError)) {
        strError = strName + ": " + strError;
        return false;
    }
    if (bTell)
        out.Tell("variants from " + strName + ": " + std::to_string(counts.pairs) + (counts.pairs == 1 ? " pair" : " pairs"));
    return true;
}

// Reads strFile with read and joins its pairs. False with strError naming
// the option and the file when it cannot be read.
bool JoinPairsFile(const char* pszOption, const std::string& strFile,
                   std::string (*read)(const std::string&, uint64_t), CVariantGroupBuilder& groups,
                   const CCliOutput& out, bool bTell, std::string& strError) {
    std::string strText;
    try {
        strText = read(strFile, CVariantTable::MaxFileBytes);
    } catch (const CFileException& e) {
        strError = std::string(pszOption) + ": " + e.what();
        return false;
    }
    return JoinPairs(strFile, strText, groups, out, bTell, strError);
}

}  // namespace

std::vector<OptionSpec> CVariantSources::Options(const char* pszVariantsHelp) {
    return {
        {"--variants", "FILE", pszVariantsHelp},
        {"--unihan", "FILE", "Unihan_Variants.txt (or .txt.bz2) to join (default: the one of unicode-data)"},
        {"--no-unihan", nullptr, "leave out the Unicode Han variant data"},
        {"--opencc", "FILE",
         "an OpenCC dictionary (.ocd2 or its text form) to join; may be repeated (default: JPVariants.ocd2 and "
         "JPShinjitaiCharacters.ocd2 of libopencc1.1)"},
        {"--no-opencc", nullptr, "leave out the OpenCC dictionaries"},
        {"--joyo", "FILE", "a table of 新字体<TAB>旧字体 lines to join instead of the built-in 常用漢字表 table"},
        {"--no-joyo", nullptr, "leave out the 常用漢字表 table"},
    };
}

bool CVariantSources::Make(const CCommandLine& commandLine, const CCliOutput& out, bool bTell, CVariantTable& variants,
                           std::string& strError) {
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
            out.Warn(std::string("no Unicode Han variant data at ") + CUnihanVariants::DefaultPaths[0] +
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
            if (bTell) out.Tell("variants from " + strFile + ": " + std::to_string(nRelations) + " relations");
        }
    }
    if (!commandLine.Has("--no-opencc")) {
        std::vector<std::string> files = commandLine.Values("--opencc");
        const bool bDefaults = files.empty();
        if (bDefaults) files.assign(std::begin(COpenCCDictionary::DefaultPaths), std::end(COpenCCDictionary::DefaultPaths));
        for (const std::string& strFile : files) {
            std::error_code ec;
            if (bDefaults && !fs::is_regular_file(strFile, ec)) {
                out.Warn("no " + strFile + " (install the Debian package " + COpenCCDictionary::Package +
                       "); building without it");
                continue;
            }
            if (!JoinPairsFile("--opencc", strFile, &COpenCCDictionary::ReadAsText, groups, out, bTell, strError)) return false;
        }
    }
    if (!commandLine.Has("--no-joyo")) {
        if (commandLine.Has("--joyo")) {
            if (!JoinPairsFile("--joyo", commandLine.Value("--joyo"), &CReadOnlyFile::ReadAll, groups, out, bTell, strError))
                return false;
        } else if (!JoinPairs(CJoyoKyujitai::Name, CJoyoKyujitai::Text(), groups, out, bTell, strError)) {
            return false;
        }
    }

    size_t nDropped = 0;
    const std::vector<CVariantTable::Group> table = groups.Build(nDropped);
    variants.Parse(CVariantTable::Format(table));
    size_t nLargest = 0;
    for (const CVariantTable::Group& group : table) nLargest = std::max(nLargest, group.size());
    if (table.empty())
        out.Warn("no variant groups: variant characters will not count as one");
    else if (bTell)
        out.Tell(std::to_string(table.size()) + " variant groups (the largest has " + std::to_string(nLargest) +
               " members)");
    if (nDropped > 0)
        out.Warn("" + std::to_string(nDropped) + " further variant groups dropped (the index has slots for " +
               std::to_string(CVariantGroupBuilder::MaxGroups) + ")");
    return true;
}
