// The rows of the problems list that an edit changed.

#include "problem_rows.h"

bool sameProblem(const Problem& a, const Problem& b) {
    return a.line == b.line && a.kind == b.kind && a.message == b.message;
}

ProblemRowsChange problemRowsChange(const std::vector<Problem>& shown,
                                    const std::vector<Problem>& now) {
    std::size_t start = 0;
    while (start < now.size() && start < shown.size() && sameProblem(now[start], shown[start])) {
        ++start;
    }
    std::size_t end = 0;
    while (end < now.size() - start && end < shown.size() - start &&
           sameProblem(now[now.size() - 1 - end], shown[shown.size() - 1 - end])) {
        ++end;
    }
    return ProblemRowsChange{start, shown.size() - start - end, now.size() - start - end};
}
