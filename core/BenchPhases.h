// Moments of the program's work that bench/run.sh reports phase by phase: the start-up, a new
// reading. Only the build the bench measures takes them (HEXALUNE_BENCH_PHASES); in every other
// build a mark is nothing at all.
#pragma once

#ifdef HEXALUNE_BENCH_PHASES
namespace hexalune::bench_phases {
// The time now, under the phase's name (a string that lives for the whole run).
void Mark(const char* phase);
}  // namespace hexalune::bench_phases
#define HEXALUNE_PHASE(name) ::hexalune::bench_phases::Mark(name)
#else
#define HEXALUNE_PHASE(name) static_cast<void>(0)
#endif
