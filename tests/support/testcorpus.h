#pragma once

#include "corpus/catalog.h"

#include <cstdint>
#include <string>
#include <vector>

// A catalogue record as tests write them.
CatalogRecord Record(const std::u16string& strName, int32_t nLevel, int32_t nDocID = 1, int32_t nDocNo = 1,
                     uint16_t nCurFileName = 1);

// Writes a small corpus for tests of the readers: page i (page number i + 1)
// holds the UTF-8 form of pages[i]; its characters stand at positions 0, 1,
// 2, ... in all three indexes, each posted under its slot and, through
// strVariants ("yitizi.txt" text), under its group's slot. nShuffleSeed
// scatters the postings blocks over the file.
void WriteSimpleCorpus(const std::string& strFolder, const std::vector<std::u16string>& pages,
                       const std::string& strVariants = "", unsigned long long nShuffleSeed = 0);
