#include "objects/support/test_classes.h"

#include <cstddef>

#include "objects/support/object_test.h"

namespace vorn::testing {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

void BaseInit(RuntimeObject* self) {
  CallLog().push_back("TestBase.init");
  reinterpret_cast<TestBaseObject*>(self)->count = 7;
}

void BaseFinal(RuntimeObject* self) {
  CallLog().push_back("TestBase.final");
  auto* fields = reinterpret_cast<TestBaseObject*>(self);
  RuntimeUnlockString(fields->title);
  RuntimeObject* peer = fields->peer;
  fields->peer = nullptr;
  RuntimeUnlockObject(peer);
}

void DerivedInit(RuntimeObject* self) {
  CallLog().push_back("TestDerived.init");
  reinterpret_cast<TestDerivedObject*>(self)->extra = reinterpret_cast<TestBaseObject*>(self)->count + 1;
}

void DerivedFinal(RuntimeObject*) { CallLog().push_back("TestDerived.final"); }

constexpr int32_t kOffset(size_t offset) { return static_cast<int32_t>(offset); }

EventRow sBaseEvents[] = {
    {0, "Open", "", "", nullptr, 0},
    {0, "Close", "", "", nullptr, 0},
};
EventRow sDerivedEvents[] = {{0, "Changed", "value As Integer", "Boolean", nullptr, 0}};

}  // namespace

int32_t TestBaseDescribe(RuntimeObject*) { return 1; }
int32_t TestDerivedDescribe(RuntimeObject*) { return 2; }
int32_t TestBaseCompute(RuntimeObject*, int32_t a, int32_t b) { return a * 10 + b; }
int32_t TestDerivedExtra(RuntimeObject* self) { return reinterpret_cast<TestDerivedObject*>(self)->extra; }
void TestDerivedOpen(RuntimeObject*) { CallLog().push_back("TestDerived.Open"); }

ObjectDefinition* GetTestBaseClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const PropertyRow properties[] = {
        {0x84, "Count", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter",
         kOffset(offsetof(TestBaseObject, count)), 0},
        {0, "Ratio", "f8", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr,
         kOffset(offsetof(TestBaseObject, ratio)), 0},
        {0, "Title", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
         kOffset(offsetof(TestBaseObject, title)), 0},
        {0, "Peer", "o<TestBase>", Fn(&objGetter), "objGetter", Fn(&objSetter), "objSetter",
         kOffset(offsetof(TestBaseObject, peer)), 0},
        {0, "Flag", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
         kOffset(offsetof(TestBaseObject, flag)), 0},
        {0, "Small", "i2", Fn(&shortGetter), "shortGetter", Fn(&shortSetter), "shortSetter",
         kOffset(offsetof(TestBaseObject, small)), 0},
        {0, "Single", "f4", Fn(&singleGetter), "singleGetter", nullptr, nullptr,
         kOffset(offsetof(TestBaseObject, single)), 0},
    };
    static const ParamRow computeParams[] = {{"a", "i4", 0, 0}, {"b", "i4", kParamHasDefault, 1}};
    static const MethodRow methods[] = {
        {"Describe", "i4", nullptr, 0, Fn(&TestBaseDescribe), "TestBaseDescribe", nullptr, nullptr, 0, 0},
        {"Compute", "i4", computeParams, 2, Fn(&TestBaseCompute), "TestBaseCompute", nullptr, nullptr, 0, 0},
    };
    definition.mName = string("TestBase");
    definition.mInstanceSize = sizeof(TestBaseObject);
    definition.mInitializer = {Fn(&BaseInit), "TestBaseInitializer"};
    definition.mFinalizer = {Fn(&BaseFinal), "TestBaseFinalizer"};
    definition.SetInstanceVariables(BuildPropertyList(properties, 7));
    SetEventList(&definition, sBaseEvents, 2);
    SetMethodList(&definition, methods, 2);
  }
  return &definition;
}

ObjectDefinition* GetTestDerivedClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const PropertyRow properties[] = {
        {0, "Extra", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter",
         kOffset(offsetof(TestDerivedObject, extra)), 0},
    };
    static const MethodRow methods[] = {
        {"describe", "i4", nullptr, 0, Fn(&TestDerivedDescribe), "TestDerivedDescribe", nullptr, nullptr, 0, 0},
        {"Extra", "i4", nullptr, 0, Fn(&TestDerivedExtra), "TestDerivedExtra", nullptr, nullptr, 0, 0},
    };
    static const EventImplRow implementations[] = {{"open", Fn(&TestDerivedOpen), "TestDerivedOpen"}};
    definition.mName = string("TestDerived");
    definition.mSuper = GetTestBaseClassDefinition();
    definition.mInstanceSize = sizeof(TestDerivedObject);
    definition.mInitializer = {Fn(&DerivedInit), "TestDerivedInitializer"};
    definition.mFinalizer = {Fn(&DerivedFinal), "TestDerivedFinalizer"};
    definition.SetInstanceVariables(BuildPropertyList(properties, 1));
    SetEventList(&definition, sDerivedEvents, 1);
    SetMethodList(&definition, methods, 2);
    AddEventImplementations(&definition, implementations, 1);
  }
  return &definition;
}

ObjectHook* TestOpenHook() { return GetTestBaseClassDefinition(), sBaseEvents[0].hook; }
ObjectHook* TestCloseHook() { return GetTestBaseClassDefinition(), sBaseEvents[1].hook; }
ObjectHook* TestChangedHook() { return GetTestDerivedClassDefinition(), sDerivedEvents[0].hook; }

}  // namespace vorn::testing
