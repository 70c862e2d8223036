// The keys a walk moved rows to, packed while they come in key order: enough of them that the
// passed ones are dropped in bulk while the walk goes on (the rest is met by walks that move
// keys).
#include <gtest/gtest.h>

#include "database/db_moved_keys.h"

namespace vorn {
namespace {

Bytes Key(uint32_t value) { return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)}; }

TEST(MovedKeysTest, KeysAheadAreHeldAfterThePassedOnesAreDropped) {
  DbMovedKeys keys;
  for (uint32_t k = 0; k < 9000; ++k) keys.Put(Key(100 + k), k + 1, 0);
  for (uint32_t k = 0; k < 9000; k += 997) EXPECT_TRUE(keys.Holds(Key(100 + k), k + 1)) << k;
}

}  // namespace
}  // namespace vorn
