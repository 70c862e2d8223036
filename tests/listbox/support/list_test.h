// Fixture of the list box model tests: runtime error reports are collected instead of shown,
// and every test must end with no exception left pending.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "strings/runtime_error.h"

namespace vorn::testing {

class ListTest : public ::testing::Test {
 public:
  static std::vector<std::string>& Reports();
  // The pending exception's class name and message ("" when none), released.
  static std::string TakePendingClassName();
  static std::string TakePendingMessage();

 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  RuntimeErrorPresenter mOldPresenter = nullptr;
};

}  // namespace vorn::testing
