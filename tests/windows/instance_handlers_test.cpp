// Per-instance event handlers and the self/me exchange of window code run for a control.
#include <gtest/gtest.h>

#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "windows/rect_control.h"
#include "windows/support/control_fixture.h"

namespace vorn::test {
namespace {

using InstanceHandlersTest = ControlTest;

RuntimeObject* gSeen = nullptr;
int gFirst = 0, gSecond = 0;
void FirstHandler(RuntimeObject* self) {
  gSeen = self;
  ++gFirst;
}
void SecondHandler(RuntimeObject*) { ++gSecond; }

TEST_F(InstanceHandlersTest, PrivateTableIsMadeOnceAndOnlyForThatControl) {
  TestControlObject* a = NewControl("A");
  TestControlObject* b = NewControl("B");
  VornEventEntry* shared = Obj(a)->eventTable;
  ASSERT_EQ(shared, Obj(b)->eventTable);
  RuntimeInstallInstanceEventHandler(Obj(a), string("action").Rep(), reinterpret_cast<void*>(&FirstHandler));
  VornEventEntry* own = Obj(a)->eventTable;
  EXPECT_NE(own, shared);
  RuntimeInstallInstanceEventHandler(Obj(a), string("MouseEnter").Rep(), reinterpret_cast<void*>(&SecondHandler));
  EXPECT_EQ(Obj(a)->eventTable, own);
  EXPECT_EQ(Obj(b)->eventTable, shared);

  gSeen = nullptr;
  gFirst = gSecond = 0;
  FireEvent(Obj(a), TestControlActionHook());
  FireEvent(Obj(b), TestControlActionHook());
  FireEvent(Obj(a), GetRectControlEventHook(kRectEventMouseEnter));
  EXPECT_EQ(gSeen, Obj(a));
  EXPECT_EQ(gFirst, 1);
  EXPECT_EQ(gSecond, 1);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(InstanceHandlersTest, SecondInstallIsReportedAndReplaces) {
  TestControlObject* ctl = NewControl("Twice");
  RuntimeInstallInstanceEventHandler(Obj(ctl), string("Action").Rep(), reinterpret_cast<void*>(&FirstHandler));
  RuntimeInstallInstanceEventHandler(Obj(ctl), string("ACTION").Rep(), reinterpret_cast<void*>(&SecondHandler));
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("Attempting to implement an event that was already implemented. Class TestControl, "
                              "Event ACTION"),
            std::string::npos);
  gFirst = gSecond = 0;
  FireEvent(Obj(ctl), TestControlActionHook());
  EXPECT_EQ(gFirst, 0);
  EXPECT_EQ(gSecond, 1);
  // The class implements Open natively: replacing it is reported the same way.
  RuntimeInstallInstanceEventHandler(Obj(ctl), string("Open").Rep(), reinterpret_cast<void*>(&FirstHandler));
  EXPECT_EQ(Reports().size(), 2u);
}

TEST_F(InstanceHandlersTest, UnknownEventAndNilTargetLeaveTablesAlone) {
  TestControlObject* ctl = NewControl("Quiet");
  RuntimeInstallInstanceEventHandler(Obj(ctl), string("NoSuchEvent").Rep(), reinterpret_cast<void*>(&FirstHandler));
  EXPECT_TRUE(Reports().empty());
  RuntimeInstallInstanceEventHandler(nullptr, string("Action").Rep(), reinterpret_cast<void*>(&FirstHandler));
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("target"), std::string::npos);
}

TEST_F(InstanceHandlersTest, ExchangeMakesMeTheControlAndSelfItsWindow) {
  HostWindowObject* window = NewWindow();
  TestControlObject* ctl = NewControl("Go");
  AddToWindow(window, ctl);
  RuntimeObject* self = Obj(ctl);
  RuntimeObject* me = nullptr;
  RuntimeExchangeSelfAndMe(&self, &me);
  EXPECT_EQ(me, Obj(ctl));
  EXPECT_EQ(self, Obj(window));
  RuntimeUnlockObject(self);  // handed out held

  RuntimeObject* other = Obj(window);
  RuntimeExchangeSelfAndMe(&other, &me);
  EXPECT_EQ(other, Obj(window));
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("Non-control object has a window event implementation"), std::string::npos);
}

TEST_F(InstanceHandlersTest, ExchangeByClassSearchesOnlyTheParents) {
  HostWindowObject* window = NewWindow();
  TestControlObject* group = NewControl("Group");
  TestControlObject* inner = NewControl("Inner");
  AddToWindow(window, group);
  AddToWindow(window, inner);
  SubPane* groupPane = GiveControlPane(group, MakeRect(0, 0, 200, 200));
  GiveControlPane(inner, MakeRect(10, 10, 50, 50), groupPane);
  RuntimeClass* cls = RuntimeClassFromDefinition(GetTestControlDefinition());

  RuntimeObject* self = Obj(inner);
  RuntimeObject* me = nullptr;
  RuntimeExchangeSelfAndMeClass(&self, &me, cls);
  EXPECT_EQ(me, Obj(inner));
  EXPECT_EQ(self, Obj(group));
  RuntimeUnlockObject(self);

  self = Obj(group);  // no parent of that class above the group
  RuntimeExchangeSelfAndMeClass(&self, &me, cls);
  EXPECT_EQ(self, nullptr);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("couldn't find TestControl in container chain"), std::string::npos);

  self = Obj(inner);
  RuntimeExchangeSelfAndMeObj(&self, &me, Obj(window));
  EXPECT_EQ(me, Obj(inner));
  EXPECT_EQ(self, Obj(window));
  RuntimeUnlockObject(self);
}

}  // namespace
}  // namespace vorn::test
