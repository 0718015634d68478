#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/compressedfile.h"
#include "corpus/corpuswriter.h"
#include "corpus/sourcetree.h"
#include "platform/fileexception.h"
#include "platform/readonlyfile.h"
#include "text/unihanvariants.h"
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
    "The variant table (yitizi.txt) is made from the Unicode Han database's\n"
    "variant data (Debian package unicode-data) unless --variants is given.\n"
    "\n";

int Fail(const std::string& strMessage) {
    std::fprintf(stderr, "tessaline-cli build: %s\n", strMessage.c_str());
    return 2;
}

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

}  // namespace

int RunBuild(int argc, char** argv) {
    CCommandLine commandLine({
        {"--header-value", "N", "number shown before the slash of the page indicator (default 14)"},
        {"--variants", "FILE", "variant table to use and write as yitizi.txt (default: made from --unihan)"},
        {"--unihan", "FILE",
         "Unihan_Variants.txt (or .txt.bz2) to make the variant table from (default: the one of unicode-data)"},
        {"--help", nullptr, "show this help"},
    });
    std::string strError;
    if (!commandLine.Parse(argc, argv, strError)) {
        std::fprintf(stderr, "tessaline-cli build: %s\n\n%s%s", strError.c_str(), kUsage, commandLine.OptionHelp().c_str());
        return 2;
    }
    if (commandLine.Has("--help")) {
        std::printf("%s%s", kUsage, commandLine.OptionHelp().c_str());
        return 0;
    }
    if (commandLine.Positional().size() != 2) {
        std::fprintf(stderr, "tessaline-cli build: expected SOURCE_DIR and OUT_DIR\n\n%s%s", kUsage,
                     commandLine.OptionHelp().c_str());
        return 2;
    }
    const std::string strSource = commandLine.Positional()[0];
    const std::string strOut = commandLine.Positional()[1];

    int32_t nHeaderValue = CCorpusWriter::DefaultHeaderValue;
    if (commandLine.Has("--header-value") && !ParseInt32(commandLine.Value("--header-value"), nHeaderValue))
        return Fail("--header-value: not a 32-bit integer: '" + commandLine.Value("--header-value") + "'");

    CVariantTable variants;
    if (commandLine.Has("--variants") && commandLine.Has("--unihan"))
        return Fail("give either --variants or --unihan, not both");
    if (commandLine.Has("--variants")) {
        const std::string strFile = commandLine.Value("--variants");
        try {
            variants.Parse(CReadOnlyFile::ReadAll(strFile, CVariantTable::MaxFileBytes));
        } catch (const CFileException& e) {
            return Fail(std::string("--variants: ") + e.what());
        }
    } else {
        std::string strFile = commandLine.Value("--unihan");
        if (strFile.empty()) {
            std::error_code ec;
            for (const char* pszPath : CUnihanVariants::DefaultPaths) {
                if (fs::is_regular_file(pszPath, ec)) {
                    strFile = pszPath;
                    break;
                }
            }
            if (strFile.empty())
                return Fail(std::string("no Unicode Han variant data at ") + CUnihanVariants::DefaultPaths[0] +
                            "(.bz2): install the Debian package unicode-data, give --unihan FILE, or give "
                            "--variants FILE (an empty file builds without variants)");
        }
        CUnihanVariants unihan;
        try {
            if (!unihan.Parse(CCompressedFile::ReadAll(strFile, CVariantTable::MaxFileBytes), strError))
                return Fail(strFile + ": " + strError);
        } catch (const CFileException& e) {
            return Fail(std::string("--unihan: ") + e.what());
        }
        variants.Parse(CVariantTable::Format(unihan.Groups()));
        std::fprintf(stderr, "tessaline-cli build: %zu variant groups from %s\n", unihan.Groups().size(),
                     strFile.c_str());
        if (unihan.DroppedGroups() > 0)
            std::fprintf(stderr, "tessaline-cli build: warning: %zu further variant groups dropped (the index has slots for %zu)\n",
                         unihan.DroppedGroups(), CUnihanVariants::MaxGroups);
    }

    if (IsInside(strOut, strSource))
        return Fail(strOut + ": the output folder must not lie inside the source folder " + strSource);

    CorpusSource source;
    if (!CSourceTree::Read(strSource, source, strError)) return Fail(strError);

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
    if (!bOk) return Fail(strError);

    for (const std::string& strWarning : writer.Warnings())
        std::fprintf(stderr, "tessaline-cli build: warning: %s\n", strWarning.c_str());
    const CorpusSummary& summary = writer.Summary();
    std::fprintf(stderr,
                 "tessaline-cli build: %zu pages, %zu characters (%zu indexed), %zu categories, %zu books, "
                 "%zu volumes written to %s\n",
                 summary.pages, summary.characters, summary.indexed, summary.categories, summary.books,
                 summary.volumes, strOut.c_str());
    return 0;
}
