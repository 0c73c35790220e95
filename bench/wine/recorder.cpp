// The recorder's CPU use while it records: idle, against a bare program of
// ours that tests a key every millisecond, and while this program moves the
// pointer 1,000 times a second with SendInput, against the CPU time this
// program takes to send them. The recording that results must hold every move
// that was sent.
//
// Wine's GetProcessTimes gives another process's times only now and then (a
// process that sleeps between its wake-ups reads 0), so the times are read
// where Linux keeps them, from the stat line of the Linux process that runs
// the program. Work that Wine's server does for a process counts for neither.

#include "benchmarks.h"
#include "report.h"
#include "runner/pointer_scale.h"
#include "support/paths.h"
#include "support/process.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace bench {

namespace {

constexpr DWORD PhaseMs = 5000;
constexpr int MovesPerSecond = 1000;
// Linux counts CPU time in clock ticks of 10 ms (USER_HZ).
constexpr double TickMs = 10.0;

std::string readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The Linux process id, as Wine's drive Z: shows /proc, of the process whose
// command line holds `mark`; "" when there is none.
std::string linuxProcessOf(const std::string& mark) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return "";
    std::string pid;
    do {
        const std::string name = found.cFileName;
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string commandLine = readAll("Z:\\proc\\" + name + "\\cmdline");
        for (char& byte : commandLine)
            byte = byte == '\0' ? ' ' : byte;
        if (commandLine.find(mark) != std::string::npos)
            pid = name;
    } while (pid.empty() && FindNextFileA(search, &found));
    FindClose(search);
    return pid;
}

// User and kernel time of a Linux process so far ("self": this one), in ms;
// -1 when its stat line cannot be read.
double cpuMs(const std::string& pid) {
    const std::string stat = readAll("Z:\\proc\\" + pid + "\\stat");
    const std::size_t afterName = stat.rfind(") ");
    if (pid.empty() || afterName == std::string::npos)
        return -1;
    // After the name: the state and ten more fields, then utime and stime.
    const char* field = stat.c_str() + afterName + 2;
    double ticks = 0;
    for (int index = 0; index < 13 && *field != '\0'; ++index) {
        if (index >= 11)
            ticks += std::strtod(field, nullptr);
        while (*field != ' ' && *field != '\0')
            ++field;
        while (*field == ' ')
            ++field;
    }
    return ticks * TickMs;
}

// The CPU time `process` takes in `PhaseMs` of wall clock, in ms per second.
double idleCpu(const std::string& process) {
    const double before = cpuMs(process);
    Sleep(PhaseMs);
    return (cpuMs(process) - before) * 1000.0 / PhaseMs;
}

// Absolute moves between two points, as many as are due at 1,000 a second;
// returns how many were sent.
int sendMoves(DWORD durationMs) {
    const auto width = static_cast<std::uint32_t>(GetSystemMetrics(SM_CXSCREEN));
    const auto height = static_cast<std::uint32_t>(GetSystemMetrics(SM_CYSCREEN));
    std::int32_t y = 0;
    moveToCoordinate(400, height, y);
    const double start = nowMs();
    int sent = 0;
    for (double elapsed = 0; elapsed < durationMs; elapsed = nowMs() - start) {
        const int due = static_cast<int>(elapsed * MovesPerSecond / 1000.0);
        for (; sent < due; ++sent) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            // Each move lands on another pixel than the one before.
            std::int32_t x = 0;
            moveToCoordinate(300 + sent % 200, width, x);
            input.mi.dx = static_cast<LONG>(toAbsolute(x, width));
            input.mi.dy = static_cast<LONG>(toAbsolute(y, height));
            input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            SendInput(1, &input, sizeof input);
        }
        Sleep(1);
    }
    return sent;
}

// "record: wrote ... (N lines from M events)": M.
long eventsRecorded(const std::string& said) {
    const std::size_t from = said.find(" lines from ");
    if (from == std::string::npos)
        return -1;
    return std::strtol(said.c_str() + from + 12, nullptr, 10);
}

} // namespace

