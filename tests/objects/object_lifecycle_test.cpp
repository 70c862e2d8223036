#include <gtest/gtest.h>

#include "objects/debug_module.h"
#include "objects/runtime_object.h"
#include "objects/support/object_test.h"
#include "objects/support/test_classes.h"

namespace vorn::testing {
namespace {

using ObjectLifecycle = ObjectTest;

RuntimeObject* NewDerived() { return CreateInstanceFromDefinition(GetTestDerivedClassDefinition()); }

TEST_F(ObjectLifecycle, NewObjectHasZeroFieldsCountOneAndRunsInitializersBaseFirst) {
  RuntimeObject* object = NewDerived();
  ASSERT_NE(object, nullptr);
  auto* fields = reinterpret_cast<TestDerivedObject*>(object);
  EXPECT_EQ(object->refCount, 1);
  EXPECT_EQ(object->classPtr, RuntimeClassFromDefinition(GetTestDerivedClassDefinition()));
  EXPECT_EQ(object->eventTable, object->classPtr->mEvents.data()) << "shares the class table";
  EXPECT_EQ(object->methodTable, object->classPtr->mMethodTable.data());
  EXPECT_EQ(fields->base.title, nullptr);
  EXPECT_EQ(fields->base.ratio, 0.0);
  // The derived initializer saw the base initializer's work.
  EXPECT_EQ(fields->base.count, 7);
  EXPECT_EQ(fields->extra, 8);
  EXPECT_EQ(CallLog(), (std::vector<std::string>{"TestBase.init", "TestDerived.init"}));

  RuntimeLockObject(object);
  RuntimeUnlockObject(object);
  EXPECT_EQ(LiveObjectCount(), 1);
  RuntimeUnlockObject(object);
  EXPECT_EQ(CallLog(), (std::vector<std::string>{"TestBase.init", "TestDerived.init", "TestDerived.final",
                                                 "TestBase.final"}));
}

TEST_F(ObjectLifecycle, NilIsAcceptedEverywhereAndANilDefinitionIsReported) {
  RuntimeLockObject(nullptr);
  RuntimeUnlockObject(nullptr);
  RuntimeLockUnlockObjects(nullptr, nullptr);
  EXPECT_EQ(RuntimeObjectGetClass(nullptr), nullptr);
  EXPECT_FALSE(RuntimeObjectIsaDefinition(nullptr, GetTestBaseClassDefinition()));
  EXPECT_EQ(CreateInstanceFromDefinition(nullptr), nullptr);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("defn"), std::string::npos);
  EXPECT_EQ(RuntimeNewObject(nullptr), nullptr);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
}

TEST_F(ObjectLifecycle, LockUnlockObjectsSwapsReferences) {
  RuntimeObject* a = NewDerived();
  RuntimeObject* b = NewDerived();
  RuntimeLockUnlockObjects(a, b);  // b goes away
  EXPECT_EQ(a->refCount, 2);
  EXPECT_EQ(LiveObjectCount(), 1);
  RuntimeLockUnlockObjects(nullptr, a);
  RuntimeUnlockObject(a);
}

// A destructor that releases another object: the second destruction waits until the first
// has finished all of its destructors.
TEST_F(ObjectLifecycle, DestructionStartedInsideAnotherIsQueuedAndRunAfterIt) {
  RuntimeObject* outer = NewDerived();
  RuntimeObject* inner = NewDerived();
  objSetter(outer, offsetof(TestBaseObject, peer), inner);
  RuntimeUnlockObject(inner);  // only outer holds it now
  CallLog().clear();
  RuntimeUnlockObject(outer);
  EXPECT_EQ(CallLog(), (std::vector<std::string>{"TestDerived.final", "TestBase.final", "TestDerived.final",
                                                 "TestBase.final"}));
  EXPECT_EQ(LiveObjectCount(), 0);
}

RuntimeObject* sRevived = nullptr;
void ReviveAndDrop(RuntimeObject* self) {
  // A destructor handing itself around must neither revive nor destroy the object twice.
  RuntimeLockObject(self);
  EXPECT_EQ(self->refCount, 0);
  RuntimeUnlockObject(self);
  sRevived = self;
}

TEST_F(ObjectLifecycle, ALockDuringDestructionDoesNotReviveTheObject) {
  ObjectDefinition def;
  def.mName = string("SelfLocking");
  def.mInstanceSize = VORN_OBJECT_HEADER_SIZE;
  def.mFinalizer = {reinterpret_cast<void*>(&ReviveAndDrop), nullptr};
  RuntimeObject* object = CreateInstanceFromDefinition(&def);
  RuntimeUnlockObject(object);
  EXPECT_EQ(sRevived, object);
  EXPECT_EQ(LiveObjectCount(), 0);
}

std::vector<RuntimeObject*> sDisposed;
void RecordDisposed(RuntimeObject* object) { sDisposed.push_back(object); }

TEST_F(ObjectLifecycle, PrivateEventTableIsACopyFreedWithTheObject) {
  RuntimeObject* a = NewDerived();
  RuntimeObject* b = NewDerived();
  EventEntry* table = MakePrivateEventTable(a);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(MakePrivateEventTable(a), table) << "made once";
  EXPECT_NE(table, b->eventTable);
  EXPECT_EQ(table[0].handler, b->eventTable[0].handler);
  table[1].handler = reinterpret_cast<void*>(&TestDerivedOpen);
  EXPECT_EQ(b->eventTable[1].handler, nullptr) << "other instances keep the class table";

  ObjectCallback previous = SetObjectDisposedHook(&RecordDisposed);
  RuntimeUnlockObject(a);
  RuntimeUnlockObject(b);
  SetObjectDisposedHook(previous);
  EXPECT_EQ(sDisposed, (std::vector<RuntimeObject*>{a, b}));
  sDisposed.clear();
}

TEST_F(ObjectLifecycle, DebugModuleListsLiveObjectsInIndexOrder) {
  RuntimeObject* a = NewDerived();
  RuntimeObject* b = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  RuntimeObject* c = NewDerived();
  RuntimeUnlockObject(a);  // the index stays consistent after a removal in the middle

  RuntimeObject* debug = RuntimeDebugInstance();
  ASSERT_NE(debug, nullptr);
  EXPECT_EQ(RuntimeDebugInstance(), debug);
  EXPECT_EQ(debug->refCount, 2);
  RuntimeUnlockObject(debug);

  int32_t count = RuntimeDebugObjectCount(debug, 0);
  ASSERT_EQ(count, 3) << "b, c and the debug module itself";
  std::vector<std::string> names;
  for (int32_t i = 0; i < count; ++i) {
    string name = string::Adopt(RuntimeDebugObjectClass(debug, i));
    names.emplace_back(name.View());
    EXPECT_EQ(RuntimeDebugObjectRefs(debug, i), 1);
    EXPECT_NE(RuntimeDebugObjectID(debug, i), 0);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"TestBase", "TestDerived", "_RuntimeDebug"}));
  EXPECT_EQ(RuntimeDebugObjectClass(debug, 3), nullptr);
  EXPECT_EQ(TakePendingClassName(), "OutOfBoundsException");
  EXPECT_GE(RuntimeDebugMemoryUsed(debug, 0), 0) << "zero under a sanitizer's allocator";

  RuntimeUnlockObject(debug);
  RuntimeUnlockObject(b);
  RuntimeUnlockObject(c);
}

TEST_F(ObjectLifecycle, ClassTestsFollowTheSuperclassChain) {
  RuntimeObject* base = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  RuntimeObject* derived = NewDerived();
  RuntimeClass* baseClass = RuntimeClassFromDefinition(GetTestBaseClassDefinition());
  RuntimeClass* derivedClass = RuntimeClassFromDefinition(GetTestDerivedClassDefinition());
  EXPECT_TRUE(RuntimeObjectIsa(derived, baseClass));
  EXPECT_TRUE(RuntimeObjectIsa(derived, derivedClass));
  EXPECT_FALSE(RuntimeObjectIsa(base, derivedClass));
  EXPECT_FALSE(RuntimeObjectIsa(nullptr, baseClass));
  EXPECT_TRUE(RuntimeObjectIsaDefinition(derived, GetTestBaseClassDefinition()));
  EXPECT_FALSE(RuntimeObjectIsaDefinition(base, GetTestDerivedClassDefinition()));
  EXPECT_EQ(RuntimeObjectGetClass(derived), derivedClass);
  RuntimeUnlockObject(base);
  RuntimeUnlockObject(derived);
}

}  // namespace
}  // namespace vorn::testing
