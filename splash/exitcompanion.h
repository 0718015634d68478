#pragma once

#include <QString>

// The program started when the main window has gone: "end" in the program
// folder, without arguments, in the current folder, detached (the reader
// does not wait for it). A missing or failing companion is not reported.
class CExitCompanion {
public:
    CExitCompanion() = delete;

    static constexpr const char* FileName = "end";

    // Starts strFolder/end. False when there is no such executable file or
    // it could not be started.
    static bool Start(const QString& strFolder);
};
