// What the benchmark programs measure time with.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

#include "core/win32/PerformanceClock.h"

namespace hexalune::bench {

// Milliseconds on the performance counter, from an arbitrary start: the program's own phase
// marks read the same clock.
using win32::NowMs;

// The middle value (the mean of the two middle ones for an even count), 0 for none.
inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Processor time of this thread so far, in milliseconds.
inline double ThreadMs() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

}  // namespace hexalune::bench
