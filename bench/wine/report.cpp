#include "report.h"

#include "support/windows_api.h"

#include <algorithm>
#include <cstdio>

namespace bench {

double nowMs() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double worst(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double rank = fraction * static_cast<double>(values.size() - 1);
    return values[static_cast<std::size_t>(rank + 0.5)];
}

namespace {

const char* verdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Met:
        return "met";
    case Verdict::Missed:
        return "missed";
    case Verdict::None:
        break;
    }
    return "none";
}

} // namespace

void printFigure(const Figure& figure) {
    std::printf("BENCH %s; baseline %.1f %s (%s); value %.1f %s (%s); ratio %.2f; target %s: %s\n",
                figure.name.c_str(), figure.baseline, figure.baselineUnit.c_str(),
                figure.baselineNote.c_str(), figure.value, figure.valueUnit.c_str(),
                figure.valueNote.c_str(), figure.ratio, figure.target.c_str(),
                verdictText(figure.verdict));
    std::fflush(stdout);
}

void printDetail(const std::string& text) {
    std::printf("  %s\n", text.c_str());
    std::fflush(stdout);
}

void printSeries(const std::string& name, const std::vector<double>& values) {
    std::string text = name + ":";
    for (double value : values) {
        char number[32];
        std::snprintf(number, sizeof number, " %.1f", value);
        text += number;
    }
    printDetail(text);
}

bool couldNot(const std::string& what) {
    std::fprintf(stderr, "wine_bench: could not %s\n", what.c_str());
    return false;
}

} // namespace bench
