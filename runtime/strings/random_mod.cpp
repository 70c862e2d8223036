#include "strings/random_mod.h"

#include <ctime>

namespace vorn {

namespace {

constexpr uint64_t kModulus = 100000000;
constexpr uint64_t kHalf = 10000;
constexpr uint32_t kMultiplier = 31415821;

uint32_t sRandomSeed = 0;
bool sRandomSeeded = false;

}  // namespace

uint32_t RandomMultiplyMod(uint32_t a, uint32_t b) {
  // 64-bit intermediates: the cross products of full 32-bit factors exceed 32 bits.
  const uint64_t a1 = a / kHalf, a0 = a % kHalf;
  const uint64_t b1 = b / kHalf, b0 = b % kHalf;
  return static_cast<uint32_t>((a0 * b0 + ((a1 * b0 + b1 * a0) % kHalf) * kHalf) % kModulus);
}

uint32_t NextRandomSeed(uint32_t seed) {
  return static_cast<uint32_t>((RandomMultiplyMod(seed, kMultiplier) + 1) % kModulus);
}

}  // namespace vorn

extern "C" double rnd() {
  // Plain statics: runtime code runs only on the thread holding the runtime's lock.
  if (!vorn::sRandomSeeded) {
    vorn::sRandomSeed =
        static_cast<uint32_t>(static_cast<uint64_t>(std::time(nullptr)) % vorn::kModulus);
    vorn::sRandomSeeded = true;
  }
  vorn::sRandomSeed = vorn::NextRandomSeed(vorn::sRandomSeed);
  return static_cast<double>(vorn::sRandomSeed) / static_cast<double>(vorn::kModulus);
}
