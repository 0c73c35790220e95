// The studio's check as the user types, against parsing the one line typed in.
//
// A script of 10,000 lines (--lines) is built from every command of the table
// in its three name forms, with parameters of its kind (Chinese texts among
// them), and put into a StudioDocument once. Each timed step then types one
// character inside a line in the middle of the script (and the next step takes
// it out again): replaceLines of that one line, which converts it to GBK and
// runs the packer's check of it. The baseline parses the same two texts of the
// line with parseScriptLine, the packer's parse of one line. The same step is
// timed in scripts of a tenth and of ten times the length, to show that the
// cost does not grow with the script. The converter to GBK is glibc's iconv,
// opened once, standing in for code page 936.
//
//   studio_bench [--lines=N] [--repetitions=N] [benchmark flags]

#include "host_bench.h"
#include "pack_checks.h"
#include "script/command_table.h"
#include "studio_document.h"

#include <benchmark/benchmark.h>

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr double TargetRatio = 2.0;

bool iconvToGbk(std::string_view character, std::string& out) {
    static iconv_t converter = iconv_open("GBK", "UTF-8");
    char buffer[8];
    char* in = const_cast<char*>(character.data());
    std::size_t inLeft = character.size();
    char* to = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(converter, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1)) {
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        return false;
    }
    out.append(buffer, sizeof buffer - outLeft);
    return true;
}

// The GBK bytes of the UTF-8 `text`.
std::string toGbk(const std::string& text) {
    return convertUtf8ToGbk(text, iconvToGbk).text;
}

// UTF-8 of the GBK `text` (the command table's names are GBK).
std::string toUtf8(std::string_view gbk) {
    static iconv_t converter = iconv_open("UTF-8", "GBK");
    std::string out(gbk.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(gbk.data());
    std::size_t inLeft = gbk.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    iconv(converter, &in, &inLeft, &to, &outLeft);
    out.resize(out.size() - outLeft);
    return out;
}

// "你好，世界" and "记事本" in UTF-8.
const std::string ChineseText = "\xE4\xBD\xA0\xE5\xA5\xBD\xEF\xBC\x8C\xE4\xB8\x96\xE7\x95\x8C";
const std::string Notepad = "\xE8\xAE\xB0\xE4\xBA\x8B\xE6\x9C\xAC";

std::string parametersOf(ParamKind kind, int n) {
    switch (kind) {
    case ParamKind::Integer:
        return std::to_string(10 + n % 990);
    case ParamKind::TwoIntegers:
        return std::to_string(n % 1920) + " " + std::to_string(n % 1080);
    case ParamKind::TwoIntegersAndText:
        return std::to_string(n % 1920) + " " + std::to_string(n % 1080) + " FF8000";
    case ParamKind::KeyCombination:
        return n % 2 == 0 ? "CTRL+S" : "F5";
    case ParamKind::Text:
        return n % 3 == 0 ? ChineseText + " 42" : n % 3 == 1 ? Notepad : "notepad.exe";
    default:
        return "";
    }
}

// A script of `lines` lines: Start, then the table's rows in turn in the three
// forms, then End.
std::string buildScript(int lines) {
    constexpr NameForm Forms[] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};
    std::string text = "Start\n";
    for (int n = 0; n + 2 < lines; ++n) {
        const int row = n % CommandTableRowCount;
        const NameForm form = Forms[(n / CommandTableRowCount) % 3];
        text += toUtf8(commandName(form, row)) + parametersOf(CommandTable[row].paramKind, n);
        text += '\n';
    }
    return text + "End";
}

// The two texts of the edited line: as it is, and with one character typed in.
struct EditedLine {
    int index = 0;
    std::string texts[2];
};

EditedLine editedLine(const StudioDocument& document) {
    EditedLine edited;
    edited.index = static_cast<int>(document.lines.size() / 2);
    // The middle line that types Chinese text through the clipboard, if near.
    for (int i = edited.index; i < static_cast<int>(document.lines.size()); ++i) {
        if (document.lines[i].text.starts_with("PutTextCb ")) {
            edited.index = i;
            break;
        }
    }
    edited.texts[0] = document.lines[edited.index].text;
    // A digit typed inside the number at the end of the line.
    const std::string& line = edited.texts[0];
    const std::size_t at = line.size() >= 2 ? line.size() - 2 : 0;
    edited.texts[1] = line.substr(0, at) + "7" + line.substr(at);
    return edited;
}

