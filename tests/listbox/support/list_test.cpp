#include "listbox/support/list_test.h"

#include "objects/exceptions.h"
#include "objects/runtime_class.h"
#include "objects/runtime_object.h"

namespace vorn::testing {

namespace {

bool Collect(const std::string& text) {
  ListTest::Reports().push_back(text);
  return true;
}

std::string Take(bool message) {
  RuntimeObject* pending = TakePendingException();
  if (!pending) return "";
  std::string text(message ? ExceptionMessage(pending).View() : ClassOf(pending)->mName.View());
  RuntimeUnlockObject(pending);
  return text;
}

}  // namespace

std::vector<std::string>& ListTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

std::string ListTest::TakePendingClassName() { return Take(false); }
std::string ListTest::TakePendingMessage() { return Take(true); }

void ListTest::SetUp() {
  Reports().clear();
  mOldPresenter = SetRuntimeErrorPresenter(&Collect);
}

void ListTest::TearDown() {
  SetRuntimeErrorPresenter(mOldPresenter);
  EXPECT_EQ(PendingException(), nullptr) << "an exception was left pending";
  RuntimeUnlockObject(TakePendingException());
}

}  // namespace vorn::testing
