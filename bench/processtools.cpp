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

std::string CProcessTools::RunQuietly(const std::vector<std::string>& args,
                                      const std::vector<std::pair<const char*, const char*>>& environment) {
    const pid_t pid = ::fork();
    if (pid < 0) return std::string("fork: ") + std::strerror(errno);
    if (pid == 0) {
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
        ::_exit(127);
    }
    int nStatus = 0;
    while (::waitpid(pid, &nStatus, 0) < 0 && errno == EINTR) {
    }
    return {};
}

CommandCost CProcessTools::MeasureCommand(const std::vector<std::string>& args, const std::string& strReport) {
    CommandCost cost;
    std::vector<std::string> full = {"/usr/bin/time", "-o", strReport, "-f", "%M %e %x"};
    full.insert(full.end(), args.begin(), args.end());
    cost.error = RunQuietly(full);
    if (!cost.error.empty()) return cost;
    std::ifstream in(strReport);
    std::string strLine, strLast;
    while (std::getline(in, strLine))
        if (!strLine.empty()) strLast = strLine;
    std::istringstream fields(strLast);
    uint64_t nKb = 0;
    double dSeconds = 0;
    int nExit = -1;
    if (fields >> nKb >> dSeconds >> nExit) {
        cost.ok = true;
        cost.peakBytes = nKb * 1024;
        cost.seconds = dSeconds;
        cost.status = nExit;
    } else {
        cost.error = args[0] + ": /usr/bin/time gave no report (" + strReport + ")";
    }
    return cost;
}

ReaderMemory CProcessTools::MeasureReader(const std::string& strReader, const std::string& strCorpus, int nSeconds,
                                          const std::string& strReport) {
    static const char* const kScript =
        "\"$1\" --data \"$2\" --no-splash >/dev/null 2>&1 &\n"
        "pid=$!\n"
        "sleep \"$3\"\n"
        "hwm=$(awk '/^VmHWM/ { print $2 }' /proc/$pid/status 2>/dev/null)\n"
        "tree=$(ps -e -o pid=,ppid=,rss= | awk -v root=$pid '{ parent[$1] = $2; rss[$1] = $3 } END { for (p in "
        "parent) { q = p; while (q != root && (q in parent) && q != 1) q = parent[q]; if (q == root) s += rss[p] } "
        "print s + 0 }')\n"
        "echo \"${hwm:-0} $tree\" > \"$4\"\n"
        "kill $pid 2>/dev/null\n"
        "wait $pid 2>/dev/null\n"
        "exit 0\n";
    ReaderMemory memory;
    std::remove(strReport.c_str());
    const std::vector<std::string> args = {"xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "sh", "-c", kScript,
                                           "sh", strReader, strCorpus, std::to_string(nSeconds), strReport};
    memory.error =
        RunQuietly(args, {{"QTWEBENGINE_DISABLE_SANDBOX", "1"}, {"QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu"}});
    if (!memory.error.empty()) return memory;
    std::ifstream in(strReport);
    uint64_t nHwm = 0, nTree = 0;
    if (in >> nHwm >> nTree && nHwm > 0) {
        memory.ok = true;
        memory.peakBytes = nHwm * 1024;
        memory.treeBytes = nTree * 1024;
    } else {
        memory.error = strReader + ": no memory report (did it start? xvfb-run needs the packages xvfb and xauth)";
    }
    return memory;
}
