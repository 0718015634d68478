// The help page: every link inside it and every picture it uses exist.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

const std::string kHelpFolder = std::string(TESSALINE_SOURCE_DIR) + "/help";

std::string ReadAll(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::set<std::string> Matches(const std::string& strText, const std::regex& pattern) {
    std::set<std::string> found;
    for (std::sregex_iterator it(strText.begin(), strText.end(), pattern), end; it != end; ++it)
        found.insert((*it)[1].str());
    return found;
}

TEST(HelpPageTest, LinksAndPicturesResolve) {
    const std::string strPage = ReadAll(kHelpFolder + "/index.html");
    ASSERT_FALSE(strPage.empty());
    const std::set<std::string> ids = Matches(strPage, std::regex(R"re(id="([^"]+)")re"));
    const std::set<std::string> anchors = Matches(strPage, std::regex(R"re(href="#([^"]+)")re"));
    EXPECT_FALSE(anchors.empty());
    for (const std::string& strAnchor : anchors) EXPECT_EQ(ids.count(strAnchor), 1u) << "#" << strAnchor;

    std::set<std::string> files = Matches(strPage, std::regex(R"re(url\("([^"]+)"\))re"));
    for (const std::string& strSource : Matches(strPage, std::regex(R"re(src="([^"]+)")re"))) files.insert(strSource);
    EXPECT_FALSE(files.empty());
    for (const std::string& strFile : files)
        EXPECT_TRUE(std::filesystem::is_regular_file(kHelpFolder + "/" + strFile)) << strFile;
}

}  // namespace
