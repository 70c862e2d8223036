// The inert OLEContainer class without a display: its members in the order compiled code
// relies on, the entry points bound by name, and answers without a pane.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "controls/ole_container_class.h"
#include "core/ole_object_class.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "support/class_test.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

class OLEContainerClassTest : public test::IntrinsicClassTest {};

TEST_F(OLEContainerClassTest, MembersAndEntryPoints) {
  EXPECT_EQ(OwnProperties(GetOLEContainerClassDefinition()),
            (std::vector<std::string>{"ProgramID%s%", "Content%o<OLEObject>%", "LicenseKey%s%", "DesignMode%b%"}));
  EXPECT_NE(LookupIntrinsicClass(string("OLEContainer")), nullptr);
  EXPECT_NE(LookupIntrinsicClass(string("OLEObject")), nullptr) << "Content's type is a known class";
  test::ExpectEntryPointsBound({
      {"OLEContainerCreatePane", Fn(&OLEContainerCreatePane)},
      {"OLEContainerDestructor", Fn(&OLEContainerDestructor)},
      {"OLEContainerCreateObject", Fn(&OLEContainerCreateObject)},
      {"OLEContainerDestroyObject", Fn(&OLEContainerDestroyObject)},
      {"OLEContainerShowPropertyPages", Fn(&OLEContainerShowPropertyPages)},
      {"OLEContainerContentGetter", Fn(&OLEContainerContentGetter)},
  });
  RuntimeClass* cls = RuntimeClassFromDefinition(GetOLEContainerClassDefinition());
  ASSERT_NE(cls, nullptr);
  std::vector<std::string> events;
  for (int32_t i = cls->EventCount() - 4; i < cls->EventCount(); ++i) events.emplace_back(RepText(cls->mEvents[i].name));
  EXPECT_EQ(events, (std::vector<std::string>{"ShowObject", "EventTriggered", "GotFocus", "LostFocus"}));
  EXPECT_TRUE(Reports().empty());
}

TEST_F(OLEContainerClassTest, WithoutAPaneNothingIsCreatedAndTheStringsAreReleased) {
  RuntimeObject* ctl = New(GetOLEContainerClassDefinition());
  const int32_t programID = static_cast<int32_t>(offsetof(VornOLEContainerObject, programID));
  string id("Excel.Application");
  stringSetter(ctl, programID, id.Rep());
  EXPECT_EQ(OLEContainerCreateObject(ctl), 0);
  EXPECT_EQ(OLEContainerContentGetter(ctl, 0), nullptr);
  OLEContainerDestroyObject(ctl);
  OLEContainerShowPropertyPages(ctl);
  EXPECT_EQ(OLEContainerCreateObject(nullptr), 0);
  EXPECT_EQ(id.Rep()->refCount, 2) << "the control holds the program ID";
  ReleaseObjects();
  EXPECT_EQ(id.Rep()->refCount, 1) << "the destructor gives it back";
  // An OLEObject is an ordinary, inert object.
  RuntimeObject* inert = CreateInstanceFromDefinition(GetOLEObjectClassDefinition());
  ASSERT_NE(inert, nullptr);
  RuntimeUnlockObject(inert);
}

}  // namespace
}  // namespace vorn
