#pragma once

#include "corpus/textparts.h"

#include <string>
#include <vector>

// The names of the files of a corpus folder, in one place (doc/file-formats.md
// describes each):
//
//   Index-fl.h  Index-fl.cnt                  page store (records, content)
//   Index-idx.h  Index-idx.m                  index of the whole text
//   Index_content-idx.h  Index_content-idx.m  index of the main text
//   Index_desc-idx.h  Index_desc-idx.m        index of the annotations
//   vmk.dir                                   catalogue
//   yitizi.txt                                variant table
//
// and of the catalogue dump the reader writes, "vmk.txt". Stateless.
class CCorpusFiles {
public:
    CCorpusFiles() = delete;

    static const char* const BaseName;       // "Index"
    static const char* const Catalogue;      // "vmk.dir"
    static const char* const Variants;       // "yitizi.txt"
    static const char* const CatalogueDump;  // "vmk.txt"

    // strFolder + "/" + strBaseName + the scope's suffix + "-idx.h" / ".m".
    static std::string IndexHeader(const std::string& strFolder, IndexScope eScope,
                                   const std::string& strBaseName = BaseName);
    static std::string IndexPostings(const std::string& strFolder, IndexScope eScope,
                                     const std::string& strBaseName = BaseName);
    // strFolder + "/" + strBaseName + "-fl.h" / "-fl.cnt".
    static std::string StoreRecords(const std::string& strFolder, const std::string& strBaseName = BaseName);
    static std::string StoreContent(const std::string& strFolder, const std::string& strBaseName = BaseName);

    // The names of every file a corpus holds, in the order above.
    static std::vector<std::string> Names();
};
