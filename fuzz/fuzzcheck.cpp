// The corpus check on damaged corpora: a small real corpus, written once,
// with one of its files replaced, overwritten in part or cut short by the
// fuzzer's bytes, then checked whole.
//
// Input: file (1 byte, modulo the corpus's files), how (1 byte: 0 replace
// the file with the rest, 1 overwrite at the offset, 2 cut at the offset),
// offset (uint32, modulo the file's size + 1), then the bytes.
#include "builder/corpuswriter.h"
#include "corpus/corpusfiles.h"
#include "fuzz/fuzzinput.h"
#include "index/corpuscheck.h"
#include "platform/readonlyfile.h"
#include "text/varianttable.h"

#include <cstdlib>

namespace {

struct Corpus {
    std::string strFolder;
    std::vector<std::string> files;  // each file's bytes as written, in CCorpusFiles::Names() order
};

const Corpus& TheCorpus() {
    static const Corpus s_corpus = [] {
        CorpusSource source;
        source.categories.push_back({"類", {{"書", {{"卷", {}}}}}});
        const char* pages[] = {"# 題\n中國之人{注：國，国也}人人人\n天下明月", "国史\U00027944\U00027944{中?}\n之之之",
                               "學而時習之，不亦說乎？{説，音悅}"};
        int nNumber = 1;
        for (const char* pszText : pages) source.categories[0].books[0].volumes[0].pages.push_back({nNumber++, pszText, ""});
        CVariantTable variants;
        variants.Parse("56FD,570B,56EF\n5B66,5B78\n");
        std::string strError;
        CCorpusWriter writer;
        Corpus corpus;
        corpus.strFolder = FuzzFolder() + "/corpus";
        if (!writer.Write(source, variants, corpus.strFolder, strError)) std::abort();
        for (const std::string& strName : CCorpusFiles::Names())
            corpus.files.push_back(CReadOnlyFile::ReadAll(corpus.strFolder + "/" + strName, 64u << 20));
        return corpus;
    }();
    return s_corpus;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    const Corpus& corpus = TheCorpus();
    const std::string& strFolder = corpus.strFolder;
    const std::vector<std::string> names = CCorpusFiles::Names();
    CFuzzInput input(pData, nSize);
    const size_t nFile = input.Byte() % names.size();
    const uint8_t nHow = input.Byte() % 3;
    const std::string& strClean = corpus.files[nFile];
    const size_t nOffset = input.Uint32() % (strClean.size() + 1);
    const std::string strBytes = input.Rest();
    std::string strDamaged;
    if (nHow == 0)
        strDamaged = strBytes;
    else if (nHow == 1)
        strDamaged = strClean.substr(0, nOffset) + strBytes + strClean.substr(std::min(strClean.size(), nOffset + strBytes.size()));
    else
        strDamaged = strClean.substr(0, nOffset);
    const std::string strPath = strFolder + "/" + names[nFile];
    WriteFuzzFile(strPath, strDamaged);
    CCorpusCheck check;
    std::string strError;
    check.Check(strFolder, false, strError);
    WriteFuzzFile(strPath, strClean);
    return 0;
}
