#pragma once

#include "cli/commandline.h"

#include <string>
#include <vector>

class CCliOutput;
class CVariantTable;

// The variant table of the commands that need one: build writes it as
// yitizi.txt, import-poetry compares poems with it. Either a ready table
// (--variants) or the groups joined from the Unicode Han database
// (unicode-data), OpenCC's Japanese tables (libopencc1.1) and the 常用漢字表's
// 旧字体 (built in); a source named on the command line must be readable,
// a default one that is missing is left out with a warning naming its
// package. Stateless; every member is static.
class CVariantSources {
public:
    CVariantSources() = delete;

    // The options that choose the sources; pszVariantsHelp describes
    // --variants for the command.
    static std::vector<OptionSpec> Options(const char* pszVariantsHelp);

    // Makes variants as commandLine's options say, telling out what it
    // joined when bTell (warnings always). False with strError naming the
    // option or file at fault.
    static bool Make(const CCommandLine& commandLine, const CCliOutput& out, bool bTell, CVariantTable& variants /* OUT */,
                     std::string& strError /* OUT */);
};
