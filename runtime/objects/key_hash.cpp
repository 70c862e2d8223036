#include "objects/key_hash.h"

#include <sys/random.h>

#include <cerrno>
#include <chrono>
#include <cstddef>

namespace vorn {

KeyHashSeed DrawKeyHashSeed() {
  KeyHashSeed seed{};
  auto* bytes = reinterpret_cast<char*>(&seed);
  size_t got = 0;
  while (got < sizeof seed) {
    ssize_t n = getrandom(bytes + got, sizeof seed - got, GRND_NONBLOCK);
    if (n > 0) {
      got += static_cast<size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  if (got < sizeof seed) {
    // No random source yet (early boot, an old kernel): still differ from run to run.
    const auto now = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const auto place = reinterpret_cast<uintptr_t>(&seed);
    seed.sip0 ^= now * 0x9e3779b97f4a7c15ull;
    seed.sip1 ^= place * 0xbf58476d1ce4e5b9ull;
    seed.mix ^= (now ^ place) * 0x94d049bb133111ebull;
  }
  return seed;
}

}  // namespace vorn
