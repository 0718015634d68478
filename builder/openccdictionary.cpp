#include "builder/openccdictionary.h"

#include "platform/fileexception.h"
#include "platform/readonlyfile.h"

#include <opencc/DictEntry.hpp>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MarisaDict.hpp>

#include <cstdio>
#include <memory>

const char* const COpenCCDictionary::DefaultPaths[2] = {"/usr/share/opencc/JPVariants.ocd2",
                                                        "/usr/share/opencc/JPShinjitaiCharacters.ocd2"};
const char* const COpenCCDictionary::Package = "libopencc1.1";

std::string COpenCCDictionary::ReadAsText(const std::string& strPath, uint64_t nMaxBytes) {
    std::string strBytes = CReadOnlyFile::ReadAll(strPath, nMaxBytes);
    static const std::string strMagic = "OPENCC_MARISA";
    if (strBytes.compare(0, strMagic.size(), strMagic) != 0) return strBytes;

    // libopencc reads from a stream: give it the bytes already read.
    std::unique_ptr<FILE, int (*)(FILE*)> file(::fmemopen(strBytes.data(), strBytes.size(), "rb"), &std::fclose);
    if (!file) throw CFileException(strPath, "cannot read the dictionary");
    std::string strText;
    try {
        const opencc::MarisaDictPtr dict = opencc::MarisaDict::NewFromFile(file.get());
        for (const std::unique_ptr<opencc::DictEntry>& entry : *dict->GetLexicon()) {
            strText += entry->Key() + "\t";
            const std::vector<std::string> values = entry->Values();
            for (size_t i = 0; i < values.size(); ++i) strText += (i ? " " : "") + values[i];
            strText += "\n";
        }
    } catch (const opencc::Exception& e) {
        throw CFileException(strPath, std::string("not an OpenCC dictionary: ") + e.what());
    } catch (const std::exception& e) {  // what the trie library throws
        throw CFileException(strPath, std::string("not an OpenCC dictionary: ") + e.what());
    }
    return strText;
}
