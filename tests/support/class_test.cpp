#include "support/class_test.h"

#include "startup/class_registration.h"
#include "base/reloc_entry.h"
#include "objects/class_registry.h"
#include "strings/runtime_error.h"

namespace vorn::test {

namespace {
bool CollectReport(const std::string& text) {
  IntrinsicClassTest::Reports().push_back(text);
  return true;
}
}  // namespace

std::vector<std::string>& IntrinsicClassTest::Reports() {
  static std::vector<std::string> reports;
  return reports;
}

void IntrinsicClassTest::SetUp() {
  Reports().clear();
  SetRuntimeErrorPresenter(&CollectReport);
  RegisterIntrinsicClasses();
  mBaseline = LiveObjectCount();
}

void IntrinsicClassTest::TearDown() {
  ReleaseObjects();
  EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects left alive";
  SetRuntimeErrorPresenter(nullptr);
}

void IntrinsicClassTest::ReleaseObjects() {
  for (auto it = mObjects.rbegin(); it != mObjects.rend(); ++it) RuntimeUnlockObject(*it);
  mObjects.clear();
}

RuntimeObject* IntrinsicClassTest::New(ObjectDefinition* definition) {
  return Keep(CreateInstanceFromDefinition(definition));
}

RuntimeObject* IntrinsicClassTest::Keep(RuntimeObject* object) {
  if (object) mObjects.push_back(object);
  return object;
}

std::vector<std::string> IntrinsicClassTest::OwnProperties(ObjectDefinition* definition, size_t from) {
  RuntimeClass* cls = RuntimeClassFromDefinition(definition);
  std::vector<std::string> names;
  for (size_t i = from; i < cls->mAccessors.size(); ++i) names.emplace_back(RepText(cls->mAccessors[i].signature));
  return names;
}

void ExpectEntryPointsBound(const std::vector<BoundEntryPoint>& bound) {
  for (const BoundEntryPoint& b : bound) {
    RelocEntry* entry = LookupRelocEntry(string(b.name));
    if (!entry) {
      ADD_FAILURE() << b.name << " is no entry point";
      continue;
    }
    EXPECT_EQ(entry->code, b.function) << b.name;
  }
}

RuntimeClass* MakeClass(const char* name, const char* super, int32_t instanceSize,
                        const std::vector<VornClassMember>& implementations, VornProcEntry finalizer,
                        VornProcEntry initializer) {
  if (RuntimeClass* existing = LookupClassByName(string(name))) return existing;
  // The class copies the rows: they need not outlive this call.
  VornClassRecord record = {};
  record.version = kVornClassRecordVersion;
  record.name = name;
  record.superName = super;
  record.instanceSize = instanceSize;
  record.finalizer = finalizer;
  record.initializer = initializer;
  record.eventImplementations = implementations.data();
  record.eventImplementationCount = static_cast<int32_t>(implementations.size());
  return RuntimeNewClass(&record);
}

}  // namespace vorn::test
