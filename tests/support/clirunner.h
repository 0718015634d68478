#pragma once

#include <string>
#include <vector>

// What a run of tessaline-cli produced.
struct CliResult {
    int nStatus = -1;  // exit status; -1 when it did not exit normally
    std::string strOut;
    std::string strErr;
};

// Runs the built tessaline-cli with args (no standard input). TESSALINE_DATA
// is unset unless strDataEnv is given.
CliResult RunCli(const std::vector<std::string>& args, const std::string& strDataEnv = "");
