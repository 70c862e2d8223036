#include <gtest/gtest.h>

#include "base/reloc_entry.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/support/object_test.h"
#include "objects/support/test_classes.h"
#include "vorn/class_abi.h"

namespace vorn::testing {
namespace {

// What compiled code provides: an interface "Shape" and a class "Square" derived from the
// intrinsic TestDerived that implements it, declares an event and handles the inherited "Close".
struct SquareObject {
  TestDerivedObject base;
  double side;
};

double SquareArea(RuntimeObject* self) {
  double side = reinterpret_cast<SquareObject*>(self)->side;
  return side * side;
}
int32_t SquareCorners(RuntimeObject*) { return 4; }
int32_t SquareDescribe(RuntimeObject*) { return 3; }
void SquareClose(RuntimeObject*) { CallLog().push_back("Square.Close"); }
int32_t OtherCorners(RuntimeObject*) { return 40; }

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

RuntimeClass* Shape() {
  static RuntimeClass* cls = [] {
    static const VornClassMember methods[] = {
        {"Area%f8%o<Shape>", nullptr, nullptr, 0},
        {"Corners%i4%o<Shape>", nullptr, nullptr, 0},
    };
    VornClassRecord record{};
    record.version = kVornClassRecordVersion;
    record.flags = kVornClassIsInterface;
    record.name = "Shape";
    record.instanceSize = VORN_OBJECT_HEADER_SIZE;
    record.methods = methods;
    record.methodCount = 2;
    return RuntimeNewClass(&record);
  }();
  return cls;
}

RuntimeClass* Square() {
  static RuntimeClass* cls = [] {
    Shape();
    RegisterIntrinsicClass(GetTestBaseClassDefinition());
    RegisterIntrinsicClass(GetTestDerivedClassDefinition());
    static const VornClassProperty properties[] = {
        {"Side%f8%", VORN_DIRECT_FIELD, nullptr, VORN_DIRECT_FIELD, nullptr,
         static_cast<int32_t>(offsetof(SquareObject, side)), 0},
    };
    static const VornClassMember methods[] = {
        {"area%f8%o<Square>", Fn(&SquareArea), "Square.Area", 0},
        {"CORNERS%i4%o<Square>", Fn(&SquareCorners), "Square.Corners", 0},
        {"Describe%i4%o<Square>", Fn(&SquareDescribe), "Square.Describe", 0},
    };
    static const VornClassMember events[] = {{"Resized%%o<Square>f8", nullptr, nullptr, 0}};
    static const VornClassMember implementations[] = {{"#Close%%o<Square>", Fn(&SquareClose), "Square.Close", 0}};
    static const char* const interfaces[] = {"shape"};
    VornClassRecord record{};
    record.version = kVornClassRecordVersion;
    record.name = "Square";
    record.superName = "testderived";
    record.instanceSize = sizeof(SquareObject);
    record.properties = properties;
    record.propertyCount = 1;
    record.methods = methods;
    record.methodCount = 3;
    record.events = events;
    record.eventCount = 1;
    record.eventImplementations = implementations;
    record.eventImplementationCount = 1;
    record.interfaces = interfaces;
    record.interfaceCount = 1;
    return RuntimeNewClass(&record);
  }();
  return cls;
}

using CompiledClasses = ObjectTest;

TEST_F(CompiledClasses, ARecordBecomesAClassDerivedFromAnIntrinsicOne) {
  RuntimeClass* square = Square();
  ASSERT_NE(square, nullptr);
  EXPECT_EQ(RuntimeLookupClass(string("SQUARE").Rep()), square);
  EXPECT_EQ(RuntimeLookupClass(string("TestDerived").Rep()),
            RuntimeClassFromDefinition(GetTestDerivedClassDefinition()));
  EXPECT_EQ(RuntimeLookupClass(nullptr), nullptr);
  EXPECT_EQ(square->EventCount(), 4) << "three inherited events, then Resized";
  EXPECT_EQ(RepText(square->mEvents[3].name), "Resized");
  EXPECT_EQ(square->mEvents[1].handler, Fn(&SquareClose));
  EXPECT_EQ(RepText(square->mAccessors.back().signature), "Side%f8%");
  EXPECT_EQ(square->PropertyCount(), 9);

  RuntimeObject* object = RuntimeNewObject(square);
  EXPECT_EQ(CallLog(), (std::vector<std::string>{"TestBase.init", "TestDerived.init"}));
  // A virtual call through the method table reaches the override.
  auto describe = reinterpret_cast<int32_t (*)(RuntimeObject*)>(object->methodTable[0]);
  EXPECT_EQ(describe(object), 3);
  FireEvent(object, TestCloseHook());
  EXPECT_EQ(CallLog().back(), "Square.Close");
  EXPECT_EQ(reinterpret_cast<void*>(RuntimeFindHookCode(object, TestOpenHook())), Fn(&TestDerivedOpen));
  EXPECT_EQ(RuntimeFindHookCode(object, TestChangedHook()), nullptr);
  EXPECT_EQ(RuntimeFindHookCode(nullptr, TestOpenHook()), nullptr);
  RuntimeUnlockObject(object);
}

TEST_F(CompiledClasses, InterfaceMethodsAreFoundByNameInDeclarationOrder) {
  RuntimeObject* object = RuntimeNewObject(Square());
  reinterpret_cast<SquareObject*>(object)->side = 1.5;
  void** vtable = RuntimeLookupInterfaceVtable(object, Shape());
  ASSERT_NE(vtable, nullptr);
  EXPECT_EQ(reinterpret_cast<double (*)(RuntimeObject*)>(vtable[0])(object), 2.25);
  EXPECT_EQ(vtable[1], Fn(&SquareCorners));

  ObjectDefinition* shape = Shape()->mDefinition;
  EXPECT_EQ(LookupInterfaceMethod(object, shape, string("cOrNeRs")), Fn(&SquareCorners));
  EXPECT_EQ(LookupInterfaceMethod(object, shape, string("Perimeter")), nullptr);
  EXPECT_EQ(LookupInterfaceMethod(nullptr, shape, string("Corners")), nullptr);
  // The plug-in form names the interface.
  EXPECT_EQ(GetInterfaceRoutine(object, "sHaPe", "CORNERS"), Fn(&SquareCorners));
  EXPECT_EQ(GetInterfaceRoutine(object, "Square", "Corners"), nullptr) << "a class, not an interface";
  EXPECT_EQ(GetInterfaceRoutine(object, "NoSuchInterface", "Corners"), nullptr);
  EXPECT_EQ(GetInterfaceRoutine(object, "Shape", nullptr), nullptr);
  EXPECT_TRUE(ObjectIsaDefinition(object, shape));
  EXPECT_TRUE(RuntimeObjectIsa(object, Shape()));

  RuntimeObject* seen = RuntimeCheckCast(object, Shape());
  EXPECT_EQ(seen, object);
  EXPECT_EQ(object->refCount, 2) << "the cast hands out a reference";
  RuntimeUnlockObject(seen);

  RuntimeObject* plain = CreateInstanceFromDefinition(GetTestBaseClassDefinition());
  EXPECT_EQ(RuntimeLookupInterfaceVtable(plain, Shape()), nullptr);
  EXPECT_EQ(LookupInterfaceMethod(plain, shape, string("Corners")), nullptr);
  EXPECT_EQ(RuntimeCheckCast(plain, Shape()), nullptr);
  EXPECT_EQ(TakePendingClassName(), "IllegalCastException");
  EXPECT_EQ(RuntimeCheckCast(nullptr, Shape()), nullptr);

  // An explicit table replaces the one matched by name.
  void* const explicitTable[] = {Fn(&SquareArea), Fn(&OtherCorners)};
  EXPECT_EQ(RuntimeNewVtable(Square(), Shape(), explicitTable, 1), nullptr) << "wrong count";
  ASSERT_NE(RuntimeNewVtable(Square(), Shape(), explicitTable, 2), nullptr);
  EXPECT_EQ(LookupInterfaceMethod(object, shape, string("Corners")), Fn(&OtherCorners));
  void* const restore[] = {Fn(&SquareArea), Fn(&SquareCorners)};
  RuntimeNewVtable(Square(), Shape(), restore, 2);
  EXPECT_EQ(RuntimeNewObject(Shape()), nullptr) << "an interface has no instances";
  EXPECT_EQ(TakePendingClassName(), "IllegalCastException");
  Reports().clear();

  RuntimeUnlockObject(plain);
  RuntimeUnlockObject(object);
}

TEST_F(CompiledClasses, RegistrationAddsEveryMemberEntryPointButNoFieldMarker) {
  Square();
  for (const char* name : {"intGetter", "stringSetter", "TestBaseDescribe", "TestBaseInitializer",
                           "TestDerivedFinalizer", "TestDerivedOpen", "Square.Area", "Square.Close"}) {
    RelocEntry* entry = LookupRelocEntry(string(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_NE(entry->code, DirectFieldMarker()) << name;
  }
  EXPECT_EQ(LookupRelocEntry(string("squareclose")), nullptr);
  EXPECT_EQ(LookupIntrinsicClass(string("TESTBASE")), GetTestBaseClassDefinition());
  RegisterIntrinsicClass(GetTestBaseClassDefinition());  // again: nothing happens
  EXPECT_TRUE(Reports().empty());
}

TEST_F(CompiledClasses, MalformedRecordsAreRefused) {
  Square();
  VornClassRecord record{};
  record.version = kVornClassRecordVersion;
  record.name = "Square";
  EXPECT_EQ(RuntimeNewClass(&record), nullptr) << "name taken";
  record.name = "Orphan";
  record.superName = "NoSuchClass";
  EXPECT_EQ(RuntimeNewClass(&record), nullptr);
  record.superName = nullptr;
  static const VornClassMember badEvent[] = {{"#Missing%%o<Orphan>", nullptr, nullptr, 0}};
  record.eventImplementations = badEvent;
  record.eventImplementationCount = 1;
  EXPECT_EQ(RuntimeNewClass(&record), nullptr) << "implements an event nobody declares";
  record.eventImplementationCount = 0;
  static const VornClassProperty badProperty[] = {{"Side%q%", nullptr, nullptr, nullptr, nullptr, 0, 0}};
  record.properties = badProperty;
  record.propertyCount = 1;
  EXPECT_EQ(RuntimeNewClass(&record), nullptr);
  record.propertyCount = 3;
  record.properties = nullptr;
  EXPECT_EQ(RuntimeNewClass(&record), nullptr);
  EXPECT_EQ(RuntimeNewClass(nullptr), nullptr);
  EXPECT_EQ(Reports().size(), 6u);
  EXPECT_EQ(RuntimeLookupClass(string("Orphan").Rep()), nullptr);
}

void LazyInitialize(RuntimeObject*) {}

// Two intrinsic classes whose builds are counted.
int gBuilds[2] = {0, 0};
ObjectDefinition* BuildLazyClass(int which, const char* name, const char* initializerName) {
  ++gBuilds[which];
  auto* definition = new ObjectDefinition();
  definition->mName = string(name);
  definition->mInstanceSize = VORN_OBJECT_HEADER_SIZE;
  definition->mInitializer = {Fn(&LazyInitialize), initializerName};
  return definition;
}
ObjectDefinition* GetLazyFirstDefinition() {
  static ObjectDefinition* definition = BuildLazyClass(0, "LazyFirst", "LazyFirstInitializer");
  return definition;
}
ObjectDefinition* GetLazySecondDefinition() {
  static ObjectDefinition* definition = BuildLazyClass(1, "LazySecond", "LazySecondInitializer");
  return definition;
}

TEST_F(CompiledClasses, AnIntrinsicClassIsBuiltWhenItsNameOrOneOfItsEntryPointsIsFirstNeeded) {
  RegisterIntrinsicClass("LazyFirst", &GetLazyFirstDefinition);
  RegisterIntrinsicClass("LazySecond", &GetLazySecondDefinition);
  EXPECT_EQ(gBuilds[0] + gBuilds[1], 0);

  EXPECT_EQ(LookupIntrinsicClass(string("LAZYFIRST")), GetLazyFirstDefinition());
  EXPECT_EQ(gBuilds[1], 0);
  // A directory reader sees the rows of classes nobody has looked up yet.
  RelocEntry* entry = LookupRelocEntry(string("lazysecondinitializer"));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->code, Fn(&LazyInitialize));
  EXPECT_EQ(gBuilds[0], 1);
  EXPECT_EQ(gBuilds[1], 1);

  RegisterIntrinsicClass("LazyFirst", &GetLazyFirstDefinition);  // again: nothing happens
  EXPECT_TRUE(Reports().empty());
  RegisterIntrinsicClass("Misnamed", &GetLazyFirstDefinition);
  EXPECT_EQ(LookupIntrinsicClass(string("Misnamed")), GetLazyFirstDefinition());
  ASSERT_EQ(Reports().size(), 1u);
  Reports().clear();
}

}  // namespace
}  // namespace vorn::testing
