// A build that is killed, or whose writes fail (a full disk, as a file-size
// limit makes it), leaves the corpus that was there complete and usable;
// the next build removes what the killed one left behind.
#include "corpus/corpusfiles.h"
#include "index/index.h"
#include "support/tempdir.h"
#include "text/codeconverter.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

// A source folder of nPages pages, each holding strWord once, and enough
// other text that a build takes a while.
void WriteSource(const CTempDir& dir, const std::string& strName, const std::string& strWord, int nPages) {
    std::mt19937 rng(static_cast<unsigned>(nPages));
    const std::u32string alphabet = U"之不人中天下明月山水風花雪春秋";
    for (int p = 1; p <= nPages; ++p) {
        std::string strText = strWord + "\n";
        for (int nLine = 0; nLine < 30; ++nLine) {
            for (int i = 0; i < 26; ++i) CCodeConverter::AppendUtf8(alphabet[rng() % alphabet.size()], strText);
            strText += "\n";
        }
        char szPage[16];
        std::snprintf(szPage, sizeof szPage, "%04d.txt", p);
        dir.Write(strName + "/01 類/01 書/01 卷/" + szPage, strText);
    }
}

// Starts tessaline-cli build; nFileLimit > 0 limits the size of the files
// it may write, with SIGXFSZ ignored so that its writes fail instead.
pid_t StartBuild(const std::string& strSource, const std::string& strOut, rlim_t nFileLimit = 0) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (nFileLimit > 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            struct rlimit limit = {nFileLimit, nFileLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDERR_FILENO);
        ::dup2(devNull, STDOUT_FILENO);
        ::execl(TESSALINE_CLI, TESSALINE_CLI, "build", "--no-unihan", "--no-opencc", "--no-joyo", strSource.c_str(),
                strOut.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int nStatus = 0;
    ::waitpid(pid, &nStatus, 0);
    return nStatus;
}

// The pages on which strWord occurs in the corpus at strFolder, or -1 when
// it does not open.
int Pages(const std::string& strFolder, const std::u16string& strWord) {
    CIndex index;
    if (!index.Open(strFolder, CCorpusFiles::BaseName, IndexScope::WholeText)) return -1;
    index.SearchPattern(strWord, CombineReplace, true, false);
    return index.GetResultCount();
}

// Staging folders beside the corpus (and, as builds once made them, inside).
size_t Leftovers(const CTempDir& dir) {
    size_t n = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        if (entry.path().filename().string().rfind(".corpus.", 0) == 0) ++n;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir.File("corpus"), ec))
        if (entry.path().filename().string().rfind(".tessaline-build-", 0) == 0) ++n;
    return n;
}

}  // namespace

TEST(InterruptedBuildTest, KilledAtAnyPointTheOldCorpusStays) {
    CTempDir dir;
    WriteSource(dir, "old", "甲", 40);
    WriteSource(dir, "new", "乙", 600);
    const std::string strOut = dir.File("corpus");
    ASSERT_EQ(WEXITSTATUS(Wait(StartBuild(dir.File("old"), strOut))), 0);
    ASSERT_EQ(Pages(strOut, u"甲"), 40);
    dir.Write("corpus/notes.txt", "mine");
    // A new folder as any other (the staging folder is made private).
    const mode_t nMask = ::umask(0);
    ::umask(nMask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(strOut).permissions()), 0777 & ~nMask);

    // How long a whole build of the new source takes, to spread the kills
    // over it.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(WEXITSTATUS(Wait(StartBuild(dir.File("new"), dir.File("timing")))), 0);
    const auto nMicros = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();

    int nKilled = 0;
    for (int i = 0; i < 12; ++i) {
        const pid_t pid = StartBuild(dir.File("new"), strOut);
        std::this_thread::sleep_for(std::chrono::microseconds(nMicros * i / 12));
        ::kill(pid, SIGKILL);
        const int nStatus = Wait(pid);
        nKilled += WIFSIGNALED(nStatus);
        // Either the old corpus, whole, or the new one, whole; the user's
        // file stays either way.
        const int nOld = Pages(strOut, u"甲");
        const int nNew = Pages(strOut, u"乙");
        EXPECT_TRUE((nOld == 40 && nNew == 0) || (nOld == 0 && nNew == 600)) << i << ": " << nOld << " " << nNew;
        EXPECT_EQ(dir.Read("corpus/notes.txt"), "mine") << i;
        if (nNew == 600) break;  // the build had finished
    }
    EXPECT_GT(nKilled, 0);
    // The next build finishes and leaves nothing of the killed ones behind.
    ASSERT_EQ(WEXITSTATUS(Wait(StartBuild(dir.File("old"), strOut))), 0);
    EXPECT_EQ(Pages(strOut, u"甲"), 40);
    EXPECT_EQ(Leftovers(dir), 0u);
    EXPECT_EQ(dir.Read("corpus/notes.txt"), "mine");
}

TEST(InterruptedBuildTest, FailingWritesLeaveTheOldCorpus) {
    CTempDir dir;
    WriteSource(dir, "old", "甲", 20);
    WriteSource(dir, "new", "乙", 300);
    const std::string strOut = dir.File("corpus");
    ASSERT_EQ(WEXITSTATUS(Wait(StartBuild(dir.File("old"), strOut))), 0);
    // Files of at most 64 KiB: the new page store does not fit.
    const int nStatus = Wait(StartBuild(dir.File("new"), strOut, 64 << 10));
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), 2);
    EXPECT_EQ(Pages(strOut, u"甲"), 20);
    EXPECT_EQ(Pages(strOut, u"乙"), 0);
    EXPECT_EQ(Leftovers(dir), 0u);  // a failed build removes its staging folder itself
}
