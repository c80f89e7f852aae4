// The program's pseudo-random source: seeded once per run, uniform in [0, 1).
#pragma once

#include <cstdint>
#include <random>

#include "core/Platform.h"

namespace hexalune {

class SeededRandom final : public IRandom {
public:
    explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
    // 24 random bits scaled into [0, 1): every value is exact in single precision and below 1.
    float Next() override { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }

    // A seed from the time of day, taken once at start-up.
    static std::uint32_t SeedFromClock();

private:
    std::mt19937 engine_;
};

}  // namespace hexalune
