#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What /usr/bin/time reports about one command.
struct CommandCost {
    bool ok = false;
    int status = -1;
    uint64_t peakBytes = 0;
    double seconds = 0;
    std::string error;
};

// The desktop reader started on a corpus under a virtual X server and ended
// after a while: the peak resident memory of its own process (VmHWM) and
// the resident memory of it and all its helper processes at the end.
struct ReaderMemory {
    bool ok = false;
    uint64_t peakBytes = 0;
    uint64_t treeBytes = 0;
    std::string error;
};

// The bench's dealings with other processes and with the machine: child
// processes run quietly and measured, this process's memory, the load
// average, sizes on disk.
class CProcessTools {
public:
    // Runs args (a program found on PATH, or a path) with its standard
    // output and error going to /dev/null and the variables of environment
    // set, and waits for it. Empty, or what failed.
    static std::string RunQuietly(const std::vector<std::string>& args,
                                  const std::vector<std::pair<const char*, const char*>>& environment = {});

    // Runs args under GNU time, standard output and error of the command
    // going to /dev/null; the report is read from strReport.
    static CommandCost MeasureCommand(const std::vector<std::string>& args, const std::string& strReport);

    // Starts the reader strReader on strCorpus under xvfb-run and ends it
    // after nSeconds; its report goes through the file strReport.
    static ReaderMemory MeasureReader(const std::string& strReader, const std::string& strCorpus, int nSeconds,
                                      const std::string& strReport);

    // "0.52 0.61 0.70", from /proc/loadavg.
    static std::string LoadAverage();
    // Peak resident memory of this process so far, in bytes.
    static uint64_t PeakRss();
    // Resident memory of this process now, in bytes.
    static uint64_t CurrentRss();
    // Bytes of a file, or of every file below a folder.
    static uint64_t PathBytes(const std::string& strPath);
    // The folder of the running program ("." when it cannot be told).
    static std::string ExecutableFolder();
};
