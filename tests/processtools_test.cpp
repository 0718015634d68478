#include "bench/processtools.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

bool Contains(const std::string& strText, const std::string& strPart) {
    return strText.find(strPart) != std::string::npos;
}

TEST(ProcessToolsTest, RunQuietlyTellsHowTheChildEnded) {
    struct Case {
        const char* pszName;
        std::vector<std::string> args;
        bool bStarted;
        int nExit;
        int nSignal;
        const char* pszDescribed;  // part of Describe()
    } cases[] = {
        {"success", {"true"}, true, 0, 0, "exit status 0"},
        {"exit 1", {"false"}, true, 1, 0, "exit status 1"},
        {"exit 3", {"sh", "-c", "exit 3"}, true, 3, 0, "exit status 3"},
        {"exit 127 of its own", {"sh", "-c", "exit 127"}, true, 127, 0, "exit status 127"},
        {"killed", {"sh", "-c", "kill -9 $$"}, true, -1, 9, "killed by signal 9 (Killed)"},
        {"no such program", {"/nonexistent/tessaline-program"}, false, -1, 0,
         "could not be started (No such file or directory)"},
        {"not executable", {"NOT_EXECUTABLE"}, false, -1, 0, "could not be started (Permission denied)"},
        {"no command", {}, false, -1, 0, "could not be started"},
    };
    CTempDir dir;
    dir.Write("plain.txt", "not a program\n");
    for (Case& c : cases) {
        if (!c.args.empty() && c.args[0] == "NOT_EXECUTABLE") c.args[0] = dir.File("plain.txt");
        const ChildStatus status = CProcessTools::RunQuietly(c.args);
        EXPECT_EQ(status.started, c.bStarted) << c.pszName;
        EXPECT_EQ(status.exitStatus, c.nExit) << c.pszName;
        EXPECT_EQ(status.signal, c.nSignal) << c.pszName;
        EXPECT_EQ(status.Ok(), c.bStarted && c.nExit == 0 && c.nSignal == 0) << c.pszName;
        EXPECT_TRUE(Contains(status.Describe(), c.pszDescribed)) << c.pszName << ": " << status.Describe();
    }
}

TEST(ProcessToolsTest, RunQuietlyPassesTheEnvironment) {
    CTempDir dir;
    const std::string strOut = dir.File("out.txt");
    const ChildStatus status = CProcessTools::RunQuietly(
        {"sh", "-c", "printf %s \"$TESSALINE_TEST\" > \"$1\"", "sh", strOut}, {{"TESSALINE_TEST", "set"}});
    ASSERT_TRUE(status.Ok()) << status.Describe();
    EXPECT_EQ(dir.Read("out.txt"), "set");
}

// A command that fails is reported as failed, and nothing is measured from
// it (it used to count as a success with its peak memory).
TEST(ProcessToolsTest, MeasureCommandMeasuresOnlyACommandThatSucceeded) {
    if (::access("/usr/bin/time", X_OK) != 0) GTEST_SKIP() << "GNU time (Debian package time) is not installed";
    CTempDir dir;
    const std::string strReport = dir.File("time.txt");

    const CommandCost good = CProcessTools::MeasureCommand({"sh", "-c", "exit 0"}, strReport);
    ASSERT_TRUE(good.ok) << good.error;
    EXPECT_GT(good.peakBytes, 0u);
    EXPECT_TRUE(good.error.empty());

    struct Case {
        const char* pszName;
        std::vector<std::string> args;
        const char* pszError;
    } cases[] = {
        {"exit 2", {"sh", "-c", "exit 2"}, "failed: exit status 2"},
        {"killed", {"sh", "-c", "kill -9 $$"}, "failed: killed by signal 9 (Killed)"},
        {"no such program", {"/nonexistent/tessaline-program"},
         "failed: exit status 127 (/nonexistent/tessaline-program not found or not executable)"},
    };
    for (const Case& c : cases) {
        const CommandCost cost = CProcessTools::MeasureCommand(c.args, strReport);
        EXPECT_FALSE(cost.ok) << c.pszName;
        EXPECT_EQ(cost.peakBytes, 0u) << c.pszName;
        EXPECT_EQ(cost.seconds, 0) << c.pszName;
        EXPECT_EQ(cost.error, c.pszError) << c.pszName;
    }
}

// The reader's memory is read only from a reader still running; one that
// has ended by then is reported with its status.
TEST(ProcessToolsTest, MeasureReaderReportsAReaderThatEndedEarly) {
    if (::access("/usr/bin/xvfb-run", X_OK) != 0 || ::access("/usr/bin/xauth", X_OK) != 0)
        GTEST_SKIP() << "xvfb-run and xauth (Debian packages xvfb, xauth) are not installed";
    CTempDir dir;
    const std::string strReport = dir.File("reader.txt");
    struct Case {
        const char* pszName;
        const char* pszScript;  // the stand-in reader
        bool bOk;
        const char* pszError;
    } cases[] = {
        {"still running", "exec sleep 30", true, ""},
        {"exited", "exit 4", false, "ended before it was measured (exit status 4)"},
        {"crashed", "kill -11 $$", false, "ended before it was measured (killed by signal 11 (Segmentation fault))"},
    };
    for (const Case& c : cases) {
        const std::string strReader = dir.File("reader.sh");
        dir.Write("reader.sh", std::string("#!/bin/sh\n") + c.pszScript + "\n");
        ASSERT_EQ(::chmod(strReader.c_str(), 0755), 0);
        const ReaderMemory memory = CProcessTools::MeasureReader(strReader, dir.Path(), 1, strReport);
        EXPECT_EQ(memory.ok, c.bOk) << c.pszName << ": " << memory.error;
        if (c.bOk) {
            EXPECT_GT(memory.peakBytes, 0u) << c.pszName;
            EXPECT_GT(memory.treeBytes, 0u) << c.pszName;
        } else {
            EXPECT_EQ(memory.error, "failed: " + strReader + " " + c.pszError) << c.pszName;
            EXPECT_EQ(memory.peakBytes, 0u) << c.pszName;
        }
    }
}

}  // namespace
