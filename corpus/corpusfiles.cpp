#include "corpus/corpusfiles.h"

const char* const CCorpusFiles::BaseName = "Index";
const char* const CCorpusFiles::Catalogue = "vmk.dir";
const char* const CCorpusFiles::Variants = "yitizi.txt";
const char* const CCorpusFiles::CatalogueDump = "vmk.txt";

namespace {

const char* ScopeSuffix(IndexScope eScope) {
    if (eScope == IndexScope::Annotations) return "_desc";
    if (eScope == IndexScope::MainText) return "_content";
    return "";
}

}  // namespace

std::string CCorpusFiles::IndexHeader(const std::string& strFolder, IndexScope eScope, const std::string& strBaseName) {
    return strFolder + "/" + strBaseName + ScopeSuffix(eScope) + "-idx.h";
}

std::string CCorpusFiles::IndexPostings(const std::string& strFolder, IndexScope eScope,
                                        const std::string& strBaseName) {
    return strFolder + "/" + strBaseName + ScopeSuffix(eScope) + "-idx.m";
}

std::string CCorpusFiles::StoreRecords(const std::string& strFolder, const std::string& strBaseName) {
    return strFolder + "/" + strBaseName + "-fl.h";
}

std::string CCorpusFiles::StoreContent(const std::string& strFolder, const std::string& strBaseName) {
    return strFolder + "/" + strBaseName + "-fl.cnt";
}

std::vector<std::string> CCorpusFiles::Names() {
    std::vector<std::string> names;
    const size_t nSkip = 2;  // "./"
    names.push_back(StoreRecords(".").substr(nSkip));
    names.push_back(StoreContent(".").substr(nSkip));
    for (IndexScope eScope : {IndexScope::WholeText, IndexScope::MainText, IndexScope::Annotations}) {
        names.push_back(IndexHeader(".", eScope).substr(nSkip));
        names.push_back(IndexPostings(".", eScope).substr(nSkip));
    }
    names.push_back(Catalogue);
    names.push_back(Variants);
    return names;
}
