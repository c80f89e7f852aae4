// 1,000 new readings in the program's own main window, counted around them: GDI and USER
// objects, private bytes and working set. Each reading is drawn as the program draws the
// day's reading (random draw, stored in the registry, shown), with the reading view in
// front, and painted before the next one. Built with the program when HEXALUNE_BENCH is on
// and run by bench/run.sh.
//
// In a build that marks its phases (HEXALUNE_BENCH_PHASES) the time of one reading is also
// split into its phases (drawn, shown, stored, painted), written to FILE.phases.md.
//
// Usage: hexalune_readings_bench [--readings N] [--warm-up N] [--out FILE]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/win32/MainWindow.h"
#include "core/win32/BenchPhases.h"
#include "core/win32/Win32Platform.h"
#include "reading/Reading.h"
#include "reading/SeededRandom.h"
#include "settings/win32/RegistrySettingsStore.h"
#include "win32/ProcessObjects.h"

namespace {

using namespace hexalune;
using namespace hexalune::win32;

class NoShell : public IShell {
public:
    void OpenAddress(const std::string&) override {}
};

struct Counts {
    long gdi = 0;
    long user = 0;
    unsigned long long pagefileUsage = 0;
    unsigned long long workingSet = 0;
    unsigned long long privateCommit = 0;
};

Counts Read() {
    Counts counts;
    const HANDLE self = GetCurrentProcess();
    counts.gdi = process_objects::GdiObjectCount(self);
    counts.user = process_objects::UserObjectCount(self);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
        counts.pagefileUsage = memory.PagefileUsage;
        counts.workingSet = memory.WorkingSetSize;
    }
    counts.privateCommit = process_objects::PrivateCommit(self);
    return counts;
}

// Lets the window paint everything the reading changed, as the message loop would.
void Paint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    int readings = 1000;
    int warmUp = 20;
    const char* outPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--readings" && i + 1 < argc) {
            readings = std::atoi(argv[++i]);
        } else if (arg == "--warm-up" && i + 1 < argc) {
            warmUp = std::atoi(argv[++i]);
        } else if (arg == "--out" && i + 1 < argc) {
            outPath = argv[++i];
        } else {
            std::fprintf(stderr, "usage: hexalune_readings_bench [--readings N] [--warm-up N] [--out FILE]\n");
            return 2;
        }
    }
    if (readings < 1 || warmUp < 0) return 2;

    NoShell shell;
    MainWindow window(GetModuleHandleW(nullptr), shell);
    if (!window.Create()) {
        std::fprintf(stderr, "the main window could not be made (%lu)\n", GetLastError());
        return 1;
    }
    window.BringViewToFront(View::Hexagram);
    window.ShowFirstTime();

    // The program's own store, clock and random source (key named after this executable).
    RegistrySettingsStore settings;
    Win32Calendar calendar;
    SeededRandom random(SeededRandom::SeedFromClock());
    ReadingService reading(settings, calendar, random, window);
    // The phases of the timed readings: each one's name and its total time since the phase before.
    std::vector<std::pair<std::string, double>> phaseTotals;
    bool timing = false;
    auto draw = [&](int count) {
        for (int i = 0; i < count; ++i) {
#ifdef HEXALUNE_BENCH_PHASES
            bench_phases::Take();
            HEXALUNE_PHASE("start");
#endif
            reading.DrawReading();
            Paint(window.Handle());
#ifdef HEXALUNE_BENCH_PHASES
            HEXALUNE_PHASE("painted");
            const std::vector<bench_phases::Moment> moments = bench_phases::Take();
            if (!timing) continue;
            for (std::size_t m = 1; m < moments.size(); ++m) {
                if (phaseTotals.size() < m) phaseTotals.emplace_back(moments[m].phase, 0.0);
                if (phaseTotals[m - 1].first == moments[m].phase) phaseTotals[m - 1].second += moments[m].ms - moments[m - 1].ms;
            }
#endif
        }
    };

    draw(warmUp);  // whatever is made once, on the first readings, is not a leak
    const Counts before = Read();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    timing = true;
    draw(readings);
    QueryPerformanceCounter(&end);
    const Counts after = Read();
    DestroyWindow(window.Handle());
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kSettingsBasePath) + ExecutableBaseName()).c_str());

    char text[1024];
    std::snprintf(text, sizeof(text),
                  "readings=%d\nreadings_ms_each=%.3f\n"
                  "readings_gdi_before=%ld\nreadings_gdi_after=%ld\n"
                  "readings_user_before=%ld\nreadings_user_after=%ld\n"
                  "readings_pagefile_usage_before=%llu\nreadings_pagefile_usage_after=%llu\n"
                  "readings_working_set_before=%llu\nreadings_working_set_after=%llu\n"
                  "readings_private_commit_before=%llu\nreadings_private_commit_after=%llu\n",
                  readings, Milliseconds(start, end) / readings, before.gdi, after.gdi, before.user, after.user,
                  before.pagefileUsage, after.pagefileUsage, before.workingSet, after.workingSet,
                  before.privateCommit, after.privateCommit);
    std::fputs(text, stdout);
    if (outPath) {
        FILE* out = std::fopen(outPath, "w");
        if (!out) return 2;
        std::fputs(text, out);
        std::fclose(out);
        if (!phaseTotals.empty()) {
            FILE* phases = std::fopen((std::string(outPath) + ".phases.md").c_str(), "w");
            if (!phases) return 2;
            std::fprintf(phases, "One new reading in the program's window, mean of %d: each phase as marked by the program, "
                                 "in ms from the phase before.\n\n| Phase | Step |\n| --- | ---: |\n", readings);
            double total = 0;
            for (const auto& [phase, ms] : phaseTotals) {
                std::fprintf(phases, "| %s | %.3f |\n", phase.c_str(), ms / readings);
                total += ms;
            }
            std::fprintf(phases, "| the whole reading | %.3f |\n\n", total / readings);
            std::fclose(phases);
        }
    }
    return 0;
}
