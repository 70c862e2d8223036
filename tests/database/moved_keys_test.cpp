// The keys a walk moved rows to: packed while they come in key order, in a map otherwise, passed
// keys forgotten (the packed ones dropped in bulk), an undone transaction's moves taken back.
#include <gtest/gtest.h>

#include <vector>

#include "database/db_moved_keys.h"

namespace vorn {
namespace {

Bytes Key(uint32_t value) { return {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)}; }

TEST(MovedKeysTest, AWalkPassesOverItsOwnMovesOnly) {
  enum Kind { kPut, kUndo, kHolds, kMisses };
  struct Step {
    Kind kind;
    uint32_t key, id, end;  // kUndo: end only
  };
  std::vector<Step> manyPassed;  // more than the packed keys drop at once, with one past them
  for (uint32_t k = 0; k < 9000; ++k) manyPassed.push_back({kPut, 100 + k, k + 1, 0});
  manyPassed.push_back({kPut, 50, 77, 0});  // behind the last: the map
  for (uint32_t k = 0; k < 9000; k += 997) manyPassed.push_back({kHolds, 100 + k, k + 1, 0});
  manyPassed.push_back({kHolds, 9099, 9000, 0});
  manyPassed.push_back({kPut, 20000, 5, 0});
  manyPassed.push_back({kHolds, 20000, 5, 0});
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"another record at a moved key", {{kPut, 10, 1, 0}, {kMisses, 10, 2, 0}, {kHolds, 10, 1, 0}}},
      {"passed keys forgotten", {{kPut, 10, 1, 0}, {kPut, 20, 2, 0}, {kHolds, 20, 2, 0}, {kMisses, 10, 1, 0}}},
      {"out of order", {{kPut, 30, 3, 0}, {kPut, 10, 1, 0}, {kPut, 20, 2, 0}, {kHolds, 10, 1, 0},
                        {kHolds, 20, 2, 0}, {kHolds, 30, 3, 0}}},
      {"undone", {{kPut, 10, 1, 0}, {kPut, 5, 2, 1}, {kPut, 20, 3, 1}, {kUndo, 0, 0, 1}, {kMisses, 5, 2, 0},
                  {kHolds, 10, 1, 0}, {kMisses, 20, 3, 0}}},
      {"overwritten, then undone", {{kPut, 10, 1, 0}, {kPut, 30, 4, 0}, {kPut, 10, 2, 1}, {kPut, 30, 5, 1},
                                    {kPut, 10, 3, 1}, {kUndo, 0, 0, 1}, {kHolds, 10, 1, 0}, {kHolds, 30, 4, 0}}},
      {"overwritten in one transaction, kept", {{kPut, 10, 1, 0}, {kPut, 10, 2, 0}, {kUndo, 0, 0, 1},
                                                {kMisses, 10, 1, 0}, {kHolds, 10, 2, 0}}},
      {"many passed", manyPassed},
  };
  for (const auto& c : cases) {
    DbMovedKeys keys;
    for (const Step& step : c.steps) {
      const size_t at = size_t(&step - c.steps.data());
      if (step.kind == kPut) keys.Put(Key(step.key), step.id, step.end);
      if (step.kind == kUndo) keys.Undo(step.end);
      if (step.kind == kHolds || step.kind == kMisses) {
        EXPECT_EQ(keys.Holds(Key(step.key), step.id), step.kind == kHolds) << c.name << ", step " << at;
      }
    }
  }
}

}  // namespace
}  // namespace vorn
