#pragma once

#include "builder/variantgroupbuilder.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Reads the variant data of the Unicode Han database (Unihan_Variants.txt)
// into the groups of "yitizi.txt":
//
//   U+56FD<TAB>kTraditionalVariant<TAB>U+570B
//   U+570B<TAB>kSemanticVariant<TAB>U+56EF<kMeyerWempe
//
// Every character joins the group of each character it names under
// kTraditionalVariant, kSimplifiedVariant, kZVariant or kSemanticVariant:
// 国, 國 and 囯 form one group, as do 学, 學 and 斈. Semantic variants are
// needed because the data gives some common forms (囯 for 國) only as
// those. kSpecializedSemanticVariant (the same meaning only in some uses)
// and kSpoofingVariant are left out; so are other fields. Stateless.
class CUnihanVariants {
public:
    CUnihanVariants() = delete;

    // Where Debian's package unicode-data installs the file (compressed).
    static const char* const DefaultPaths[2];

    // Joins the relations of the text of Unihan_Variants.txt into groups
    // and returns how many it read (one per code point named in a used
    // field). Comment lines ("#") and empty lines are skipped. 0 with
    // strError ("line N: …") when a line is not "U+XXXX<TAB>field<TAB>value"
    // or a value of a used field is not a list of code points, or when the
    // text holds no variant of a used field at all (not a variant file); a
    // refused text joins nothing.
    static size_t Parse(const std::string& strText, CVariantGroupBuilder& groups, std::string& strError);
};
