// A small class hierarchy built the way intrinsic classes are: TestBase with fields of every
// accessor type, two events and two methods; TestDerived overriding one method, adding one,
// adding an event and implementing the inherited "Open" event natively.
#pragma once

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn::testing {

struct TestBaseObject {
  RuntimeObject header;
  int32_t count;
  double ratio;
  StringRep* title;
  RuntimeObject* peer;
  uint8_t flag;
  int16_t small;
  float single;
};

struct TestDerivedObject {
  TestBaseObject base;
  int32_t extra;
};

ObjectDefinition* GetTestBaseClassDefinition();
ObjectDefinition* GetTestDerivedClassDefinition();
// The "Open" and "Close" hooks of TestBase and "Changed" of TestDerived.
ObjectHook* TestOpenHook();
ObjectHook* TestCloseHook();
ObjectHook* TestChangedHook();

// Methods: return a tag telling which implementation ran.
int32_t TestBaseDescribe(RuntimeObject* self);
int32_t TestDerivedDescribe(RuntimeObject* self);
int32_t TestBaseCompute(RuntimeObject* self, int32_t a, int32_t b);
int32_t TestDerivedExtra(RuntimeObject* self);
void TestDerivedOpen(RuntimeObject* self);

}  // namespace vorn::testing
