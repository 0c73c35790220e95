#pragma once
// Clock, statistics and the lines the benchmarks print. Each figure is one line
//   BENCH <figure>; baseline <n> <unit> (<what>); value <n> <unit> (<how>);
//     ratio <n>; target <t>: <met|missed|none>
// (on one line), and the lines that give its details follow it, each indented
// by two spaces.

#include <string>
#include <vector>

namespace bench {

// Milliseconds on the performance counter, from an arbitrary origin.
double nowMs();

double median(std::vector<double> values);
double worst(const std::vector<double>& values);
// The value below which the given fraction of the values lie (nearest rank).
double percentile(std::vector<double> values, double fraction);

enum class Verdict { Met, Missed, None };

struct Figure {
    std::string name;
    double baseline = 0;
    std::string baselineUnit;
    std::string baselineNote; // what the baseline is
    double value = 0;
    std::string valueUnit;
    std::string valueNote; // how the value was taken
    double ratio = 0;
    std::string target; // "<= 1.10", say, or "none"
    Verdict verdict = Verdict::None;
};

void printFigure(const Figure& figure);
// One detail line under the last figure.
void printDetail(const std::string& text);
// "NAME: v1 v2 ..." with one decimal, as a detail line.
void printSeries(const std::string& name, const std::vector<double>& values);

// Says on the standard error why a benchmark could not be taken; returns false.
bool couldNot(const std::string& what);

} // namespace bench
