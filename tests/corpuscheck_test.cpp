// The corpus check against damage on purpose: every file of a small corpus
// cut at many lengths and changed a byte at a time. Each change must be
// reported, or leave everything the reader shows as it was, or be one of
// the few that no check can see (doc/damage.md). Reading the damaged files
// must never crash or read out of bounds (the sanitizer build runs this too).
#include "builder/corpuswriter.h"
#include "corpus/catalog.h"
#include "corpus/corpusfiles.h"
#include "corpus/filelist.h"
#include "index/corpuscheck.h"
#include "index/index.h"
#include "support/clirunner.h"
#include "support/tempdir.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

namespace {

namespace fs = std::filesystem;

const char* const kVariants = "56FD,570B,56EF\n5B66,5B78\n";

// Two categories, three books, five volumes of pages with headings,
// annotations, variant forms, escaped and unindexed characters.
CorpusSource Source() {
    std::mt19937 rng(3);
    const std::u32string alphabet = U"之不人中國国學学天下明月山，。 a<&\U00027944";
    auto character = [&]() {
        std::string s;
        CCodeConverter::AppendUtf8(alphabet[rng() % alphabet.size()], s);
        return s;
    };
    auto text = [&](int nLines) {
        std::string s;
        for (int l = 0; l < nLines; ++l) {
            if (l == 0 && rng() % 2) s += "# ";
            for (int i = 0, n = 3 + static_cast<int>(rng() % 20); i < n; ++i)
                s += rng() % 9 == 0 ? "{" + character() + character() + "}" : character();
            s += "\n";
        }
        return s;
    };
    CorpusSource source;
    int nPage = 0;
    auto volume = [&](const char* pszName, int nFirst, int nPages) {
        SourceVolume v{pszName, {}};
        for (int p = 0; p < nPages; ++p) v.pages.push_back({nFirst + p, text(1 + ++nPage % 4), ""});
        return v;
    };
    source.categories = {
        {"經部", {{"論語", {volume("學而", 1, 5), volume("為政", 1, 4)}}, {"孟子", {volume("梁惠王", 3, 6)}}}},
        {"集部", {{"唐詩", {volume("卷一", 1, 5), volume("卷二", 1, 4)}}}},
    };
    return source;
}

// Everything the reader shows of a corpus, as one string: the searches of
// each part (pages and hits), every page as stored and marked, the
// catalogue, the variant groups and the page store's header value.
std::string ReaderView(const std::string& strFolder) {
    std::string out;
    for (IndexScope eScope : {IndexScope::WholeText, IndexScope::MainText, IndexScope::Annotations}) {
        CIndex index;
        if (!index.Open(strFolder, CCorpusFiles::BaseName, eScope)) {
            out += "closed;";
            continue;
        }
        for (const char16_t* pszPattern : {u"之", u"國", u"中國", u"學*人", u"天?月", u"\U00027944", u"注"}) {
            for (bool bVariants : {true, false}) {
                index.SearchPattern(pszPattern, CombineReplace, true, bVariants);
                for (size_t i = 0; i < index.GetResultPages().size(); ++i)
                    out += std::to_string(index.GetResultPages()[i]) + ":" + std::to_string(index.GetResultHits()[i]) + ",";
                out += ";";
            }
        }
        if (eScope != IndexScope::WholeText) continue;
        out += std::to_string(index.GetHeaderValue()) + ";";
        for (int32_t p = 0; p < index.GetFileList().GetPageCount() + 1; ++p) {
            std::string strPage;
            out += index.ReadPage(p, strPage) ? strPage : "-";
            std::string strMarked;
            index.RenderPage(p, strMarked, u"國 學?", TextPart::WholeText, true);
            out += strMarked + ";";
        }
        for (const auto& group : index.GetVariants().Groups())
            for (uint32_t c : group) out += std::to_string(c) + ",";
    }
    std::vector<CatalogRecord> records;
    std::string strError;
    if (CCatalog::Read(strFolder + "/" + CCorpusFiles::Catalogue, records, strError))
        for (const CatalogRecord& r : records)
            out += CCodeConverter::Utf16ToUtf8(r.name) + "/" + std::to_string(r.level) + "/" + std::to_string(r.docID) +
                   "/" + std::to_string(r.docNo) + "/" + std::to_string(r.curFileName) + ";";
    return out;
}

class CorpusCheckTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pDir = new CTempDir;
        CCorpusWriter writer;
        CVariantTable variants;
        variants.Parse(kVariants);
        std::string strError;
        ASSERT_TRUE(writer.Write(Source(), variants, s_pDir->File("clean"), strError)) << strError;
        s_pView = new std::string(ReaderView(s_pDir->File("clean")));
    }
    static void TearDownTestSuite() {
        delete s_pView;
        delete s_pDir;
    }

    static std::string Clean(const std::string& strName) { return s_pDir->Read("clean/" + strName); }
    static size_t Problems(const std::string& strFolder, bool bQuick = false) {
        CCorpusCheck check;
        std::string strError;
        EXPECT_TRUE(check.Check(strFolder, bQuick, strError)) << strError;
        return check.ProblemCount();
    }

    // Whether a changed byte at nOffset of the content file lies in a
    // character of a page's marked cell that has an index slot (those
    // changes the check must see).
    static bool InIndexedCharacter(uint64_t nOffset) {
        CFileList store;
        store.Open(s_pDir->File("clean"), CCorpusFiles::BaseName);
        // The builder writes the pages one after another.
        uint64_t nStart = 0;
        for (int32_t p = 0; p < store.GetPageCount(); ++p) {
            std::string strName, strPage;
            store.GetPageName(p, strName);
            store.ReadPage(p, strPage);
            if (nOffset >= nStart + strPage.size()) {
                nStart += strPage.size();
                continue;
            }
            size_t i = static_cast<size_t>(nOffset - nStart);
            // The cell the renderer marks: the first on even page numbers.
            size_t nCell = strPage.find("<TD");
            if (CFileList::PageNumberOfName(strName) % 2 != 0) nCell = strPage.find("<TD", nCell + 1);
            const size_t nCellStart = strPage.find('>', nCell) + 1;
            const size_t nCellEnd = strPage.find("</TD>", nCellStart);
            if (i < nCellStart || i >= nCellEnd) return false;
            while (i > nCellStart && (static_cast<unsigned char>(strPage[i]) & 0xC0) == 0x80) --i;
            char32_t c = 0;
            return CCodeConverter::DecodeUtf8(strPage, i, c) && CCodeConverter::IndexSlot(c) >= 0;
        }
        return false;
    }

    // The changes no check can see: the page store's header value and
    // text, the catalogue's names, and in a page anything but an indexed
    // character of its marked cell (punctuation, the title, the margin label).
    static bool Unseeable(const std::string& strName, uint64_t nOffset) {
        if (strName == CCorpusFiles::StoreRecords(".").substr(2)) return nOffset < 4 || (nOffset >= 8 && nOffset < 268);
        if (strName == CCorpusFiles::Catalogue) return nOffset % CCatalog::RecordSize < 200;
        if (strName == CCorpusFiles::StoreContent(".").substr(2)) return !InIndexedCharacter(nOffset);
        return false;
    }

    // One damaged file: the check reports it, or the reader shows the same,
    // or it is a change no check can see.
    static void Expect(const std::string& strName, const std::string& strBytes, const std::string& strWhat,
                       uint64_t nOffset, bool bCut) {
        s_pDir->Write("damaged/" + strName, strBytes);
        const std::string strFolder = s_pDir->File("damaged");
        const size_t nProblems = Problems(strFolder);
        const std::string strView = ReaderView(strFolder);  // must not crash, whatever the damage
        if (nProblems == 0 && strView != *s_pView) {
            EXPECT_TRUE(!bCut && Unseeable(strName, nOffset))
                << strName << " " << strWhat << ": not reported, and the reader shows something else";
        }
        if (nProblems > 0) ++s_nReported;
        s_pDir->Write("damaged/" + strName, Clean(strName));
    }

    static CTempDir* s_pDir;
    static std::string* s_pView;
    static size_t s_nReported;
};

