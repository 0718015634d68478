#include "support/clirunner.h"

#include "support/tempdir.h"

#include <cstdlib>
#include <sys/wait.h>

namespace {

std::string Quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::string& strDataEnv) {
    CTempDir io;
    std::string strCommand = "env -u TESSALINE_DATA";
    if (!strDataEnv.empty()) strCommand += " TESSALINE_DATA=" + Quote(strDataEnv);
    strCommand += " " + Quote(TESSALINE_CLI);
    for (const std::string& strArg : args) strCommand += " " + Quote(strArg);
    strCommand += " >" + Quote(io.File("out")) + " 2>" + Quote(io.File("err")) + " </dev/null";
    const int nStatus = std::system(strCommand.c_str());
    CliResult result;
    result.nStatus = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    result.strOut = io.Read("out");
    result.strErr = io.Read("err");
    return result;
}
