// The Windows side of core/BenchPhases.h, for the program's message loop and the benchmarks.
// Built only with HEXALUNE_BENCH_PHASES.
#pragma once

#include <windows.h>

#include <vector>

#include "core/BenchPhases.h"

#ifdef HEXALUNE_BENCH_PHASES
namespace hexalune::bench_phases {

struct Moment {
    const char* phase;
    double ms;  // on the performance counter (core/win32/PerformanceClock.h)
};

// The moments marked since the last call, oldest first; they are forgotten.
std::vector<Moment> Take();

// Dispatches a WM_PAINT, its time added to the total of the window's class.
void DispatchPaint(const MSG& message);

}  // namespace hexalune::bench_phases
#endif
