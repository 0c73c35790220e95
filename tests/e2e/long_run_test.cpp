// A long run of a real player: an endless loop of MoveTo, clicks on a test
// window, a Delay and colour waits, sampled from outside the player for its
// memory, handles and GUI objects. Every figure must stay flat: after a
// warm-up, the last sample lies within a small margin of the median of the
// first few. The break key, pressed at the X server, then ends the run with
// exit code 0. The series is printed so it can be read as figures.
//
// LONG_RUN_SECONDS sets the length (default 60; the README gives the command
// for the full ten minutes).

#include "support/e2e.h"

#include <psapi.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace e2e;

constexpr int DefaultSeconds = 60;

int runSeconds() {
    const char* text = std::getenv("LONG_RUN_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : DefaultSeconds;
    return seconds >= 30 ? seconds : 30; // room for the warm-up, the baseline and more
}

struct Sample {
    ULONGLONG atMs = 0;
    std::uint64_t workingSet = 0;   // bytes
    std::uint64_t privateBytes = 0; // bytes (pagefile usage)
    std::uint64_t handles = 0;
    std::uint64_t gdiObjects = 0;
    std::uint64_t userObjects = 0;
    std::uint64_t clicks = 0; // received by the test window so far
};

// A figure the process reports, and how far it may drift and still be flat:
// a share of the baseline plus a fixed allowance.
struct Figure {
    const char* name;
    std::uint64_t Sample::*field;
    double share;
    std::uint64_t allowance;
};

const Figure Figures[] = {
    {"working set", &Sample::workingSet, 0.10, 1 << 20},
    {"private bytes", &Sample::privateBytes, 0.10, 1 << 20},
    {"handles", &Sample::handles, 0.0, 8},
    {"GDI objects", &Sample::gdiObjects, 0.0, 8},
    {"USER objects", &Sample::userObjects, 0.0, 8},
};

std::uint64_t median(std::vector<std::uint64_t> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The process's handles as the system's handle table lists them. Wine's
// GetProcessHandleCount succeeds with 0 for every process; its table is right.
std::uint64_t handlesInSystemTable(DWORD processId) {
    struct Entry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT handle;
        PVOID object;
        ULONG access;
    };
    struct Table {
        ULONG count;
        Entry entries[1];
    };
    using Query = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    constexpr ULONG SystemHandleInformation = 16;
    constexpr NTSTATUS InfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return 0;
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = query(SystemHandleInformation, buffer.data(),
                                      static_cast<ULONG>(buffer.size()), &needed);
        if (status == InfoLengthMismatch && buffer.size() < (1u << 28)) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0) {
            return 0;
        }
        break;
    }
    const auto* table = reinterpret_cast<const Table*>(buffer.data());
    std::uint64_t count = 0;
    for (ULONG i = 0; i < table->count; ++i) {
        count += table->entries[i].ownerPid == processId ? 1 : 0;
    }
    return count;
}

std::size_t countClicks(const TestWindow& window) {
    std::size_t count = 0;
    for (const ReceivedMessage& message : window.messages()) {
        count += message.message == WM_LBUTTONDOWN ? 1 : 0;
    }
    return count;
}

Sample sample(HANDLE process, DWORD processId, ULONGLONG startMs, const TestWindow& window) {
    Sample s;
    s.atMs = GetTickCount64() - startMs;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
        s.workingSet = memory.WorkingSetSize;
        s.privateBytes = memory.PagefileUsage;
    }
    DWORD handles = 0;
    s.handles = GetProcessHandleCount(process, &handles) && handles != 0
                    ? handles
                    : handlesInSystemTable(processId);
    s.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    s.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    s.clicks = countClicks(window);
    return s;
}

