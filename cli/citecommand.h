#pragma once

#include "cli/clioutput.h"
#include "model/citation.h"
#include "model/contentstree.h"

#include <cstdint>
#include <string>

// What `cite` and `page --cite` share: the catalogue, and a citation read
// back with the reason when it fails. Stateless.
class CCiteCommand {
public:
    CCiteCommand() = delete;

    // The contents tree of the catalogue in strFolder. False with strError.
    static bool LoadTree(const std::string& strFolder, CContentsTree& tree, std::string& strError /* OUT */);
    // The page index that strText (UTF-8) cites: 0, or 1 when it matches
    // no page (or several) and 2 when it is not a citation, after saying why.
    static int Resolve(const CCitation& citation, const std::string& strText, const CCliOutput& out,
                       int32_t& nPageIndex /* OUT */);
};
