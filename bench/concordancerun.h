#pragma once

#include "bench/benchrun.h"

// What the concordance costs over the whole default corpus, for a few
// searches from the commonest character to a rare phrase: the search and
// its rows; the concordance's first screen (its first rows, as the window's
// pane reads them); all its rows; its sorts by the right and the left
// context; its export to CSV. Its rows are checked against the search's
// hits.
class CConcordanceRun : public CBenchRun {
public:
    using CBenchRun::CBenchRun;
    bool Run() override;
};
