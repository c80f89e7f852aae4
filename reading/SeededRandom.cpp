#include "reading/SeededRandom.h"

#include <chrono>

namespace hexalune {

std::uint32_t SeededRandom::SeedFromClock() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ticks = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

}  // namespace hexalune