void typingBenchmark(benchmark::State& state, int lines) {
    StudioDocument document;
    document.toGbk = iconvToGbk;
    setDocumentText(document, buildScript(lines));
    const EditedLine edited = editedLine(document);
    const std::vector<std::string> inserted[2] = {{edited.texts[1]}, {edited.texts[0]}};
    const std::uint64_t checkedBefore = document.checkedLines;
    int step = 0;
    for (auto _ : state) {
        replaceLines(document, edited.index, 1, inserted[step]);
        step ^= 1;
        benchmark::DoNotOptimize(document.lines[edited.index].findings.data());
    }
    state.counters["lines checked/step"] =
        benchmark::Counter(static_cast<double>(document.checkedLines - checkedBefore),
                           benchmark::Counter::kAvgIterations);
}

void parseBenchmark(benchmark::State& state, int lines) {
    StudioDocument document;
    document.toGbk = iconvToGbk;
    setDocumentText(document, buildScript(lines));
    const EditedLine edited = editedLine(document);
    const std::string gbk[2] = {toGbk(edited.texts[1]), toGbk(edited.texts[0])};
    int step = 0;
    for (auto _ : state) {
        LineParse parse = parseScriptLine(gbk[step]);
        step ^= 1;
        benchmark::DoNotOptimize(parse.row);
    }
}

using bench::Median;
using bench::MedianReporter;
using bench::takeNumberFlag;

} // namespace

int main(int argc, char** argv) {
    const std::int64_t lines = takeNumberFlag(argc, argv, "lines", 10'000);
    const std::int64_t repetitions = takeNumberFlag(argc, argv, "repetitions", 10);
    if (lines < 100 || lines > 10'000'000 || repetitions < 1) {
        std::fprintf(stderr, "studio_bench: --lines must be 100 to 10,000,000, --repetitions at "
                             "least 1\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    const int sizes[] = {static_cast<int>(lines / 10), static_cast<int>(lines),
                         static_cast<int>(lines * 10)};
    for (int size : sizes) {
        const std::string suffix = "/" + std::to_string(size);
        for (auto* benchmark :
             {benchmark::RegisterBenchmark(("keystroke" + suffix).c_str(), typingBenchmark, size),
              benchmark::RegisterBenchmark(("parse_line" + suffix).c_str(), parseBenchmark,
                                           size)}) {
            benchmark->Unit(benchmark::kMicrosecond)
                ->Repetitions(static_cast<int>(repetitions))
                ->ReportAggregatesOnly(true);
        }
    }
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const std::string middle = "/" + std::to_string(lines);
    const Median& keystroke = reporter.medians["keystroke" + middle];
    const Median& parse = reporter.medians["parse_line" + middle];
    if (!keystroke.found || !parse.found) {
        std::fprintf(stderr, "studio_bench: no result for %lld lines\n",
                     static_cast<long long>(lines));
        return 1;
    }
    const double ratio = keystroke.cpuSeconds / parse.cpuSeconds;
    std::printf("BENCH studio check after a keystroke; baseline %.3f us (parseScriptLine of the "
                "edited line, CPU time, median of %lld); value %.3f us (replaceLines of that line "
                "in a %lld-line script: GBK conversion and the packer's check of the line, CPU "
                "time, median of %lld); ratio %.2f; target <= %.0f: %s\n",
                parse.cpuSeconds * 1e6, static_cast<long long>(repetitions),
                keystroke.cpuSeconds * 1e6, static_cast<long long>(lines),
                static_cast<long long>(repetitions), ratio, TargetRatio,
                ratio <= TargetRatio ? "met" : "missed");
    std::printf("  lines checked per keystroke: %.2f\n",
                bench::counterOf(keystroke, "lines checked/step"));
    for (int size : sizes) {
        const std::string suffix = "/" + std::to_string(size);
        const Median& k = reporter.medians["keystroke" + suffix];
        const Median& p = reporter.medians["parse_line" + suffix];
        std::printf("  %d-line script: keystroke %.3f us, parse of the line %.3f us, ratio %.2f\n",
                    size, k.cpuSeconds * 1e6, p.cpuSeconds * 1e6, k.cpuSeconds / p.cpuSeconds);
    }
    return 0;
}
