// Classes in tests: a fixture over the intrinsic classes for tests without a display, and
// compiled-style classes made the way an image makes them.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "objects/runtime_object.h"
#include "vorn/class_abi.h"
#include "vorn/control_api.h"

namespace vorn::test {

// The intrinsic classes are registered, runtime error reports are collected instead of shown,
// objects a test makes are released when it ends (last made first), and no object of its own
// may be left alive.
class IntrinsicClassTest : public ::testing::Test {
 public:
  // Texts of the runtime error reports since SetUp.
  static std::vector<std::string>& Reports();

 protected:
  void SetUp() override;
  void TearDown() override;

  // An instance of the class, released when the test ends.
  RuntimeObject* New(ObjectDefinition* definition);
  // Takes the caller's reference to `object` (nil is passed through) and releases it at the end.
  RuntimeObject* Keep(RuntimeObject* object);
  // Signatures of the class's properties from index `from` on, in accessor-table order.
  static std::vector<std::string> OwnProperties(ObjectDefinition* definition,
                                                size_t from = kVornControlFirstOwnProperty);
  // Releases what New and Keep took, last first, for fixtures with more to undo after it and
  // before TearDown counts the objects left.
  void ReleaseObjects();

 private:
  std::vector<RuntimeObject*> mObjects;
  int32_t mBaseline = 0;
};

// A function an entry point is to bind, under the name compiled code asks for.
struct BoundEntryPoint {
  const char* name;
  void* function;
};
// Expects every name to be an entry point that binds its function.
void ExpectEntryPointsBound(const std::vector<BoundEntryPoint>& bound);

// A class deriving from `super` whose "#Event" rows are `implementations`; made once per name,
// later calls answer the class made first.
RuntimeClass* MakeClass(const char* name, const char* super, int32_t instanceSize,
                        const std::vector<VornClassMember>& implementations, VornProcEntry finalizer = {},
                        VornProcEntry initializer = {});

}  // namespace vorn::test
