// Kept in memory while the program runs, written at its end to the file that
// HEXALUNE_PHASES_FILE names (bench/startup_probe.cpp sets it and reads the file):
//   mark <TAB> phase <TAB> milliseconds
//   paint <TAB> window class <TAB> count <TAB> milliseconds in all
#include "core/win32/BenchPhases.h"

#ifdef HEXALUNE_BENCH_PHASES
#include <cstdio>
#include <map>
#include <string>

#include "core/win32/PerformanceClock.h"

namespace hexalune::bench_phases {

namespace {

// The benchmark programs' clock too, so that the probe and the program read the same counter.
using win32::NowMs;

struct PaintTotal {
    long count = 0;
    double ms = 0;
};

struct Record {
    // A fixed store: marking allocates nothing, so the memory measured is the program's own.
    Moment moments[256];
    int count = 0;
    std::map<std::wstring, PaintTotal> paints;

    Record() {
        moments[count++] = {"program image loaded", NowMs()};
    }
    ~Record() {
        wchar_t path[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"HEXALUNE_PHASES_FILE", path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        FILE* out = _wfopen(path, L"w");
        if (!out) return;
        for (int i = 0; i < count; ++i) std::fprintf(out, "mark\t%s\t%.3f\n", moments[i].phase, moments[i].ms);
        for (const auto& [name, total] : paints)
            std::fprintf(out, "paint\t%ls\t%ld\t%.3f\n", name.c_str(), total.count, total.ms);
        std::fclose(out);
    }
};

Record& TheRecord() {
    static Record record;
    return record;
}

// Made with the program's other statics, before wWinMain: the first moment the program's own code runs.
const Record& g_made = TheRecord();

}  // namespace

void Mark(const char* phase) {
    Record& record = TheRecord();
    if (record.count < static_cast<int>(std::size(record.moments))) record.moments[record.count++] = {phase, NowMs()};
}

std::vector<Moment> Take() {
    Record& record = TheRecord();
    std::vector<Moment> taken(record.moments, record.moments + record.count);
    record.count = 0;
    return taken;
}

void DispatchPaint(const MSG& message) {
    wchar_t name[64] = L"?";
    GetClassNameW(message.hwnd, name, 64);
    const double start = NowMs();
    DispatchMessageW(&message);
    PaintTotal& total = TheRecord().paints[name];
    ++total.count;
    total.ms += NowMs() - start;
}

}  // namespace hexalune::bench_phases
#endif
