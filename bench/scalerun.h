#pragma once

#include "bench/benchrun.h"

// A synthetic corpus of --scale N copies of the pages of --corpus (the
// first as it is, the others shuffled), or as many as the page store's and
// the postings' 32-bit bounds hold (unless --scale-force), built in process
// into --out/scale: the build's time, memory and file sizes, the query set
// on it, first runs and warm (checked against a scan with --scale-check),
// and the peak memory of tessaline-cli search on it.
class CScaleRun : public CBenchRun {
public:
    using CBenchRun::CBenchRun;
    bool Run() override;
};
