#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <string>
#include <vector>

#include "startup/class_registration.h"
#include "base/reloc_entry.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "vorn/window_api.h"
#include "windows/control.h"
#include "windows/screen_class.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

int32_t FieldOffset(size_t offset) { return static_cast<int32_t>(offset); }

TEST(ScreenClass, NineReadOnlyIntegersInDeclarationOrder) {
  ObjectDefinition* definition = GetScreenClassDefinition();
  ASSERT_EQ(definition, GetScreenClassDefinition());
  EXPECT_EQ(std::string(definition->mName.View()), "Screen");
  EXPECT_EQ(definition->mSuper, nullptr);
  EXPECT_EQ(definition->mInstanceSize, static_cast<int32_t>(sizeof(ScreenObject)));
  EXPECT_EQ(FieldOffset(offsetof(ScreenObject, left)), VORN_OBJECT_HEADER_SIZE);

  struct Expected {
    const char* signature;
    void* getter;
    int32_t offset;
  };
  const std::vector<Expected> expected = {
      {"Left%i4%", Fn(&screenLeftGetter), FieldOffset(offsetof(ScreenObject, left))},
      {"Top%i4%", Fn(&screenTopGetter), FieldOffset(offsetof(ScreenObject, top))},
      {"Width%i4%", Fn(&screenWidthGetter), FieldOffset(offsetof(ScreenObject, width))},
      {"Height%i4%", Fn(&screenHeightGetter), FieldOffset(offsetof(ScreenObject, height))},
      {"Depth%i4%", Fn(&screenDepthGetter), FieldOffset(offsetof(ScreenObject, depth))},
      {"AvailableLeft%i4%", Fn(&intGetter), FieldOffset(offsetof(ScreenObject, availableLeft))},
      {"AvailableTop%i4%", Fn(&intGetter), FieldOffset(offsetof(ScreenObject, availableTop))},
      {"AvailableWidth%i4%", Fn(&intGetter), FieldOffset(offsetof(ScreenObject, availableWidth))},
      {"AvailableHeight%i4%", Fn(&intGetter), FieldOffset(offsetof(ScreenObject, availableHeight))},
  };
  RuntimeClass* cls = RuntimeClassFromDefinition(definition);
  ASSERT_NE(cls, nullptr);
  ASSERT_EQ(cls->mAccessors.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const PropertyEntry& entry = cls->mAccessors[i];
    EXPECT_EQ(RepText(entry.signature), expected[i].signature) << i;
    EXPECT_EQ(entry.getter, expected[i].getter) << expected[i].signature;
    EXPECT_EQ(entry.setter, nullptr) << expected[i].signature << " must be read-only";
    EXPECT_EQ(entry.param, expected[i].offset) << expected[i].signature;
  }
}

// Each accessor, called with its row's parameter word, reads its own field and no other.
TEST(ScreenClass, EveryRowReadsItsOwnField) {
  const int32_t baseline = LiveObjectCount();
  RuntimeObject* object = CreateInstanceFromDefinition(GetScreenClassDefinition());
  ASSERT_NE(object, nullptr);
  auto* screen = reinterpret_cast<ScreenObject*>(object);
  int32_t* fields[] = {&screen->left,          &screen->top,          &screen->width,
                       &screen->height,        &screen->depth,        &screen->availableLeft,
                       &screen->availableTop,  &screen->availableWidth, &screen->availableHeight};
  for (size_t i = 0; i < std::size(fields); ++i) *fields[i] = 100 + static_cast<int32_t>(i);

  RuntimeClass* cls = RuntimeClassFromDefinition(GetScreenClassDefinition());
  ASSERT_EQ(cls->mAccessors.size(), std::size(fields));
  for (size_t i = 0; i < std::size(fields); ++i) {
    const PropertyEntry& entry = cls->mAccessors[i];
    auto getter = reinterpret_cast<int32_t (*)(VornRuntimeObject*, int32_t)>(entry.getter);
    EXPECT_EQ(getter(object, entry.param), 100 + static_cast<int32_t>(i)) << RepText(entry.signature);
  }
  RuntimeUnlockObject(object);
  EXPECT_EQ(LiveObjectCount(), baseline);
}

TEST(ScreenClass, GettersOnNilOrAnotherClassAnswerZero) {
  EXPECT_EQ(screenLeftGetter(nullptr, 0), 0);
  EXPECT_EQ(screenDepthGetter(nullptr, 0), 0);
  // A class with no fields past the header: reading a Screen field there would run off it.
  ObjectDefinition* other = GetObjectClassDefinition();
  RuntimeObject* object = CreateInstanceFromDefinition(other);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(screenWidthGetter(object, 0), 0);
  EXPECT_EQ(screenHeightGetter(object, 0), 0);
  RuntimeUnlockObject(object);
}

TEST(ScreenClass, OnlyScreenZeroExists) {
  const int32_t baseline = LiveObjectCount();
  EXPECT_EQ(getScreenCount(), 1);
  EXPECT_EQ(getScreen(1), nullptr);
  EXPECT_EQ(getScreen(-1), nullptr);
  EXPECT_EQ(getScreen(INT32_MIN), nullptr);
  EXPECT_EQ(LiveObjectCount(), baseline);
}

TEST(ScreenClass, RegistrationBindsTheClassAndItsEntryPoints) {
  RuntimeInitExternalClasses();
  EXPECT_EQ(LookupIntrinsicClass(string("screen")), GetScreenClassDefinition());
  for (const auto& [name, function] : std::vector<std::pair<const char*, void*>>{
           {"getScreen", Fn(&getScreen)},
           {"getScreenCount", Fn(&getScreenCount)},
           {"screenLeftGetter", Fn(&screenLeftGetter)},
           {"screenDepthGetter", Fn(&screenDepthGetter)}}) {
    RelocEntry* entry = LookupRelocEntry(string(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry->code, function) << name;
  }
}

}  // namespace
}  // namespace vorn
