#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// How a child process ended.
struct ChildStatus {
    bool started = false;  // false: error says why it did not run
    int exitStatus = -1;   // when it exited
    int signal = 0;        // when a signal ended it
    std::string error;

    // It ran and exited with status 0.
    bool Ok() const { return started && signal == 0 && exitStatus == 0; }
    // "exit status 3", "killed by signal 9 (Killed)", or error ("could not
    // be started (No such file or directory)").
    std::string Describe() const;
};

// What /usr/bin/time reports about one command. Only a command that ran and
// exited with status 0 is measured (ok); otherwise nothing is, and error
// says why, to stand in the figure's place: "failed: exit status 2",
// "failed: killed by signal 9 (Killed)", "not measured: /usr/bin/time could
// not be started (...)".
struct CommandCost {
    bool ok = false;
    uint64_t peakBytes = 0;
    double seconds = 0;
    std::string error;
};

// The desktop reader started on a corpus under a virtual X server and ended
// after a while: the peak resident memory of its own process (VmHWM) and
// the resident memory of it and all its helper processes at the end. When
// not ok, error stands in the figure's place ("failed: build/frame/tessaline
// ended before it was measured (exit status 1)", "not measured: ...").
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
    // set, and waits for it: how it ended, or why it could not be started
    // (a program that cannot be executed is told apart from one that exits
    // with 127).
    static ChildStatus RunQuietly(const std::vector<std::string>& args,
                                  const std::vector<std::pair<const char*, const char*>>& environment = {});

    // Runs args under GNU time, standard output and error of the command
    // going to /dev/null; the report is read from strReport. A command that
    // fails is not measured.
    static CommandCost MeasureCommand(const std::vector<std::string>& args, const std::string& strReport);

    // Starts the reader strReader on strCorpus under xvfb-run and ends it
    // after nSeconds; its report goes through the file strReport. A reader
    // that has ended by then is not measured.
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
