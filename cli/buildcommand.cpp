#include "builder/corpuswriter.h"
#include "builder/sourcetree.h"
#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "cli/commands.h"
#include "cli/variantsources.h"
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


}  // namespace

int RunBuild(int argc, char** argv) {
    std::vector<OptionSpec> options = {
        {"--header-value", "N", "number shown before the slash of the page indicator (default 14)"},
    };
    for (const OptionSpec& option : CVariantSources::Options(
             "a ready variant table to write as yitizi.txt (default: joined from the sources below)"))
        options.push_back(option);
    options.push_back({"--help", nullptr, "show this help"});
    CCommandLine commandLine(std::move(options));
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
    if (!CVariantSources::Make(commandLine, kOut, true, variants, strError)) return kOut.Fail(strError);

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
