#include "support/tempdir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

CTempDir::CTempDir() {
    std::string strTemplate = (std::filesystem::temp_directory_path() / "tessaline-test-XXXXXX").string();
    if (!::mkdtemp(strTemplate.data())) throw std::runtime_error("cannot make a temporary folder");
    m_strPath = strTemplate;
}

CTempDir::~CTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_strPath, ec);
}

void CTempDir::Write(const std::string& strName, const std::string& strBytes) const {
    std::filesystem::path path = std::filesystem::path(m_strPath) / strName;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(strBytes.data(), static_cast<std::streamsize>(strBytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string CTempDir::Read(const std::string& strName) const {
    std::ifstream in(std::filesystem::path(m_strPath) / strName, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
