#pragma once

#include "cli/clioutput.h"
#include "cli/commandline.h"
#include "corpus/textparts.h"
#include "index/index.h"
#include "model/contentstree.h"
#include "model/resultlist.h"
#include "model/searchchain.h"

#include <functional>
#include <string>
#include <vector>

// A search as the search panel runs it, for the commands that start from
// one (search, kwic): its options, the index of the chosen part, the
// catalogue and range, the keywords (and the searches it narrows, from
// --within) and the result rows.
// Not copyable (it owns the index).
class CSearchRun {
public:
    // The options of a search, for a command's table.
    static std::vector<OptionSpec> Options();

    // Reads the options and the keywords (the positional arguments), opens
    // the corpus and searches. checkOwn, called after --part is read, checks
    // the command's own options; a status other than 0 from it ends the
    // run. Returns 0 when the search ran (its rows may be none), else 2
    // after a message through out.
    int Run(const CCommandLine& commandLine, const CCliOutput& out, const std::function<int()>& checkOwn = nullptr);

    CIndex& Index() { return m_index; }
    const CContentsTree& Tree() const { return m_tree; }
    const ContentsNodeTag& Range() const { return *m_pRange; }
    const CResultList& Results() const { return m_results; }
    CResultList& Results() { return m_results; }
    // The searches the rows come from: each --within, then the keywords.
    const CSearchChain& Chain() const { return m_chain; }
    // The keywords as searched (the index has rewritten their spaces as U+3000).
    const std::u16string& Keywords() const { return m_strKeywords; }
    const std::string& Folder() const { return m_strFolder; }
    TextPart Part() const { return m_ePart; }
    bool Variants() const { return m_bVariants; }
    bool Or() const { return m_bOr; }

private:
    CIndex m_index;
    CContentsTree m_tree;
    const ContentsNodeTag* m_pRange = nullptr;
    CSearchChain m_chain;
    CResultList m_results;
    std::u16string m_strKeywords;
    std::string m_strFolder;
    TextPart m_ePart = TextPart::WholeText;
    bool m_bVariants = true;
    bool m_bOr = false;
};
