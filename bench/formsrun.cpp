#include "bench/formsrun.h"

#include "bench/benchtable.h"
#include "bench/benchtimer.h"
#include "bench/ourengine.h"
#include "bench/processtools.h"
#include "model/searchforms.h"

#include <cstdio>
#include <string>
#include <vector>

bool CFormsRun::Run() {
    std::vector<CBenchQuery> queries;
    if (!ReadQueries(queries)) return false;
    std::string strError;
    // And keywords typed in 新字体, of one character and more, whose forms
    // are counted one by one.
    int nExtra = 0;
    for (const char* pszText : {"桜", "国", "気", "楽", "読書", "気 楽"}) {
        CBenchQuery query;
        if (!query.Parse(pszText, strError)) return Fail(strError);
        query.m_strId = "f" + std::to_string(++nExtra);
        query.m_strText = pszText;
        queries.push_back(query);
    }
    COurEngine ours;
    if (!ours.Open(m_options.m_strCorpus, strError)) return Fail(strError);
    if (ours.Categories().empty()) return Fail(m_options.m_strCorpus + ": the catalogue holds no category to search");
    const ContentsNodeTag& range = *ours.Categories()[0];
    CSearchForms forms;
    const std::string strLoadBefore = CProcessTools::LoadAverage();
    CBenchTable table({"id", "query", "search and rows", "forms line", "share", "first search", "forms line after it",
                       "the line"});
    for (const CBenchQuery& query : queries) {
        auto search = [&]() { return ours.Run(query, strError); };
        auto build = [&]() {
            forms.Build(ours.Index(), query.Keywords(), true, range);
            return true;
        };
        ours.Index().ClearDirectories();
        double dStart = CBenchTimer::Now();
        if (!search()) return Fail(strError);
        const double dFirst = CBenchTimer::Now() - dStart;
        dStart = CBenchTimer::Now();
        build();
        const double dFirstForms = CBenchTimer::Now() - dStart;
        std::vector<std::vector<double>> samples;
        CBenchTimer::Interleave({search, build}, QueryRounds, QuerySlice, samples);
        const double dSearch = CBenchTimer::Median(samples[0]);
        const double dForms = CBenchTimer::Median(samples[1]);
        char szShare[32];
        std::snprintf(szShare, sizeof szShare, "%.1f %%", 100 * dForms / dSearch);
        table.AddRow({query.m_strId, "`" + query.m_strText + "`", CBenchTable::Milliseconds(dSearch),
                      CBenchTable::Milliseconds(dForms), szShare, CBenchTable::Milliseconds(dFirst),
                      CBenchTable::Milliseconds(dFirstForms), "`" + forms.FormatLine() + "`"});
    }
    std::string out = "Median of the warm runs (" + std::to_string(QueryRounds) +
                      " rounds, the two taking turns); *share*: the forms line's time over the search's. *First "
                      "search*: with the page directories dropped before it, and the forms line right after it. "
                      "Load average: " + strLoadBefore + " at the start, " + CProcessTools::LoadAverage() +
                      " at the end.\n\n";
    out += table.Format();
    Print(out);
    return true;
}
