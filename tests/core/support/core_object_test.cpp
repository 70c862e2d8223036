#include "core/support/core_object_test.h"

#include "startup/class_registration.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "strings/runtime_error.h"

namespace vorn::testing {

namespace {
bool CollectReport(const std::string& text) {
  CoreObjectTest::Reports().push_back(text);
  return true;
}
}  // namespace

std::vector<std::string>& CoreObjectTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

std::string& CoreObjectTest::Log() {
  static std::string log;
  return log;
}

void CoreObjectTest::SetUp() {
  RuntimeInitExternalClasses();
  Reports().clear();
  Log().clear();
  SetRuntimeErrorPresenter(&CollectReport);
  mBaseline = LiveObjectCount();
}

void CoreObjectTest::TearDown() {
  RuntimeObject* pending = TakePendingException();
  EXPECT_EQ(pending, nullptr) << "exception left pending";
  RuntimeUnlockObject(pending);
  EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects still alive";
  SetRuntimeErrorPresenter(nullptr);
}

RuntimeClass* MakeSubclass(const char* name, const char* superName, int32_t instanceSize,
                           std::vector<VornClassMember> implementations) {
  if (RuntimeClass* existing = LookupCompiledClass(string(name))) return existing;
  VornClassRecord record{};
  record.version = kVornClassRecordVersion;
  record.name = name;
  record.superName = superName;
  record.instanceSize = instanceSize;
  record.eventImplementations = implementations.data();
  record.eventImplementationCount = static_cast<int32_t>(implementations.size());
  return RuntimeNewClass(&record);
}

}  // namespace vorn::testing
