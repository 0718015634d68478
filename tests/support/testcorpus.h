#pragma once

#include <string>
#include <vector>

// Writes a small corpus for tests of the readers: page i (page number i + 1)
// holds the UTF-8 form of pages[i]; its characters stand at positions 0, 1,
// 2, ... in all three indexes, each posted under its slot and, through
// strVariants ("yitizi.txt" text), under its group's slot. nShuffleSeed
// scatters the postings blocks over the file.
void WriteSimpleCorpus(const std::string& strFolder, const std::vector<std::u16string>& pages,
                       const std::string& strVariants = "", unsigned long long nShuffleSeed = 0);
