#pragma once

#include "bench/benchrun.h"

// What the line of the forms searched costs a search: the search and its
// rows, as the side-by-side run times them, and CSearchForms::Build over the
// first category (the panel's default range) on its own, warm and right
// after a first search (when the forms' own characters have no page
// directory yet). The query set and keywords typed in 新字体.
class CFormsRun : public CBenchRun {
public:
    using CBenchRun::CBenchRun;
    bool Run() override;
};
