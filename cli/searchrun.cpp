#include "cli/searchrun.h"

#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "model/datafolder.h"
#include "model/keywordcheck.h"

namespace {

const char* const kNoRange = "検索範囲をまた指定していません。";
const char* const kMissingCatalogue = "you delete data file!";

// Why a slot gives no range node, in the words of the catalogue.
std::string NoRangeReason(const CContentsTree& tree, int32_t nSlot) {
    const std::string strSlot = "--range " + std::to_string(nSlot) + ": ";
    const CatalogRecord* pRecord = tree.GetRecord(nSlot);
    if (!pRecord)
        return strSlot + "the catalogue has no record in slot " + std::to_string(nSlot) + " (it has " +
               std::to_string(tree.GetRecordCount()) + " records)";
    if (pRecord->level < 1 || pRecord->level > 3)
        return strSlot + "the catalogue record in slot " + std::to_string(nSlot) + " has level " +
               std::to_string(pRecord->level) + "; a search range is a category, book or volume (level 1 to 3)";
    return strSlot + "the catalogue record in slot " + std::to_string(nSlot) + " (level " +
           std::to_string(pRecord->level) + ") has no record of level " + std::to_string(pRecord->level - 1) +
           " before it, so it is not in the contents tree";
}

}  // namespace

std::vector<OptionSpec> CSearchRun::Options() {
    return {
        {"--data", "DIR", "corpus folder (default: $TESSALINE_DATA, else the program's folder)"},
        {"--or", nullptr, "pages with any keyword (default: pages with every keyword)"},
        {"--no-variants", nullptr, "variant characters do not count as the same character"},
        {"--part", "PART", "text part searched: whole (default), main or annotations"},
        {"--range", "SLOT", "catalogue slot that limits the search (default 1, the first record)"},
        {"--within", "KEYWORDS",
         "search within the result of a search of KEYWORDS first (repeatable: each narrows the one before, in order)"},
    };
}

int CSearchRun::Run(const CCommandLine& commandLine, const CCliOutput& out, const std::function<int()>& checkOwn) {
    const std::string strPart = commandLine.Value("--part", "whole");
    if (!CCommandLine::ParsePart(strPart, m_ePart))
        return out.Fail("--part " + strPart + ": expected whole, main or annotations");
    if (checkOwn) {
        const int nStatus = checkOwn();
        if (nStatus != 0) return nStatus;
    }

    int32_t nRange = 1;
    const std::string strRange = commandLine.Value("--range", "1");
    if (!CCommandLine::ParseCount(strRange, nRange))
        return out.Fail("--range " + strRange + ": expected a catalogue slot number");
    if (nRange == 0) return out.Fail(kNoRange);

    // The keywords as the keyword box would hold them: one line, ideographic
    // spaces taken as spaces; first those of each --within, the searches
    // whose results the last one narrows.
    m_bVariants = !commandLine.Has("--no-variants");
    m_bOr = commandLine.Has("--or");
    std::vector<SearchStepTag> steps;
    std::vector<std::string> arguments = commandLine.Values("--within");
    const size_t nWithin = arguments.size();
    std::vector<std::u16string> keywords(nWithin + 1);
    for (size_t i = 0; i <= nWithin; ++i) {
        const bool bLast = i == nWithin;
        const std::string strWhat = bLast ? "the keywords" : "--within '" + arguments[i] + "'";
        if (!CCommandLine::JoinKeywords(bLast ? commandLine.Positional() : std::vector<std::string>{arguments[i]}, 0,
                                        keywords[i]))
            return out.Fail(bLast ? "the keywords are not valid UTF-8" : strWhat + ": not valid UTF-8");
        const std::string strKeywordError = CKeywordCheck::Check(keywords[i]);
        if (!strKeywordError.empty()) return out.Fail(bLast ? strKeywordError : strWhat + ": " + strKeywordError);
        steps.push_back({keywords[i], m_bOr, m_bVariants, m_ePart});
    }

    std::string strError;
    if (!CDataFolder::Resolve(commandLine.Value("--data"), m_strFolder, strError)) return out.Fail(strError);
    if (!m_index.Open(m_strFolder, CCorpusFiles::BaseName, ScopeOf(m_ePart)))
        return out.Fail(std::string(CIndex::OpenFailedMessage) + " " + m_index.GetOpenError());

    std::vector<CatalogRecord> records;
    if (!CCatalog::Read(m_strFolder + "/" + CCorpusFiles::Catalogue, records, strError))
        return out.Fail(std::string(kMissingCatalogue) + " " + strError);
    for (const CatalogRecord& record : records) m_tree.AddCatalogueRecord(record);
    m_pRange = m_tree.FindRangeNode(nRange);
    if (!m_pRange) return out.Fail(NoRangeReason(m_tree, nRange));

    m_chain.Start(m_index, steps.front());
    for (size_t i = 1; i < steps.size(); ++i) m_chain.Narrow(m_index, steps[i]);
    m_strKeywords = m_chain.Keywords();
    m_results.BuildResults(*m_pRange, m_chain.Pages(), m_chain.Hits());
    return 0;
}
