#include "fuzz/fuzzinput.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

std::string FuzzFolder() {
    static const std::string s_strFolder = [] {
        const char* pszBase = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string strTemplate = std::string(pszBase) + "/tessaline-fuzz-XXXXXX";
        if (!mkdtemp(strTemplate.data())) throw std::runtime_error("cannot make a folder for the fuzz files");
        return strTemplate;
    }();
    return s_strFolder;
}

void WriteFuzzFile(const std::string& strPath, const std::string& strBytes) {
    FILE* pFile = std::fopen(strPath.c_str(), "wb");
    if (!pFile) throw std::runtime_error("cannot write " + strPath);
    std::fwrite(strBytes.data(), 1, strBytes.size(), pFile);
    std::fclose(pFile);
}