CTempDir* CorpusCheckTest::s_pDir = nullptr;
std::string* CorpusCheckTest::s_pView = nullptr;
size_t CorpusCheckTest::s_nReported = 0;

TEST_F(CorpusCheckTest, ACleanCorpusHasNoProblem) {
    EXPECT_EQ(Problems(s_pDir->File("clean")), 0u);
    EXPECT_EQ(Problems(s_pDir->File("clean"), true), 0u);
    CCorpusCheck check;
    std::string strError;
    EXPECT_FALSE(check.Check(s_pDir->File("none"), false, strError));
    EXPECT_NE(strError.find("not a folder"), std::string::npos);
    fs::create_directories(s_pDir->File("empty"));
    EXPECT_FALSE(check.Check(s_pDir->File("empty"), false, strError));
    EXPECT_NE(strError.find("holds none of the files of a corpus"), std::string::npos);
}

TEST_F(CorpusCheckTest, EveryFileCutShort) {
    fs::copy(s_pDir->File("clean"), s_pDir->File("damaged"), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    s_nReported = 0;
    size_t nCases = 0;
    for (const std::string& strName : CCorpusFiles::Names()) {
        const std::string strBytes = Clean(strName);
        // Every length of a small file; of a large one the edges of its
        // header, records and blocks, and lengths spread over it.
        std::set<size_t> lengths;
        if (strBytes.size() <= 4096) {
            for (size_t n = 0; n < strBytes.size(); n += strBytes.size() > 1000 ? 7 : 1) lengths.insert(n);
        } else {
            for (size_t n : {size_t{0}, size_t{1}, size_t{267}, size_t{268}, size_t{1399999}, size_t{1400000},
                             size_t{1400001}, size_t{4095}, size_t{4096}, size_t{4097}})
                if (n < strBytes.size()) lengths.insert(n);
            for (size_t i = 1; i < 40; ++i) lengths.insert(strBytes.size() * i / 40);
            lengths.insert(strBytes.size() - 1);
        }
        for (size_t n : lengths) {
            Expect(strName, strBytes.substr(0, n), "cut to " + std::to_string(n) + " bytes", n, true);
            ++nCases;
        }
    }
    EXPECT_GT(s_nReported, nCases * 9 / 10);  // nearly every cut loses something the reader shows
}

TEST_F(CorpusCheckTest, EveryFileWithAByteChanged) {
    fs::copy(s_pDir->File("clean"), s_pDir->File("damaged"), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    s_nReported = 0;
    std::mt19937 rng(17);
    for (const std::string& strName : CCorpusFiles::Names()) {
        const std::string strBytes = Clean(strName);
        std::set<size_t> offsets;
        // The fields of the headers, and places spread over the file.
        for (size_t n : {size_t{0}, size_t{4}, size_t{5}, size_t{268}, size_t{268 + 100}, size_t{268 + 104}})
            if (n < strBytes.size()) offsets.insert(n);
        for (int i = 0; i < 30; ++i) offsets.insert(rng() % strBytes.size());
        // The first block of a few slots in the index headers, and a slot's last page.
        if (strName.find("-idx.h") != std::string::npos)
            for (size_t nSlot : {0x4E4Bu - 0x3400u, 0x570Bu - 0x3400u, 88065u})
                for (size_t nTable : {size_t{0}, size_t{1000000}}) offsets.insert(nTable + 4 * nSlot);
        for (size_t n : offsets) {
            std::string strDamaged = strBytes;
            strDamaged[n] = static_cast<char>(strDamaged[n] ^ (1 + rng() % 255));
            Expect(strName, strDamaged, "byte " + std::to_string(n) + " changed", n, false);
        }
    }
    EXPECT_GT(s_nReported, 100u);
}

TEST_F(CorpusCheckTest, TheCommandLineReportsAndExits) {
    const CliResult clean = RunCli({"check", "--data", s_pDir->File("clean")});
    EXPECT_EQ(clean.nStatus, 0) << clean.strErr;
    EXPECT_NE(clean.strOut.find("no damage found in 10 files"), std::string::npos) << clean.strOut;
    EXPECT_EQ(RunCli({"check", "--quick", "--data", s_pDir->File("clean")}).nStatus, 0);

    fs::copy(s_pDir->File("clean"), s_pDir->File("cut"), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const std::string strPostings = CCorpusFiles::IndexPostings(".", IndexScope::WholeText).substr(2);
    s_pDir->Write("cut/" + strPostings, Clean(strPostings).substr(0, 3 * 4096 + 100));
    const CliResult cut = RunCli({"check", "--data", s_pDir->File("cut")});
    EXPECT_EQ(cut.nStatus, 1);
    EXPECT_NE(cut.strOut.find(strPostings + ": "), std::string::npos) << cut.strOut;
    EXPECT_NE(cut.strOut.find(" problems in 10 files"), std::string::npos) << cut.strOut;
    // A search that meets the damage says so, and keeps its rows and status.
    const CliResult search = RunCli({"search", "--data", s_pDir->File("cut"), "--range", "1", "學"});
    EXPECT_NE(search.strErr.find("warning: the index is damaged near " + strPostings + ", slot"), std::string::npos)
        << search.strErr;
    EXPECT_NE(search.strErr.find("results may be incomplete; run tessaline-cli check"), std::string::npos);
    EXPECT_EQ(RunCli({"search", "--data", s_pDir->File("clean"), "學"}).strErr, "");

    fs::create_directories(s_pDir->File("nothing"));
    const CliResult none = RunCli({"check", "--data", s_pDir->File("nothing")});
    EXPECT_EQ(none.nStatus, 2);
    EXPECT_NE(none.strErr.find("holds none of the files of a corpus"), std::string::npos) << none.strErr;
}

}  // namespace
