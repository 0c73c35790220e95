// The player's compile pass against the floor of a plain line split.
//
// One script text is built once (1,000,000 lines unless --lines says otherwise):
// every action command of the table in its Chinese, English and short-code form,
// each with parameters of its kind (GBK texts among them), a settings line in
// every twenty and a few comment lines at the top. Over the same bytes it times
//   compile       Script::splitOwnedLines and then Script::compile on the
//                 fake platform, as the player does at start: the Script takes
//                 over a writable copy of the text, which at start-up is the
//                 resource reader's copy of the resource, made before the pass;
//                 here it is made before each pass, outside the timing. The
//                 script has no syntax errors, so no box is shown; releasing
//                 the Script is left out of the timing.
//   floor         a memchr split that counts the non-empty lines and reads the
//                 first byte of each.
//   split_only, compile_only
//                 the two halves of the compile pass on their own.
//   compile_warm  the compile pass with the memory of earlier passes kept
//                 mapped, so without the page faults of fresh memory.
// Each prints lines per second and the minor page faults per pass; the last
// lines are the BENCH lines: the compile pass (the medians of compile and
// floor, CPU time) and the memory the Script holds per script line after the
// pass (heap in use as the allocator counts it, against the text's own bytes
// per line), with their details.
//
//   compile_bench [--lines=N] [--repetitions=N] [benchmark flags]

#include "host_bench.h"
#include "platform/fake/fake.h"
#include "runner/executor.h"
#include "runner/run_state.h"
#include "script/command_table.h"
#include "script/script.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

