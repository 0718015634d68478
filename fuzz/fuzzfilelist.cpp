// The page store: a record file and a content file from the fuzzer's bytes;
// every record read, found and rendered.
//
// Input: k (uint32, taken modulo the size) bytes of record file, then the
// content file.
#include "corpus/corpusfiles.h"
#include "corpus/filelist.h"
#include "fuzz/fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    static const std::string s_strFolder = FuzzFolder();
    CFuzzInput input(pData, nSize);
    const uint32_t nSplit = input.Uint32();
    const size_t nRecordBytes = nSize > 4 ? nSplit % (nSize - 4 + 1) : 0;
    WriteFuzzFile(s_strFolder + "/Index-fl.h", input.Bytes(nRecordBytes));
    WriteFuzzFile(s_strFolder + "/Index-fl.cnt", input.Rest());

    CFileList list;
    if (!list.Open(s_strFolder, CCorpusFiles::BaseName)) return 0;
    const int32_t nPages = std::min(list.GetPageCount(), 64);
    for (int32_t i = -1; i <= nPages; ++i) {
        int32_t nLength = 0;
        std::string strPage;
        std::string strName;
        list.GetPageLength(i, nLength);
        list.ReadPage(i, strPage);
        list.GetPageName(i, strName);
        int32_t nFound = 0;
        list.FindPage(i, 1, nFound);
        std::string strOut;
        list.RenderPage(i, strOut, u"中 ?國", static_cast<TextPart>(i & 3));
    }
    return 0;
}
