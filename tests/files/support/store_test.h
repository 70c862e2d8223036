// Fixture of the byte-store tests: runtime error reports are collected instead of shown, and
// every test must end with no exception pending and no language object left alive.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "files/random_access_mechanism.h"

namespace vorn::testing {

class StoreTest : public ::testing::Test {
 public:
  static std::vector<std::string>& Reports();
  // The pending exception's class name, released; "" when none.
  static std::string TakePendingClassName();

 protected:
  void SetUp() override;
  void TearDown() override;

  // Reads up to `count` bytes; the bytes read, or "<failed>" when the read fails.
  static std::string ReadText(RandomAccessMechanism& store, int32_t count);
  static bool WriteText(RandomAccessMechanism& store, const std::string& text);

 private:
  int32_t mBaseline = 0;
};

}  // namespace vorn::testing