namespace {

constexpr double TargetRatio = 10.0;
constexpr double TargetBytesPerLine = 64.0;
// Blocks from this size on are mapped on their own (the allocator's default).
constexpr int FreshMapThreshold = 128 * 1024;
// Each repetition of a compile-pass benchmark runs at least this long (timed
// CPU time); one pass takes a good part of it.
constexpr double PassMinSeconds = 0.2;

// Parameter texts; the Chinese ones are stored as GBK by the build.
constexpr const char* Texts[] = {
    "记事本", "notepad.exe",          "你好，世界",     "Hello, world 42",
    "确定",   "C:\\工具\\run.exe /q", "自动化 ABC 123", "Untitled - 记事本"};
constexpr const char* KeyTexts[] = {"f5", "ctrl+s", "ALT+F4", "ctrl+shift+a", "enter", "win+r"};
constexpr const char* Colours[] = {"FF0000", "00FF00", "0000FF", "FFFFFF", "808080"};

// Every this many body lines one is a settings line.
constexpr int SettingsEvery = 20;

constexpr NameForm Forms[] = {NameForm::Chinese, NameForm::English, NameForm::ShortCode};

enum KindIndex { KindNone, KindNumber, KindTwoNumbers, KindTwoNumbersText, KindText, KindKeys };
constexpr const char* KindNames[] = {
    "none", "one number", "two numbers", "two numbers and text", "text", "key combination"};

KindIndex kindIndex(ParamKind kind) {
    switch (kind) {
    case ParamKind::Integer:
        return KindNumber;
    case ParamKind::TwoIntegers:
        return KindTwoNumbers;
    case ParamKind::TwoIntegersAndText:
        return KindTwoNumbersText;
    case ParamKind::Text:
        return KindText;
    case ParamKind::KeyCombination:
        return KindKeys;
    default:
        return KindNone;
    }
}

struct LineKind {
    int row;
    int form; // index into Forms
};

struct ScriptText {
    std::string text;
    std::vector<Opcode> opcodes; // the opcode each line must parse to
    std::int64_t formCounts[3] = {};
    std::int64_t kindCounts[6] = {};
    std::int64_t settingsLines = 0;
    std::int64_t gbkTextLines = 0; // lines whose parameter holds GBK bytes
};

bool isSettingsRow(int row) {
    Command command;
    command.opcode = CommandTable[row].opcode;
    return !isActionCommand(command);
}

bool hasHighBytes(const std::string& text) {
    for (char byte : text) {
        if (static_cast<unsigned char>(byte) >= 0x80) {
            return true;
        }
    }
    return false;
}

// The parameters of a line of `kind`; `variant` varies numbers and texts.
std::string parameterText(ParamKind kind, std::int64_t variant) {
    const std::string x = std::to_string(variant % 1920);
    const std::string y = std::to_string(variant * 7 % 1080);
    switch (kind) {
    case ParamKind::Integer:
        return std::to_string(1 + variant % 5000);
    case ParamKind::TwoIntegers:
        return x + " " + y;
    case ParamKind::TwoIntegersAndText:
        return x + " " + y + " " + Colours[variant % std::size(Colours)];
    case ParamKind::Text:
        return Texts[variant % std::size(Texts)];
    case ParamKind::KeyCombination:
        return KeyTexts[variant % std::size(KeyTexts)];
    default:
        return "";
    }
}

void addLine(ScriptText& script, LineKind kind, std::int64_t variant) {
    const CommandSpec& entry = CommandTable[kind.row];
    const std::string parameters = parameterText(entry.paramKind, variant);
    script.text += commandName(Forms[kind.form], kind.row);
    script.text += parameters;
    script.text += '\n';
    script.opcodes.push_back(entry.opcode);
    ++script.formCounts[kind.form];
    ++script.kindCounts[kindIndex(entry.paramKind)];
    script.settingsLines += isSettingsRow(kind.row) ? 1 : 0;
    script.gbkTextLines += hasHighBytes(parameters) ? 1 : 0;
}

int rowOfOpcode(Opcode opcode) {
    for (int row = 0; row < CommandTableRowCount; ++row) {
        if (CommandTable[row].opcode == opcode) {
            return row;
        }
    }
    return -1;
}

// A start line, three comment lines and the break, pause and loop settings; then
// the body, cycling through every action command in every name form with one
// settings line (all settings but the comment) in every SettingsEvery; End last.
ScriptText buildScript(std::int64_t lineCount) {
    std::vector<LineKind> actions;
    std::vector<LineKind> settings;
    for (int row = 0; row < CommandTableRowCount; ++row) {
        for (int form = 0; form < 3; ++form) {
            if (!isSettingsRow(row)) {
                actions.push_back({row, form});
            } else if (CommandTable[row].opcode != Opcode::Comment) {
                settings.push_back({row, form});
            }
        }
    }
    const int comment = rowOfOpcode(Opcode::Comment);
    const LineKind header[] = {
        {rowOfOpcode(Opcode::StartNoBox), 0},
        {comment, 0},
        {comment, 1},
        {comment, 2},
        {rowOfOpcode(Opcode::BreakKey), 1},
        {rowOfOpcode(Opcode::PauseKey), 2},
        {rowOfOpcode(Opcode::LoopTimes), 0},
    };
    ScriptText script;
    script.text.reserve(static_cast<std::size_t>(lineCount) * 24);
    script.opcodes.reserve(static_cast<std::size_t>(lineCount));
    std::int64_t variant = 0;
    for (const LineKind& kind : header) {
        if (static_cast<std::int64_t>(script.opcodes.size()) < lineCount - 1) {
            addLine(script, kind, variant++);
        }
    }
    std::size_t nextAction = 0;
    std::size_t nextSetting = 0;
    for (std::int64_t body = 0; static_cast<std::int64_t>(script.opcodes.size()) < lineCount - 1;
         ++body) {
        if (body % SettingsEvery == SettingsEvery - 1) {
            addLine(script, settings[nextSetting++ % settings.size()], variant++);
        } else {
            addLine(script, actions[nextAction++ % actions.size()], variant++);
        }
    }
    addLine(script, {rowOfOpcode(Opcode::End), 2}, variant);
    script.text.pop_back(); // no line feed after the last line
    return script;
}

// A writable copy of the text, as the resource reader makes it at start-up.
std::unique_ptr<char[]> readerCopy(const std::string& text) {
    auto copy = std::make_unique_for_overwrite<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

std::int64_t minorPageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Heap bytes in use: the arena's allocated chunks and the mapped blocks.
std::int64_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

// What one checked pass measured.
struct CheckedPass {
    std::int64_t pageFaults = 0;
    std::int64_t copyPageFaults = 0; // of the copy made before the pass
    std::int64_t heapBytes = 0;      // held by the Script after the pass
};

// Compiles once and checks that every line was kept and parsed to its command,
// so the benchmark measures a script without syntax errors. Counts the page
// faults of that pass and the heap the Script then holds.
bool checkScript(const ScriptText& expected, CheckedPass& measured) {
    fake::reset();
    resetRunState();
    std::unique_ptr<Script> script;
    try {
        // The copy the Script takes over is its memory too.
        const std::int64_t heapBefore = heapInUse();
        std::int64_t before = minorPageFaults();
        std::unique_ptr<char[]> copy = readerCopy(expected.text);
        const std::string& text = expected.text;
        measured.copyPageFaults = minorPageFaults() - before;
        before = minorPageFaults();
        script = std::make_unique<Script>();
        script->splitOwnedLines(std::move(copy), text.size());
        script->compile();
        measured.pageFaults = minorPageFaults() - before;
        measured.heapBytes = heapInUse() - heapBefore;
    } catch (const fake::ProcessEnded&) {
        const std::vector<std::string> boxes = fake::callTexts({"box"});
        std::fprintf(stderr, "compile_bench: the script has a syntax error: %s\n",
                     boxes.empty() ? "" : boxes[0].c_str());
        return false;
    }
    if (script->lineCount != static_cast<std::int32_t>(expected.opcodes.size())) {
        std::fprintf(stderr, "compile_bench: %d lines kept, %zu written\n", script->lineCount,
                     expected.opcodes.size());
        return false;
    }
    for (std::int32_t i = 0; i < script->lineCount; ++i) {
        if (script->commands[i].opcode != expected.opcodes[i]) {
            std::fprintf(stderr, "compile_bench: line %d parsed to opcode %d, not %d: %s\n", i + 1,
                         static_cast<int>(script->commands[i].opcode),
                         static_cast<int>(expected.opcodes[i]), script->lines[i].c_str());
            return false;
        }
    }
    return true;
}

enum class Pass { Whole, SplitOnly, CompileOnly };

void passBenchmark(benchmark::State& state, const std::string& text, std::int64_t lines,
                   Pass pass) {
    fake::reset();
    std::int64_t faults = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<char[]> copy = readerCopy(text);
        state.ResumeTiming();
        const std::int64_t faultsBefore = minorPageFaults();
        auto script = std::make_unique<Script>();
        if (pass == Pass::CompileOnly) {
            state.PauseTiming();
        }
        script->splitOwnedLines(std::move(copy), text.size());
        if (pass == Pass::CompileOnly) {
            state.ResumeTiming();
        }
        if (pass != Pass::SplitOnly) {
            script->compile();
        }
        benchmark::DoNotOptimize(script->commands.get());
        state.PauseTiming();
        faults += minorPageFaults() - faultsBefore;
        script.reset();
        resetRunState();
        state.ResumeTiming();
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines),
                                                   benchmark::Counter::kIsIterationInvariantRate);
    state.counters["faults/pass"] =
        benchmark::Counter(static_cast<double>(faults), benchmark::Counter::kAvgIterations);
}

