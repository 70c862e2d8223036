// Base fixture of the object-model tests: every test must end with no object alive and no
// exception pending, and runtime error reports are collected instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn::testing {

class ObjectTest : public ::testing::Test {
 public:
  // Texts of the runtime error reports since SetUp.
  static std::vector<std::string>& Reports();
  // Takes the pending exception's class name and releases it; "" when none.
  static std::string TakePendingClassName();

 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  int32_t mBaseline = 0;
};

// Records calls in order ("Base.init", "Derived.final", ...).
std::vector<std::string>& CallLog();

}  // namespace vorn::testing