bool recorderBenchmark() {
    const std::string folder = e2e::workDirectory();
    const std::string said = folder + "\\bench-record-output.txt";
    // Long enough for both phases; the stop key ends it sooner.
    e2e::RunningProgram recorder = e2e::startProgram(
        e2e::windowsPath(BENCH_RECORDER),
        "\"" + folder + "\\bench-recording.txt\" --seconds 60 --moves --stop-key F9", false, said);
    if (!recorder.started())
        return couldNot("the recorder did not start");
    bool recording = false;
    for (DWORD waited = 0; waited < GiveUpMs && !recording; waited += 50) {
        recording = readAll(said).find("record: recording") != std::string::npos;
        Sleep(50);
    }
    if (!recording)
        return couldNot("the recorder did not begin: " + readAll(said));

    e2e::RunningProgram bare = e2e::startProgram(e2e::windowsPath(BENCH_KEY_WAIT_PROGRAM));
    if (!bare.started())
        return couldNot("the bare program did not start");
    Sleep(500);
    const std::string barePid = linuxProcessOf("bench_key_wait.exe");
    const std::string recorderPid = linuxProcessOf("bench-recording.txt");
    if (cpuMs(barePid) < 0 || cpuMs(recorderPid) < 0 || cpuMs("self") < 0)
        return couldNot("the CPU times of the Linux processes cannot be read");
    const double bareIdle = idleCpu(barePid);
    bare.kill();
    const double recorderIdle = idleCpu(recorderPid);

    const double recorderBefore = cpuMs(recorderPid);
    const double senderBefore = cpuMs("self");
    const double started = nowMs();
    const int sent = sendMoves(PhaseMs);
    const double took = nowMs() - started;
    const double senderCpu = (cpuMs("self") - senderBefore) * 1000.0 / took;
    // What the recorder still takes off its queue counts too.
    Sleep(200);
    const double recorderCpu = (cpuMs(recorderPid) - recorderBefore) * 1000.0 / took;

    // The pointer rests, so the recording has a line (--moves) and says how
    // many events it took.
    Sleep(800);
    INPUT stop[2]{};
    stop[0].type = stop[1].type = INPUT_KEYBOARD;
    stop[0].ki.wVk = stop[1].ki.wVk = VK_F9;
    stop[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, stop, sizeof stop[0]);
    if (recorder.waitForExit(GiveUpMs) != std::optional<DWORD>(0))
        return couldNot("the recorder did not end well: " + readAll(said));
    const long events = eventsRecorded(readAll(said));

    printFigure({"recorder CPU, idle", bareIdle, "ms/s",
                 "CPU time of a bare program testing a key every 1 ms, per second of " +
                     std::to_string(PhaseMs / 1000) + " s",
                 recorderIdle, "ms/s", "CPU time of record.exe recording, nothing happening",
                 bareIdle > 0 ? recorderIdle / bareIdle : 0, "none", Verdict::None});
    printFigure({"recorder CPU, 1,000 moves/s", senderCpu, "ms/s",
                 "CPU time of this program sending the moves with SendInput", recorderCpu, "ms/s",
                 "CPU time of record.exe recording them",
                 senderCpu > 0 ? recorderCpu / senderCpu : 0, "none", Verdict::None});
    printDetail("CPU times come in clock ticks of 10 ms: over " + std::to_string(PhaseMs / 1000) +
                " s, 0.0 ms/s means less than " +
                std::to_string(TickMs * 1000 / PhaseMs).substr(0, 3) + " ms/s");
    printDetail("moves sent: " + std::to_string(sent) + " in " + std::to_string(took / 1000.0) +
                " s; events the recording holds: " + std::to_string(events));
    if (events < sent)
        return couldNot("the recording lost moves: " + std::to_string(sent) + " sent, " +
                        std::to_string(events) + " recorded");
    return true;
}

} // namespace bench
