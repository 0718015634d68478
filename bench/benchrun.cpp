#include "bench/benchrun.h"

#include <cstdio>
#include <filesystem>

void CBenchRun::Progress(const std::string& strMessage) {
    std::fprintf(stderr, "tessaline-bench: %s\n", strMessage.c_str());
    std::fflush(stderr);
}

bool CBenchRun::Fail(const std::string& strMessage) {
    std::fprintf(stderr, "tessaline-bench: %s\n", strMessage.c_str());
    return false;
}

bool CBenchRun::ReadQueries(std::vector<CBenchQuery>& queries) const {
    std::string strError;
    if (!CBenchQuery::ReadFile(m_options.m_strQueries, queries, strError)) return Fail(strError);
    return true;
}

void CBenchRun::Print(const std::string& strMarkdown) {
    std::fwrite(strMarkdown.data(), 1, strMarkdown.size(), stdout);
}

std::vector<std::pair<std::string, CommandCost>> CBenchRun::MeasureSearches(const std::string& strCorpus) const {
    std::vector<std::pair<std::string, CommandCost>> costs;
    std::error_code ec;
    if (!std::filesystem::exists(m_options.m_strCli, ec)) return costs;
    for (const char* pszKeyword : {"不", "，"}) {
        costs.emplace_back(pszKeyword, CProcessTools::MeasureCommand(
                                           {m_options.m_strCli, "search", "--data", strCorpus, pszKeyword},
                                           m_options.m_strOut + "/time-search.txt"));
        if (!costs.back().second.ok)
            Progress(std::string("tessaline-cli search ") + pszKeyword + ": " + costs.back().second.error);
    }
    return costs;
}