// The whole pass with freed memory kept mapped and reused by the next pass. It
// must run last, since it changes how the process allocates.
void warmBenchmark(benchmark::State& state, const std::string& text, std::int64_t lines) {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, INT32_MAX);
    mallopt(M_TOP_PAD, 256 << 20);
    passBenchmark(state, text, lines, Pass::Whole);
}

void floorBenchmark(benchmark::State& state, const std::string& text, std::int64_t lines) {
    for (auto _ : state) {
        const char* start = text.data();
        const char* end = start + text.size();
        std::int64_t count = 0;
        unsigned firstBytes = 0;
        for (;;) {
            const char* feed = static_cast<const char*>(std::memchr(start, '\n', end - start));
            const char* lineEnd = feed != nullptr ? feed : end;
            if (lineEnd > start) {
                ++count;
                firstBytes += static_cast<unsigned char>(*start);
            }
            if (feed == nullptr) {
                break;
            }
            start = feed + 1;
        }
        benchmark::DoNotOptimize(count);
        benchmark::DoNotOptimize(firstBytes);
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}

using bench::Median;
using bench::MedianReporter;
using bench::takeNumberFlag;

// "1234567" as "1,234,567".
std::string grouped(std::int64_t value) {
    std::string digits = std::to_string(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ',';
        }
        out += digits[i];
    }
    return out;
}

