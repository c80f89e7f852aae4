// 1,000 new readings in the program's own main window, counted around them: GDI and USER
// objects, private bytes and working set. Each reading is drawn as the program draws the
// day's reading (random draw, stored in the registry, shown), with the reading view in
// front, and painted before the next one. Built with the program when HEXALUNE_BENCH is on
// and run by bench/run.sh.
//
// Usage: hexalune_readings_bench [--readings N] [--warm-up N] [--out FILE]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/win32/MainWindow.h"
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
    auto draw = [&](int count) {
        for (int i = 0; i < count; ++i) {
            reading.DrawReading();
            Paint(window.Handle());
        }
    };

    draw(warmUp);  // whatever is made once, on the first readings, is not a leak
    const Counts before = Read();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
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
    }
    return 0;
}
