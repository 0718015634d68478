// A bookmark's page found again in the corpus that is open: the one it was
// made in, a copy, or a corpus built anew with pages added, changed,
// renamed or gone. The citation leads, the digest of the page's text
// decides.
#include "builder/corpuswriter.h"
#include "corpus/corpusfiles.h"
#include "corpus/filelist.h"
#include "model/bookmarkfinder.h"
#include "model/catalogueloader.h"
#include "model/citation.h"
#include "model/contentstree.h"
#include "model/pagedigest.h"
#include "support/tempdir.h"
#include "text/varianttable.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A corpus written by the corpus writer and opened as the reader opens it.
class CBuiltCorpus {
public:
    explicit CBuiltCorpus(const CorpusSource& source) {
        CCorpusWriter writer;
        CVariantTable variants;
        std::string strError;
        if (!writer.Write(source, variants, m_dir.Path(), strError)) throw std::runtime_error(strError);
        CCatalogueLoader loader;
        if (!loader.Load(m_dir.File(CCorpusFiles::Catalogue), m_tree, strError)) throw std::runtime_error(strError);
        m_pCitation = std::make_unique<CCitation>(m_tree);
        if (!m_fileList.Open(m_dir.Path(), CCorpusFiles::BaseName)) throw std::runtime_error(m_fileList.GetError());
    }

    // The bookmark of the page a citation names.
    BookmarkTag Mark(const std::u16string& strCitation) {
        const CCitation::Match match = m_pCitation->Parse(strCitation);
        if (match.eOutcome != CCitation::Outcome::Found) throw std::runtime_error("no such page");
        BookmarkTag bookmark;
        bookmark.strCitation = m_pCitation->Format(match.nPageIndex);
        bookmark.nPageIndex = match.nPageIndex;
        bookmark.strCatalogue = CPageDigest::OfCatalogue(m_tree);
        if (!CPageDigest::OfPage(m_fileList, match.nPageIndex, bookmark.strDigest)) throw std::runtime_error("unreadable");
        return bookmark;
    }
    CBookmarkFinder::Result Find(const BookmarkTag& bookmark) {
        return CBookmarkFinder(m_tree, *m_pCitation, m_fileList).Find(bookmark);
    }
    std::string Catalogue() const { return CPageDigest::OfCatalogue(m_tree); }
    CFileList& FileList() { return m_fileList; }

private:
    CTempDir m_dir;
    CContentsTree m_tree;
    std::unique_ptr<CCitation> m_pCitation;
    CFileList m_fileList;
};

SourceVolume Volume(const std::string& strName, std::vector<std::string> texts, int nFirst = 1) {
    SourceVolume volume{strName, {}};
    for (const std::string& strText : texts) volume.pages.push_back({nFirst++, strText, ""});
    return volume;
}

// 經部 / 論語 / 學而第一 (pages 1-3), 為政第二 (page 1); 集部 / 唐詩 / 卷一
// (pages 1-2). The bookmark is on 論語 學而第一 2, "有朋自遠方來".
CorpusSource Original() {
    CorpusSource source;
    source.categories = {
        {"經部",
         {{"論語",
           {Volume("學而第一", {"子曰學而時習之", "有朋自遠方來", "人不知而不慍"}), Volume("為政第二", {"為政以德"})}}}},
        {"集部", {{"唐詩", {Volume("卷一", {"床前明月光", "疑是地上霜"})}}}},
    };
    return source;
}

