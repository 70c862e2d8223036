// Fixture of the value-class tests: on top of ObjectTest's checks, no runtime array may outlive
// a test, and the shared TextEncoding objects are let go at both ends so they never count as
// leaks.
#pragma once

#include <string>

#include "objects/arrays.h"
#include "objects/support/object_test.h"
#include "objects/text_encoding_object.h"

namespace vorn::testing {

class ValueTest : public ObjectTest {
 protected:
  void SetUp() override {
    ClearTextEncodingObjects();
    ObjectTest::SetUp();
    mArrayBaseline = LiveArrayCount();
  }
  void TearDown() override {
    ClearTextEncodingObjects();
    EXPECT_EQ(LiveArrayCount(), mArrayBaseline) << "arrays still alive";
    ObjectTest::TearDown();
  }

  // The text of a record the caller owns, released.
  static std::string Take(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

 private:
  int32_t mArrayBaseline = 0;
};

}  // namespace vorn::testing
