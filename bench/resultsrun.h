#pragma once

#include "bench/benchrun.h"

// What the reader's tools over a result's rows cost, for a few searches
// from the commonest character down, over the first category (the default
// search range): the search and its rows; the pages and places per book and
// per volume (the chart of where the hits fall); every row in reading order
// and back by page number; the rows narrowed to the book that holds most.
// The counts are checked against the rows.
class CResultsRun : public CBenchRun {
public:
    using CBenchRun::CBenchRun;
    bool Run() override;
};