void printResult(const ScriptText& script, const Median& compile, const Median& floor,
                 const Median& split, const Median& compileOnly, const Median& warm,
                 const CheckedPass& checked, std::int64_t repetitions) {
    const std::int64_t lines = static_cast<std::int64_t>(script.opcodes.size());
    const double ratio = compile.cpuSeconds / floor.cpuSeconds;
    std::printf("BENCH compile pass; baseline %.2f ms (memchr line split of the same %.1f MB, CPU "
                "time, median of %lld); value %.2f ms (Script::splitOwnedLines + Script::compile "
                "on the fake platform, CPU time, median of %lld); ratio %.2f; target <= %.0f: %s\n",
                floor.cpuSeconds * 1e3, static_cast<double>(script.text.size()) / 1e6,
                static_cast<long long>(repetitions), compile.cpuSeconds * 1e3,
                static_cast<long long>(repetitions), ratio, TargetRatio,
                ratio <= TargetRatio ? "met" : "missed");
    std::printf("  compile pass: %.2f M lines/s (Script::splitOwnedLines + Script::compile, "
                "fake platform; wall clock median %.2f ms)\n",
                static_cast<double>(lines) / compile.cpuSeconds / 1e6, compile.realSeconds * 1e3);
    std::printf("  floor: %.2f M lines/s (memchr split counting lines, reading each line's first "
                "byte; wall clock median %.2f ms)\n",
                static_cast<double>(lines) / floor.cpuSeconds / 1e6, floor.realSeconds * 1e3);
    if (split.found && compileOnly.found) {
        std::printf(
            "  of which Script::splitOwnedLines alone %.2f ms, Script::compile alone %.2f ms "
            "(CPU time, medians)\n",
            split.cpuSeconds * 1e3, compileOnly.cpuSeconds * 1e3);
    }
    if (warm.found) {
        std::printf("  compile pass on memory already mapped (no page faults): %.2f ms, %.2f M "
                    "lines/s, ratio %.2f, %.0f page faults per pass\n",
                    warm.cpuSeconds * 1e3, static_cast<double>(lines) / warm.cpuSeconds / 1e6,
                    warm.cpuSeconds / floor.cpuSeconds, bench::counterOf(warm, "faults/pass"));
    }
    std::printf(
        "  minor page faults per compile pass: %s (median of the timed passes; %s in the "
        "checked first pass; fresh memory for the line offsets and the commands; the "
        "floor touches none)\n",
        grouped(static_cast<std::int64_t>(bench::counterOf(compile, "faults/pass") + 0.5)).c_str(),
        grouped(checked.pageFaults).c_str());
    std::printf("  before the pass, outside it: the copy of the text that the Script takes over "
                "(at start-up the resource reader's copy of the resource), %s page faults\n",
                grouped(checked.copyPageFaults).c_str());
    std::printf("  script: %s lines, %s bytes; names %s Chinese, %s English, %s short-code; "
                "%s settings lines; %s lines with GBK parameter text\n",
                grouped(lines).c_str(),
                grouped(static_cast<std::int64_t>(script.text.size())).c_str(),
                grouped(script.formCounts[0]).c_str(), grouped(script.formCounts[1]).c_str(),
                grouped(script.formCounts[2]).c_str(), grouped(script.settingsLines).c_str(),
                grouped(script.gbkTextLines).c_str());
    std::string kinds;
    for (int kind = 0; kind < 6; ++kind) {
        kinds += (kind > 0 ? ", " : "") + std::string(KindNames[kind]) + " " +
                 grouped(script.kindCounts[kind]);
    }
    std::printf("  parameter kinds: %s\n", kinds.c_str());

    // The heap the Script holds once the pass is over, per line, against the
    // bytes of the script text itself per line (line feeds included).
    const double textPerLine = static_cast<double>(script.text.size() + 1) / lines;
    const double bytesPerLine = static_cast<double>(checked.heapBytes) / lines;
    std::printf("BENCH memory per script line; baseline %.2f bytes (the script text per line, "
                "line feed included); value %.2f bytes (heap the Script holds after the compile "
                "pass, per line: its copy of the text, the line offsets and the commands); ratio "
                "%.2f; target <= %.0f bytes: %s\n",
                textPerLine, bytesPerLine, bytesPerLine / textPerLine, TargetBytesPerLine,
                bytesPerLine <= TargetBytesPerLine ? "met" : "missed");
    std::printf("  heap in use after the pass, less before it: %s bytes for %s lines (mallinfo2: "
                "allocated chunks and mapped blocks)\n",
                grouped(checked.heapBytes).c_str(), grouped(lines).c_str());
    std::printf("  of which the commands %s bytes (sizeof(Command) %zu), the copy of the text %s "
                "bytes; the line offsets and the rest %s bytes\n",
                grouped(lines * static_cast<std::int64_t>(sizeof(Command))).c_str(),
                sizeof(Command), grouped(static_cast<std::int64_t>(script.text.size() + 1)).c_str(),
                grouped(checked.heapBytes - lines * static_cast<std::int64_t>(sizeof(Command)) -
                        static_cast<std::int64_t>(script.text.size() + 1))
                    .c_str());
}

} // namespace

