#include "objects/support/object_test.h"

#include "strings/runtime_error.h"

namespace vorn::testing {

namespace {

bool CollectReport(const std::string& text) {
  ObjectTest::Reports().push_back(text);
  return true;
}

}  // namespace

std::vector<std::string>& ObjectTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

std::vector<std::string>& CallLog() {
  static std::vector<std::string> log;
  return log;
}

void ObjectTest::SetUp() {
  Reports().clear();
  CallLog().clear();
  SetRuntimeErrorPresenter(&CollectReport);
  mBaseline = LiveObjectCount();
}

void ObjectTest::TearDown() {
  RuntimeObject* pending = TakePendingException();
  EXPECT_EQ(pending, nullptr) << "exception left pending: " << std::string(ClassOf(pending)->mName.View());
  RuntimeUnlockObject(pending);
  std::string leaked;
  for (int32_t i = 0; i < LiveObjectCount(); ++i) leaked += " " + std::string(ClassOf(LiveObjectAt(i))->mName.View());
  EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects still alive:" << leaked;
  SetRuntimeErrorPresenter(nullptr);
}

std::string ObjectTest::TakePendingClassName() {
  RuntimeObject* pending = TakePendingException();
  if (!pending) return "";
  std::string name(ClassOf(pending)->mName.View());
  RuntimeUnlockObject(pending);
  return name;
}

}  // namespace vorn::testing
