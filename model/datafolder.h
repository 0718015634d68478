#pragma once

#include <string>

// Where the corpus files are looked for: a folder named on the command line,
// else the environment variable TESSALINE_DATA, else the folder of the
// running program.
class CDataFolder {
public:
    CDataFolder() = delete;

    static constexpr const char* EnvironmentVariable = "TESSALINE_DATA";

    // The folder of the running executable (/proc/self/exe without its last
    // component). False with strError when the link cannot be read.
    static bool ProgramFolder(std::string& strFolder /* OUT */, std::string& strError /* OUT */);

    // strOption if not empty, else TESSALINE_DATA if set and not empty, else
    // ProgramFolder(). False with strError only when the last one fails.
    static bool Resolve(const std::string& strOption, std::string& strFolder /* OUT */,
                        std::string& strError /* OUT */);
};
