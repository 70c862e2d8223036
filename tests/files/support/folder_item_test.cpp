#include "files/support/folder_item_test.h"

#include "startup/class_registration.h"
#include "objects/exceptions.h"
#include "vorn/folder_item_api.h"

namespace vorn::testing {

void FolderItemTest::SetUp() {
  RuntimeInitExternalClasses();
  StoreTest::SetUp();
}

std::string FolderItemTest::TakePendingMessage() {
  RuntimeObject* pending = TakePendingException();
  if (!pending) return "";
  std::string message(ExceptionMessage(pending).View());
  RuntimeUnlockObject(pending);
  return message;
}

std::string FolderItemTest::PathOf(RuntimeObject* item) { return Take(VORNpathFromFolderItem(item)); }

string Text(const std::string& text) { return string(text, kEncodingUTF8); }

}  // namespace vorn::testing