TEST(BookmarkFinderTest, FindsTheMarkedTextInARebuiltCorpusOrSaysWhyNot) {
    using Outcome = CBookmarkFinder::Outcome;
    CBuiltCorpus original(Original());
    const BookmarkTag bookmark = original.Mark(u"論語 學而第一 2");

    struct Case {
        const char* pszName;
        CorpusSource source;
        Outcome eOutcome;
        const char16_t* pszCitation;  // where the page is now (Same, Moved, Changed)
        int nPageNumber;              // its number in its volume
        CCitation::Outcome eReading;  // what the stored citation reads as
    };
    CorpusSource inserted = Original();
    inserted.categories[0].books[0].volumes[0] =
        Volume("學而第一", {"子曰學而時習之", "新しい頁", "有朋自遠方來", "人不知而不慍"});
    CorpusSource changed = Original();
    changed.categories[0].books[0].volumes[0].pages[1].text = "有朋自遠方來不亦樂乎";
    CorpusSource renamed = Original();
    renamed.categories[0].books[0].volumes[0].name = "學而";
    CorpusSource twoBooks = Original();
    twoBooks.categories.insert(twoBooks.categories.begin(),
                               SourceCategory{"子部", {{"論語", {Volume("學而第一", {"別の本", "別の本の二", "別の本の三"})}}}});
    CorpusSource noBook = Original();
    noBook.categories.erase(noBook.categories.begin());
    CorpusSource shorter = Original();
    shorter.categories[0].books[0].volumes[0].pages.resize(1);
    const Case cases[] = {
        {"a copy built anew", Original(), Outcome::Same, u"論語 學而第一 2", 2, CCitation::Outcome::Found},
        {"a page inserted before it", inserted, Outcome::Moved, u"論語 學而第一 3", 3, CCitation::Outcome::Found},
        {"its text changed", changed, Outcome::Changed, u"論語 學而第一 2", 2, CCitation::Outcome::Found},
        {"its volume renamed", renamed, Outcome::Moved, u"論語 學而 2", 2, CCitation::Outcome::NoVolume},
        {"its book's name in two categories", twoBooks, Outcome::Moved, u"經部 論語 學而第一 2", 2,
         CCitation::Outcome::Ambiguous},
        {"its book gone", noBook, Outcome::Missing, u"", 0, CCitation::Outcome::NoBook},
        {"its volume shorter", shorter, Outcome::Missing, u"", 0, CCitation::Outcome::NoPage},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        CBuiltCorpus rebuilt(c.source);
        const CBookmarkFinder::Result found = rebuilt.Find(bookmark);
        EXPECT_EQ(found.eOutcome, c.eOutcome);
        EXPECT_EQ(found.reading.eOutcome, c.eReading);
        EXPECT_EQ(found.strCitation, c.pszCitation);
        if (c.eOutcome == Outcome::Missing) {
            EXPECT_EQ(found.nPageIndex, -1);
            continue;
        }
        // What it opens is the page that the citation names here, by its
        // volume's slot and page number as the contents tree opens it.
        const BookmarkTag there = rebuilt.Mark(c.pszCitation);
        EXPECT_EQ(found.nPageIndex, there.nPageIndex);
        EXPECT_EQ(there.strDigest == bookmark.strDigest, c.eOutcome != Outcome::Changed);
        EXPECT_EQ(found.nPageNumber, c.nPageNumber);
        EXPECT_GT(found.nVolumeSlot, 0);
    }
    // The catalogue's digest tells a copy from a corpus built otherwise.
    EXPECT_EQ(CBuiltCorpus(Original()).Catalogue(), original.Catalogue());
    EXPECT_NE(CBuiltCorpus(renamed).Catalogue(), original.Catalogue());
}

TEST(BookmarkFinderTest, TrustsACitationWithoutDigestAndNeedsAPageStore) {
    using Outcome = CBookmarkFinder::Outcome;
    CBuiltCorpus original(Original());
    BookmarkTag bookmark = original.Mark(u"論語 學而第一 2");
    bookmark.strDigest.clear();  // the page could not be read when it was marked
    CorpusSource changed = Original();
    changed.categories[0].books[0].volumes[0].pages[1].text = "有朋自遠方來不亦樂乎";
    CBuiltCorpus rebuilt(changed);
    EXPECT_EQ(rebuilt.Find(bookmark).eOutcome, Outcome::Same);

    rebuilt.FileList().Close();
    EXPECT_EQ(rebuilt.Find(original.Mark(u"論語 學而第一 2")).eOutcome, Outcome::Unreadable);
}

TEST(BookmarkFinderTest, APageKeepsItsDigestWhenOnlyItsNumberChanges) {
    // The text moves from page 2 (first cell) to page 3 (second cell), with
    // another title and margin label: the same digest; other text, another.
    CBuiltCorpus original(Original());
    CorpusSource inserted = Original();
    inserted.categories[0].books[0].volumes[0] = Volume("學而第一", {"子曰學而時習之", "新しい頁", "有朋自遠方來"});
    CBuiltCorpus rebuilt(inserted);
    std::string strBefore, strAfter, strOther;
    ASSERT_TRUE(CPageDigest::OfPage(original.FileList(), 1, strBefore));
    ASSERT_TRUE(CPageDigest::OfPage(rebuilt.FileList(), 2, strAfter));
    ASSERT_TRUE(CPageDigest::OfPage(rebuilt.FileList(), 1, strOther));
    EXPECT_EQ(strBefore, strAfter);
    EXPECT_NE(strBefore, strOther);
    EXPECT_TRUE(CPageDigest::IsDigest(strBefore));
    EXPECT_FALSE(CPageDigest::OfPage(rebuilt.FileList(), 99, strOther));
    EXPECT_FALSE(CPageDigest::OfPage(rebuilt.FileList(), -1, strOther));
    // FNV-1a of the empty input and of "a".
    EXPECT_EQ(CPageDigest::Of(""), "cbf29ce484222325");
    EXPECT_EQ(CPageDigest::Of("a"), "af63dc4c8601ec8c");
}

}  // namespace
