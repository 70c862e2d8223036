// Fixture of the tests that use language objects: the intrinsic classes are registered, error
// reports are collected instead of shown, and every test must end with no object of its own
// alive and no exception pending.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/runtime_object.h"
#include "vorn/class_abi.h"

namespace vorn::testing {

class CoreObjectTest : public ::testing::Test {
 public:
  static std::vector<std::string>& Reports();
  static std::string& Log();  // events, in order, each followed by ";"

 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  int32_t mBaseline = 0;
};

// A class deriving from `superName` whose "#Event" implementations are `implementations`
// (signature, function); built once per name.
RuntimeClass* MakeSubclass(const char* name, const char* superName, int32_t instanceSize,
                           std::vector<VornClassMember> implementations);

}  // namespace vorn::testing
