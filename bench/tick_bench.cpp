// Time of the once-a-second tick, with the real registry store.
//
// A tick of the main window's timer reads the display time (Hour, Minute, Second) from
// the registry, reads the local clock and checks whether the display is due. This
// program does exactly that with the program's own code, in batches, and reports the
// median time of one tick over the batches. The settings live where the program keeps
// them for an executable of this name: HKCU\Software\Hexalune\tick_bench\Settings.
//
// Usage: tick_bench [--ticks N] [--batch N] [--out FILE]
// FILE receives key=value lines; the same lines go to standard output.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/Timing.h"
#include "core/win32/Win32Platform.h"
#include "reading/DisplayScheduler.h"
#include "settings/win32/RegistrySettingsStore.h"

namespace {

using namespace hexalune;
using namespace hexalune::win32;
using namespace hexalune::bench;

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(i, values.size() - 1)];
}

// Milliseconds per call of `body`, one figure per batch.
template <typename Body>
std::vector<double> TimeBatches(int ticks, int batch, Body body) {
    std::vector<double> perCall;
    for (int done = 0; done < ticks; done += batch) {
        const int n = std::min(batch, ticks - done);
        const double start = NowMs();
        for (int i = 0; i < n; ++i) body();
        perCall.push_back((NowMs() - start) / n);
    }
    return perCall;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int ticks = 100000;
    int batch = 1000;
    std::wstring outPath;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--ticks" && i + 1 < argc) {
            ticks = _wtoi(argv[++i]);
        } else if (arg == L"--batch" && i + 1 < argc) {
            batch = _wtoi(argv[++i]);
        } else if (arg == L"--out" && i + 1 < argc) {
            outPath = argv[++i];
        } else {
            std::fprintf(stderr, "usage: tick_bench [--ticks N] [--batch N] [--out FILE]\n");
            return 2;
        }
    }
    if (ticks < 1 || batch < 1) return 2;

    // The store the program itself uses: the key follows the running executable's name.
    RegistrySettingsStore store;
    store.WriteSetting(keys::kHour, "7");
    store.WriteSetting(keys::kMinute, "0");
    store.WriteSetting(keys::kSecond, "0");
    if (!ReadDisplayTime(store)) {
        std::fprintf(stderr, "the display time could not be read back from the registry\n");
        return 1;
    }
    const Win32Calendar calendar;

    // What one tick does: the clock, the stored display time, the match against the previous tick.
    std::optional<LocalDateTime> previous;
    long long matches = 0;
    long long unreadable = 0;
    const auto tick = [&] {
        const LocalDateTime now = calendar.Now();
        const auto at = ReadDisplayTime(store);
        if (!at)
            ++unreadable;
        else if (TickMatches(previous, now, *at))
            ++matches;
        previous = now;
    };
    for (int i = 0; i < std::min(ticks, 1000); ++i) tick();  // warm-up, not counted
    const std::vector<double> tickMs = TimeBatches(ticks, batch, tick);

    // The parts on their own, for where the time goes.
    const int partTicks = std::max(batch, ticks / 20);
    long long sink = 0;
    const std::vector<double> readMs =
        TimeBatches(partTicks, batch, [&] { sink += ReadDisplayTime(store).has_value() ? 1 : 0; });
    const std::vector<double> clockMs = TimeBatches(partTicks, batch, [&] { sink += calendar.Now().second; });
    const LocalDateTime fixedNow = calendar.Now();
    const DisplayTime fixedAt{7, 0, 0};
    std::optional<LocalDateTime> fixedPrevious = fixedNow;
    const std::vector<double> matchMs =
        TimeBatches(partTicks, batch, [&] { sink += TickMatches(fixedPrevious, fixedNow, fixedAt) ? 1 : 0; });

    // One registry call on its own, and an open plus close of the key, which the store does
    // once and then keeps open: the floor under each read.
    const std::wstring keyPath = store.KeyPath();
    HKEY key = nullptr;
    std::vector<double> queryMs, openCloseMs;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        queryMs = TimeBatches(partTicks, batch, [&] {
            wchar_t data[16];
            DWORD bytes = sizeof(data);
            DWORD type = 0;
            sink += RegQueryValueExW(key, L"Hour", nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
        });
        RegCloseKey(key);
    }
    openCloseMs = TimeBatches(partTicks, batch, [&] {
        HKEY k = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, &k) == ERROR_SUCCESS) RegCloseKey(k);
        else ++sink;
    });

    char text[2048];
    std::snprintf(text, sizeof(text),
                  "ticks=%d\nbatch=%d\nbatches=%zu\nkey=HKCU\\%ls\n"
                  "tick_ms_median=%.5f\ntick_ms_min=%.5f\ntick_ms_p90=%.5f\ntick_ms_max=%.5f\n"
                  "read_display_time_ms_median=%.5f\nclock_now_ms_median=%.5f\ntick_matches_ms_median=%.6f\n"
                  "reg_query_value_ms_median=%.5f\nreg_open_close_ms_median=%.5f\n"
                  "unreadable=%lld\nmatches=%lld\nsink=%lld\n",
                  ticks, batch, tickMs.size(), store.KeyPath().c_str(), Median(tickMs),
                  *std::min_element(tickMs.begin(), tickMs.end()), Percentile(tickMs, 0.9),
                  *std::max_element(tickMs.begin(), tickMs.end()), Median(readMs), Median(clockMs), Median(matchMs),
                  queryMs.empty() ? 0.0 : Median(queryMs), Median(openCloseMs),
                  unreadable, matches, sink);
    std::fputs(text, stdout);
    if (!outPath.empty()) {
        FILE* out = _wfopen(outPath.c_str(), L"w");
        if (!out) return 2;
        std::fputs(text, out);
        std::fclose(out);
    }
    return unreadable == 0 ? 0 : 1;
}
