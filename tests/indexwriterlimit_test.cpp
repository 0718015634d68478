// The 4 GiB bound of a postings file, checked without writing 4 GiB: the
// writer's limit matches what the reader can reach.

#include "index/index.h"
#include "index/indexwriter.h"
#include "index/postingcursor.h"
#include "support/tempdir.h"
#include "support/testcorpus.h"
#include "support/textpartnames.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

TEST(IndexWriterLimitTest, RefusesPostingsBeyond4GiB) {
    EXPECT_EQ(CIndexWriter::MaxPostingsBlocks * PostingCursor::BlockSize, uint64_t{1} << 32);
    std::string strError;
    EXPECT_TRUE(CIndexWriter::CheckPostingsBlocks(0, "x", strError));
    EXPECT_TRUE(CIndexWriter::CheckPostingsBlocks(CIndexWriter::MaxPostingsBlocks, "x", strError));
    EXPECT_FALSE(CIndexWriter::CheckPostingsBlocks(CIndexWriter::MaxPostingsBlocks + 1, "out/Index-idx.m", strError));
    EXPECT_EQ(strError,
              "out/Index-idx.m: the postings exceed 4 GiB (1048577 blocks of 4096 bytes; a postings file holds at most "
              "1048576); build the corpus from fewer pages");
    EXPECT_FALSE(CIndexWriter::CheckPostingsBlocks(uint64_t{1} << 40, "x", strError));
}

// The reader keeps a chain entry for every block the writer may place, and
// no more.
TEST(IndexWriterLimitTest, TheReaderReachesEveryBlockTheWriterMayWrite) {
    CTempDir dir;
    WriteSimpleCorpus(dir.Path(), {u"中"});
    const std::string strHeader = CCorpusFiles::IndexHeader(dir.Path(), IndexScope::WholeText);
    {
        std::ofstream out(strHeader, std::ios::binary | std::ios::app);
        const std::string strZeros((CIndexWriter::MaxPostingsBlocks + 10) * 4, '\0');
        out.write(strZeros.data(), static_cast<std::streamsize>(strZeros.size()));
        ASSERT_TRUE(out.good());
    }
    CIndex index;
    ASSERT_TRUE(index.Open(dir.Path(), "Index", IndexScope::WholeText)) << index.GetOpenError();
    EXPECT_EQ(index.GetChainTableSize(), CIndexWriter::MaxPostingsBlocks);
}
