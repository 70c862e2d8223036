// Fixture of the FolderItem tests: the intrinsic classes are registered, and on top of the store
// fixture's checks, texts and exceptions are read the way compiled code meets them.
#pragma once

#include <string>

#include "files/support/store_test.h"
#include "objects/runtime_object.h"
#include "strings/vstring.h"

namespace vorn::testing {

class FolderItemTest : public StoreTest {
 public:
  // The text of a record the caller owns, released.
  static std::string Take(StringRep* rep) { return std::string(string::Adopt(rep).View()); }
  // The pending exception's message, released; "" when none.
  static std::string TakePendingMessage();
  static std::string PathOf(RuntimeObject* item);

 protected:
  void SetUp() override;
};

// A language string of UTF-8 text, for the entry points' arguments.
string Text(const std::string& text);

}  // namespace vorn::testing
