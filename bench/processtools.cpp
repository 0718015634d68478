#include "bench/processtools.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string CProcessTools::LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

uint64_t CProcessTools::PeakRss() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<uint64_t>(usage.ru_maxrss) * 1024;
}

uint64_t CProcessTools::CurrentRss() {
    std::ifstream in("/proc/self/statm");
    uint64_t nSize = 0, nResident = 0;
    in >> nSize >> nResident;
    return nResident * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
}

uint64_t CProcessTools::PathBytes(const std::string& strPath) {
    std::error_code ec;
    if (fs::is_regular_file(strPath, ec)) return fs::file_size(strPath, ec);
    uint64_t n = 0;
    for (const auto& entry : fs::recursive_directory_iterator(strPath, ec))
        if (entry.is_regular_file(ec)) n += entry.file_size(ec);
    return n;
}

std::string CProcessTools::ExecutableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

std::string ChildStatus::Describe() const {
    if (!started) return error;
    if (signal != 0) return "killed by signal " + std::to_string(signal) + " (" + ::strsignal(signal) + ")";
    return "exit status " + std::to_string(exitStatus);
}

ChildStatus CProcessTools::RunQuietly(const std::vector<std::string>& args,
                                      const std::vector<std::pair<const char*, const char*>>& environment) {
    ChildStatus status;
    if (args.empty()) {
        status.error = "could not be started (no command)";
        return status;
    }
    // The child writes exec's errno into this pipe; a successful exec
    // closes it unwritten.
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        status.error = std::string("could not be started (pipe: ") + std::strerror(errno) + ")";
        return status;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        status.error = std::string("could not be started (fork: ") + std::strerror(errno) + ")";
        ::close(fds[0]);
        ::close(fds[1]);
        return status;
    }
    if (pid == 0) {
        ::close(fds[0]);
        for (const auto& [pszName, pszValue] : environment) ::setenv(pszName, pszValue, 1);
        const int fd = ::open("/dev/null", O_WRONLY);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        std::vector<char*> argv;
        for (const std::string& strArg : args) argv.push_back(const_cast<char*>(strArg.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        const int nError = errno;
        if (::write(fds[1], &nError, sizeof nError) < 0) {
        }
        ::_exit(127);
    }
    ::close(fds[1]);
    int nExecError = 0;
    ssize_t nRead = 0;
    while ((nRead = ::read(fds[0], &nExecError, sizeof nExecError)) < 0 && errno == EINTR) {
    }
    ::close(fds[0]);
    int nStatus = 0;
    pid_t nWaited = 0;
    while ((nWaited = ::waitpid(pid, &nStatus, 0)) < 0 && errno == EINTR) {
    }
    if (nRead == static_cast<ssize_t>(sizeof nExecError)) {
        status.error = std::string("could not be started (") + std::strerror(nExecError) + ")";
    } else if (nWaited < 0) {
        status.error = std::string("could not be waited for (") + std::strerror(errno) + ")";
    } else {
        status.started = true;
        if (WIFEXITED(nStatus))
            status.exitStatus = WEXITSTATUS(nStatus);
        else if (WIFSIGNALED(nStatus))
            status.signal = WTERMSIG(nStatus);
    }
    return status;
}

CommandCost CProcessTools::MeasureCommand(const std::vector<std::string>& args, const std::string& strReport) {
    CommandCost cost;
    // GNU time writes its report even when the command fails: first a line
    // "Command exited with non-zero status N" or "Command terminated by
    // signal N", then the format's line "%M %e %x" (peak KiB, seconds, exit
    // status; 0 after a signal).
    std::remove(strReport.c_str());
    std::vector<std::string> full = {"/usr/bin/time", "-o", strReport, "-f", "%M %e %x"};
    full.insert(full.end(), args.begin(), args.end());
    const ChildStatus time = RunQuietly(full);
    if (!time.started) {
        cost.error = "not measured: /usr/bin/time " + time.Describe() + " (Debian package time)";
        return cost;
    }
    std::ifstream in(strReport);
    std::string strLine, strLast;
    ChildStatus command;
    command.started = true;
    const std::string strSignal = "Command terminated by signal ";
    while (std::getline(in, strLine)) {
        if (strLine.compare(0, strSignal.size(), strSignal) == 0)
            command.signal = std::atoi(strLine.c_str() + strSignal.size());
        if (!strLine.empty()) strLast = strLine;
    }
    std::istringstream fields(strLast);
    uint64_t nKb = 0;
    double dSeconds = 0;
    if (!(fields >> nKb >> dSeconds >> command.exitStatus)) {
        // No report: time itself failed, or was ended.
        cost.error = time.Ok() ? "not measured: /usr/bin/time gave no report (" + strReport + ")"
                               : "failed: /usr/bin/time " + time.Describe() + ", without a report";
        return cost;
    }
    if (!command.Ok()) {
        cost.error = "failed: " + command.Describe();
        // GNU time's own status when it cannot start the command.
        if (command.signal == 0 && (command.exitStatus == 126 || command.exitStatus == 127))
            cost.error += " (" + args[0] + " not found or not executable)";
        return cost;
    }
    cost.ok = true;
    cost.peakBytes = nKb * 1024;
    cost.seconds = dSeconds;
    return cost;
}

ReaderMemory CProcessTools::MeasureReader(const std::string& strReader, const std::string& strCorpus, int nSeconds,
                                          const std::string& strReport) {
    static const char* const kScript =
        "\"$1\" --data \"$2\" --no-splash >/dev/null 2>&1 &\n"
        "pid=$!\n"
        "sleep \"$3\"\n"
        "hwm=$(awk '/^VmHWM/ { print $2 }' /proc/$pid/status 2>/dev/null)\n"
        "if [ -z \"$hwm\" ]; then wait $pid; echo \"ended $?\" > \"$4\"; exit 0; fi\n"
        "tree=$(ps -e -o pid=,ppid=,rss= | awk -v root=$pid '{ parent[$1] = $2; rss[$1] = $3 } END { for (p in "
        "parent) { q = p; while (q != root && (q in parent) && q != 1) q = parent[q]; if (q == root) s += rss[p] } "
        "print s + 0 }')\n"
        "echo \"$hwm $tree\" > \"$4\"\n"
        "kill $pid 2>/dev/null\n"
        "wait $pid 2>/dev/null\n"
        "exit 0\n";
    ReaderMemory memory;
    std::remove(strReport.c_str());
    const std::vector<std::string> args = {"xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "sh", "-c", kScript,
                                           "sh", strReader, strCorpus, std::to_string(nSeconds), strReport};
    const ChildStatus xvfb =
        RunQuietly(args, {{"QTWEBENGINE_DISABLE_SANDBOX", "1"}, {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu"}});
    if (!xvfb.started) {
        memory.error = "not measured: xvfb-run " + xvfb.Describe() + " (Debian packages xvfb and xauth)";
        return memory;
    }
    if (!xvfb.Ok()) {
        memory.error = "failed: xvfb-run " + xvfb.Describe();
        return memory;
    }
    // The script's report: "HWM_KIB TREE_KIB", or "ended STATUS" (the
    // shell's status: 128 + N after signal N) when the reader had ended.
    std::ifstream in(strReport);
    std::string strFirst;
    in >> strFirst;
    if (strFirst == "ended") {
        int nEnded = -1;
        in >> nEnded;
        ChildStatus reader;
        reader.started = true;
        if (nEnded > 128)
            reader.signal = nEnded - 128;
        else
            reader.exitStatus = nEnded;
        memory.error = "failed: " + strReader + " ended before it was measured (" + reader.Describe() + ")";
        return memory;
    }
    std::istringstream fields(strFirst);
    uint64_t nHwm = 0, nTree = 0;
    if (fields >> nHwm && in >> nTree && nHwm > 0) {
        memory.ok = true;
        memory.peakBytes = nHwm * 1024;
        memory.treeBytes = nTree * 1024;
    } else {
        memory.error = "not measured: " + strReader + " gave no memory report (" + strReport + ")";
    }
    return memory;
}
