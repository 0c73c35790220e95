#pragma once
// The problems list follows the document: only the rows that differ from what
// it shows are replaced, so a keystroke costs rows, not the whole list.

#include "studio_document.h"

#include <cstddef>
#include <vector>

// Rows [first, first + removed) of the shown list give way to rows
// [first, first + inserted) of the new one; nothing changes when both are 0.
struct ProblemRowsChange {
    std::size_t first = 0;
    std::size_t removed = 0;
    std::size_t inserted = 0;
};

bool sameProblem(const Problem& a, const Problem& b);
ProblemRowsChange problemRowsChange(const std::vector<Problem>& shown,
                                    const std::vector<Problem>& now);
