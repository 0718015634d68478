#include "bench/benchrun.h"

#include <cstdio>

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
