// The clock that the phase marks (core/win32/BenchPhases.h) and the benchmarks read alike.
#pragma once

#include <windows.h>

namespace hexalune::win32 {

// Milliseconds on the performance counter, from an arbitrary start.
inline double NowMs() {
    static const double msPerCount = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1000.0 / static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * msPerCount;
}

}  // namespace hexalune::win32
