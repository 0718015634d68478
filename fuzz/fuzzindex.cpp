// The index: a header and a postings file built from the fuzzer's bytes,
// opened and searched with a few patterns.
//
// Input: n (1 byte) chain entries; for each of four slots (中, 國, 人 and
// variant group 0) its first block and last page (uint32 each); n chain
// entries (uint32 each); the rest is the postings file.
#include "corpus/corpusfiles.h"
#include "fuzz/fuzzinput.h"
#include "index/index.h"
#include "text/codeconverter.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

const char32_t kSlotChars[] = {U'中', U'國', U'人'};

void PutUint32(std::string& s, size_t nAt, uint32_t n) {
    for (int i = 0; i < 4; ++i) s[nAt + static_cast<size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
}

// Patches the header file in place: the tables of the four slots and the
// chain, so that each input does not rewrite 1.4 MB.
void PatchHeader(const std::string& strPath, const int32_t (&slots)[4], CFuzzInput& input, uint32_t nChain) {
    int fd = open(strPath.c_str(), O_WRONLY);
    if (fd < 0) std::abort();
    std::string strEntry(4, '\0');
    for (int32_t nSlot : slots) {
        PutUint32(strEntry, 0, input.Uint32());
        pwrite(fd, strEntry.data(), 4, 4 * nSlot);
        PutUint32(strEntry, 0, input.Uint32());
        pwrite(fd, strEntry.data(), 4, 1000000 + 4 * nSlot);
    }
    std::string strChain(4 * nChain, '\0');
    for (uint32_t i = 0; i < nChain; ++i) PutUint32(strChain, 4 * i, input.Uint32());
    if (ftruncate(fd, 1400000) != 0 || pwrite(fd, strChain.data(), strChain.size(), 1400000) < 0) std::abort();
    close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static int32_t s_slots[4];
    static const std::string s_strFolder = [] {
        const std::string strFolder = FuzzFolder();
        // A page store of four pages and a variant group of 中 and 國.
        std::string strRecords(268, '\0');
        strRecords[4] = 16;
        for (int i = 0; i < 4; ++i) {
            std::string strRecord = "a\\" + std::to_string(i + 1) + ".h";
            strRecord.resize(16 + 8, '\0');
            strRecords += strRecord;
        }
        WriteFuzzFile(strFolder + "/Index-fl.h", strRecords);
        WriteFuzzFile(strFolder + "/Index-fl.cnt", "");
        WriteFuzzFile(strFolder + "/yitizi.txt", "4E2D,570B\n");
        // Every slot without postings; the four slots are patched per input.
        std::string strHeader(1400000, '\0');
        for (size_t s = 0; s < 100000; ++s) PutUint32(strHeader, 4 * s, CIndex::NoBlock);
        WriteFuzzFile(strFolder + "/Index-idx.h", strHeader);
        for (int i = 0; i < 3; ++i) s_slots[i] = CCodeConverter::IndexSlot(kSlotChars[i]);
        s_slots[3] = 88065;
        return strFolder;
    }();
    CFuzzInput input(pData, nSize);
    const uint32_t nChain = input.Byte();
    PatchHeader(s_strFolder + "/Index-idx.h", s_slots, input, nChain);
    WriteFuzzFile(s_strFolder + "/Index-idx.m", input.Rest());

    CIndex index;
    if (!index.Open(s_strFolder, CCorpusFiles::BaseName, IndexScope::WholeText)) return 0;
    for (const char16_t* pszPattern : {u"中國", u"中?國", u"中*國*人", u"人人", u"國*"}) {
        index.SearchPattern(pszPattern, CombineReplace, true, false);
        index.SearchPattern(pszPattern, CombineUnion, true, true);
    }
    std::u16string keywords = u"中 國人";
    index.SearchAnd(keywords, true, true);
    keywords = u"人 中?國";
    index.SearchOr(keywords, true, false);
    return 0;
}