int main(int argc, char** argv) {
    const std::int64_t lines = takeNumberFlag(argc, argv, "lines", 1'000'000);
    const std::int64_t repetitions = takeNumberFlag(argc, argv, "repetitions", 10);
    if (lines < 2 || lines > INT32_MAX || repetitions < 1) {
        std::fprintf(stderr,
                     "compile_bench: --lines must be at least 2, --repetitions at least 1\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }

    // Fresh memory for every pass, as the player's one pass at start-up has: with
    // the thresholds fixed, the allocator no longer raises them after the first
    // large block is freed, so large blocks are mapped for each pass and
    // unmapped when the Script is released, and the heap is trimmed.
    mallopt(M_MMAP_THRESHOLD, FreshMapThreshold);
    mallopt(M_TRIM_THRESHOLD, FreshMapThreshold);

    const ScriptText script = buildScript(lines);
    CheckedPass checked;
    if (!checkScript(script, checked)) {
        return 1;
    }
    const auto repeat = [&](benchmark::internal::Benchmark* benchmark) {
        benchmark->Unit(benchmark::kMillisecond)
            ->Repetitions(static_cast<int>(repetitions))
            ->ReportAggregatesOnly(true);
    };
    const auto registerPass = [&](const char* name, Pass pass) {
        repeat(
            benchmark::RegisterBenchmark(name, passBenchmark, std::cref(script.text), lines, pass)
                ->MinTime(PassMinSeconds));
    };
    registerPass("compile", Pass::Whole);
    repeat(benchmark::RegisterBenchmark("floor", floorBenchmark, std::cref(script.text), lines));
    registerPass("split_only", Pass::SplitOnly);
    registerPass("compile_only", Pass::CompileOnly);
    repeat(
        benchmark::RegisterBenchmark("compile_warm", warmBenchmark, std::cref(script.text), lines)
            ->MinTime(PassMinSeconds));

    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::fflush(stdout);

    const Median& compile = reporter.medians["compile"];
    const Median& floor = reporter.medians["floor"];
    if (!compile.found || !floor.found) {
        std::fprintf(stderr, "compile_bench: both benchmarks must run for the BENCH line\n");
        return 1;
    }
    printResult(script, compile, floor, reporter.medians["split_only"],
                reporter.medians["compile_only"], reporter.medians["compile_warm"], checked,
                repetitions);
    return 0;
}
