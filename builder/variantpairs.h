#pragma once

#include "builder/variantgroupbuilder.h"

#include <cstddef>
#include <string>

// Reads a table of variant pairs in the text form of OpenCC's dictionaries
// (the form `opencc_dict -t text` writes) into variant groups:
//
//   櫻<TAB>桜
//   弁<TAB>辨 瓣 辯 辦 弁
//
// Each line is a key, a TAB and values separated by spaces, in UTF-8;
// empty lines and lines starting with "#" are skipped. The key joins the
// group of each value. Entries of longer words (phrase tables) are left
// out: a group is made of single characters.
class CVariantPairs {
public:
    CVariantPairs() = delete;

    struct Counts {
        size_t pairs = 0;    // key and value joined
        size_t skipped = 0;  // values left out: the key or the value is not one character
    };

    // False with strError ("line N: …") when a line has no TAB, no value
    // or is not valid UTF-8, or the text holds no pair of characters at
    // all; a refused text joins nothing.
    static bool Parse(const std::string& strText, CVariantGroupBuilder& groups, Counts& counts /* OUT */,
                      std::string& strError);
};
