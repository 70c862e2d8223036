// Arithmetic of the runtime's random numbers.
#pragma once

#include <cstdint>

namespace vorn {

// (a × b) mod 100000000, computed by splitting each factor at 10000:
// (a0 × b0 + ((a1 × b0 + b1 × a0) mod 10000) × 10000) mod 100000000.
uint32_t RandomMultiplyMod(uint32_t a, uint32_t b);

// The next value of the generator behind rnd: seed' = (seed × 31415821 + 1) mod 100000000.
uint32_t NextRandomSeed(uint32_t seed);

}  // namespace vorn

// A number in [0, 1) from a generator seeded with the time of its first use.
extern "C" double rnd();
