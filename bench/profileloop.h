#pragma once

#include "bench/benchrun.h"

// The reader's search for one query of the set (--loop ID, or every query
// with "all") over and over for --seconds, for a profiler to watch; prints
// the runs and their mean time.
class CProfileLoop : public CBenchRun {
public:
    using CBenchRun::CBenchRun;
    bool Run() override;
};