void print(const Sample& s) {
    std::printf(
        "long run: t=%5.1f s  working set %8llu KB  private %8llu KB  handles %4llu  "
        "GDI %4llu  USER %4llu  clicks %6llu\n",
        static_cast<double>(s.atMs) / 1000.0, static_cast<unsigned long long>(s.workingSet / 1024),
        static_cast<unsigned long long>(s.privateBytes / 1024),
        static_cast<unsigned long long>(s.handles), static_cast<unsigned long long>(s.gdiObjects),
        static_cast<unsigned long long>(s.userObjects), static_cast<unsigned long long>(s.clicks));
    std::fflush(stdout);
}

TEST(LongRun, FiguresStayFlatAndTheBreakKeyEndsTheLoop) {
    const int seconds = runSeconds();
    const DWORD intervalMs = static_cast<DWORD>(std::max(5, seconds / 30) * 1000);
    const std::size_t warmUp = 2;   // samples left out while the run settles
    const std::size_t baseline = 3; // samples whose median is the baseline

    // A blue window: clicks land in its middle, the colour waits read a point
    // near its corner, away from the pointer.
    TestWindow window({.title = "long run target",
                       .x = 200,
                       .y = 200,
                       .width = 400,
                       .height = 300,
                       .background = RGB(0x00, 0x00, 0xFF)});
    ASSERT_TRUE(window.activate());
    POINT click{200, 150};
    POINT colour{20, 20};
    ClientToScreen(window.handle(), &click);
    ClientToScreen(window.handle(), &colour);
    const std::string at = std::to_string(colour.x) + " " + std::to_string(colour.y);
    const std::string script = "Start No Box\n"
                               "MoveTo " +
                               std::to_string(click.x) + " " + std::to_string(click.y) +
                               "\n"
                               "LClick\n"
                               "Delay 20\n"
                               "WaitNotColor " +
                               at +
                               " FF0000\n"
                               "WaitColor " +
                               at +
                               " 0000FF\n"
                               "RClick\n"
                               "Loop\n";
    const std::string player = playerWithScript("long_run", script);
    ASSERT_FALSE(player.empty());

    std::printf("long run: %d s, a sample every %lu s\n", seconds, intervalMs / 1000);
    RunningProgram run = startProgram(player);
    ASSERT_TRUE(run.started());
    const ULONGLONG start = GetTickCount64();
    std::vector<Sample> samples;
    while (GetTickCount64() - start < static_cast<ULONGLONG>(seconds) * 1000) {
        if (run.waitForExit(intervalMs)) {
            FAIL() << "the player ended by itself after " << (GetTickCount64() - start) << " ms";
        }
        samples.push_back(sample(run.processHandle(), run.processId(), start, window));
        print(samples.back());
    }

    {
        HeldKey escape("Escape");
        EXPECT_EQ(run.waitForExit(20000), std::optional<DWORD>(0));
    }

    ASSERT_GT(samples.size(), warmUp + baseline);
    // The loop went on for the whole run: clicks kept arriving.
    for (std::size_t i = 1; i < samples.size(); ++i) {
        EXPECT_GT(samples[i].clicks, samples[i - 1].clicks)
            << "no click between samples " << i << " and " << i + 1;
    }
    const Sample& last = samples.back();
    for (const Figure& figure : Figures) {
        std::vector<std::uint64_t> early;
        for (std::size_t i = warmUp; i < warmUp + baseline; ++i) {
            early.push_back(samples[i].*figure.field);
        }
        const std::uint64_t base = median(early);
        if (base == 0 && last.*figure.field == 0) {
            std::printf("long run: %s: no figures from the system\n", figure.name);
            continue;
        }
        const auto limit =
            static_cast<std::uint64_t>(static_cast<double>(base) * figure.share) + figure.allowance;
        std::printf("long run: %s: baseline %llu, last %llu, allowed drift %llu\n", figure.name,
                    static_cast<unsigned long long>(base),
                    static_cast<unsigned long long>(last.*figure.field),
                    static_cast<unsigned long long>(limit));
        EXPECT_LE(last.*figure.field, base + limit) << figure.name << " grew";
    }
}

} // namespace
