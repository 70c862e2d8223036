// Controls that enclose controls: state propagation, parents, positions in embedded windows,
// moving containers and closing with control-array renumbering. Panes without widgets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "windows/control_containment.h"
#include "windows/rect_control.h"
#include "windows/support/control_fixture.h"

namespace vorn::test {
namespace {

using ControlContainmentTest = ControlTest;

std::vector<std::string> gClosed;
void RecordClose(RuntimeObject* self) {
  gClosed.emplace_back(string::Share(reinterpret_cast<VornControlObject*>(self)->name).View());
}

TEST_F(ControlContainmentTest, EnclosedControlsKeepTheirOwnEnabledAndVisibleWishes) {
  HostWindowObject* window = NewWindow();
  TestControlObject* group = NewControl("Group");
  TestControlObject* on = NewControl("On");
  TestControlObject* off = NewControl("Off");
  for (auto* c : {group, on, off}) AddToWindow(window, c);
  SubPane* groupPane = GiveControlPane(group, MakeRect(0, 0, 300, 300));
  SubPane* onPane = GiveControlPane(on, MakeRect(10, 10, 50, 30), groupPane);
  SubPane* offPane = GiveControlPane(off, MakeRect(10, 40, 50, 60), groupPane);

  controlEnabledSetter(Obj(off), 0, 0);
  EXPECT_FALSE(offPane->IsEnabled());
  controlEnabledSetter(Obj(group), 0, 0);
  EXPECT_FALSE(onPane->IsEnabled());
  controlEnabledSetter(Obj(group), 0, 1);
  EXPECT_TRUE(onPane->IsEnabled());
  EXPECT_FALSE(offPane->IsEnabled());

  ControlVisibleSetter(Obj(off), 0, 0);
  ControlVisibleSetter(Obj(group), 0, 0);
  EXPECT_FALSE(onPane->IsVisible());
  ControlVisibleSetter(Obj(group), 0, 1);
  EXPECT_TRUE(onPane->IsVisible());
  EXPECT_FALSE(offPane->IsVisible());
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ControlContainmentTest, TabPanelNumberGoesToEnclosedControls) {
  HostWindowObject* window = NewWindow();
  TestControlObject* group = NewControl("Group");
  TestControlObject* inner = NewControl("Inner");
  TestControlObject* outside = NewControl("Outside");
  for (auto* c : {group, inner, outside}) AddToWindow(window, c);
  SubPane* groupPane = GiveControlPane(group, MakeRect(0, 0, 100, 100));
  GiveControlPane(inner, MakeRect(10, 10, 20, 20), groupPane);
  GiveControlPane(outside, MakeRect(200, 200, 220, 220));
  ControlTabPanelIndexSetter(Obj(group), 0, 3);
  EXPECT_EQ(inner->base.tabPanelIndex, 3);
  EXPECT_EQ(outside->base.tabPanelIndex, 0);
  EXPECT_EQ(groupPane->TabPanelIndex(), 3);
}

TEST_F(ControlContainmentTest, ParentIsTheDirectlyEnclosingControlAndCannotLoop) {
  HostWindowObject* window = NewWindow();
  TestControlObject* outer = NewControl("Outer");
  TestControlObject* middle = NewControl("Middle");
  TestControlObject* inner = NewControl("Inner");
  for (auto* c : {outer, middle, inner}) AddToWindow(window, c);
  SubPane* outerPane = GiveControlPane(outer, MakeRect(0, 0, 300, 300));
  SubPane* middlePane = GiveControlPane(middle, MakeRect(10, 10, 200, 200), outerPane);
  GiveControlPane(inner, MakeRect(20, 20, 50, 50), middlePane);

  RuntimeObject* parent = ControlParentGetter(Obj(inner), 0);
  EXPECT_EQ(parent, Obj(middle));
  RuntimeUnlockObject(parent);
  EXPECT_EQ(ControlParentGetter(Obj(outer), 0), nullptr);

  ControlParentSetter(Obj(outer), 0, Obj(inner));  // would put the tree inside itself
  EXPECT_EQ(TakePendingClassName(), "InvalidParentException");
  EXPECT_EQ(outerPane->GetParent(), root);
}

TEST_F(ControlContainmentTest, InitialParentIsFoundByNameWithoutCase) {
  HostWindowObject* window = NewWindow();
  TestControlObject* group = NewControl("GroupBox1");
  TestControlObject* ctl = NewControl("Field");
  AddToWindow(window, group);
  AddToWindow(window, ctl);
  ControlInitialParentSetter(Obj(ctl), 0, string("groupbox1").Rep());
  EXPECT_EQ(ctl->base.initialParent, Obj(group));
  ControlInitialParentSetter(Obj(ctl), 0, string("nothing").Rep());
  EXPECT_EQ(ctl->base.initialParent, Obj(group));
}

TEST_F(ControlContainmentTest, PositionsInAnEmbeddedWindowAreItsOwn) {
  HostWindowObject* outer = NewWindow();
  HostWindowObject* embedded = NewWindow(Obj(outer), 20, 30);
  TestControlObject* ctl = NewControl("Knob");
  AddToWindow(embedded, ctl);
  SetControlBounds(Ctl(ctl), MakeRect(120, 80, 170, 100));
  EXPECT_EQ(ctlPosGetter(Obj(ctl), 0), 100);
  EXPECT_EQ(ctlPosGetter(Obj(ctl), 1), 50);
  EXPECT_EQ(ctlPosGetter(Obj(ctl), 2), 50);
  ctlPosSetter(Obj(ctl), 0, 5);
  EXPECT_EQ(GetControlBounds(Ctl(ctl)).left, 25);
  EXPECT_EQ(GetControlBounds(Ctl(ctl)).right, 75);
  RuntimeControlMove(Obj(ctl), 1, 2, 10, 12);
  Rect r = GetControlBounds(Ctl(ctl));
  EXPECT_EQ(r.left, 21);
  EXPECT_EQ(r.top, 32);
  EXPECT_EQ(r.Width(), 10);
  EXPECT_EQ(r.Height(), 12);
}

TEST_F(ControlContainmentTest, MovingAContainerShiftsEnclosedBoundsButResizingDoesNot) {
  HostWindowObject* window = NewWindow();
  TestControlObject* group = NewControl("Group");
  TestControlObject* inner = NewControl("Inner");
  AddToWindow(window, group);
  AddToWindow(window, inner);
  SubPane* groupPane = GiveControlPane(group, MakeRect(0, 0, 100, 100));
  SubPane* innerPane = GiveControlPane(inner, MakeRect(10, 10, 30, 30), groupPane);
  ctlPosSetter(Obj(group), 0, 10);
  EXPECT_EQ(GetControlBounds(Ctl(inner)).left, 20);
  EXPECT_EQ(innerPane->Bounds().left, 20);  // the pane followed its container
  ctlPosSetter(Obj(group), 2, 300);
  EXPECT_EQ(GetControlBounds(Ctl(group)).right, 310);
  EXPECT_EQ(GetControlBounds(Ctl(inner)).left, 20);
  // Extreme values clamp to the 16-bit bounds instead of overflowing.
  ctlPosSetter(Obj(group), 0, INT32_MAX);
  ctlPosSetter(Obj(group), 3, INT32_MIN);
  EXPECT_LE(GetControlBounds(Ctl(group)).left, INT16_MAX);
}

// Whatever compiled code sets, a control's right edge never comes out left of its left edge nor
// its bottom above its top. The control sits at (20, 30) to (60, 50) in a window embedded at (5, 7).
TEST_F(ControlContainmentTest, PositionsAtTheEndsOfTheIntegerRangeKeepTheEdgesInOrder) {
  HostWindowObject* outer = NewWindow();
  HostWindowObject* embedded = NewWindow(Obj(outer), 5, 7);
  TestControlObject* ctl = NewControl("Knob");
  AddToWindow(embedded, ctl);
  const struct {
    int16_t side;  // Left, Top, Width, Height; 4: Move(value, value, 2147483647, 2147483647)
    int32_t value;
    Rect expected;
  } cases[] = {
      {2, INT32_MAX, MakeRect(20, 30, 32767, 50)},    {2, INT32_MAX - 10, MakeRect(20, 30, 32767, 50)},
      {3, INT32_MAX, MakeRect(20, 30, 60, 32767)},    {0, INT32_MAX, MakeRect(32767, 30, 32767, 50)},
      {1, INT32_MAX, MakeRect(20, 32767, 60, 32767)}, {0, INT32_MIN, MakeRect(-32768, 30, -32768, 50)},
      {4, INT32_MAX, MakeRect(32767, 32767, 32767, 32767)}, {4, 0, MakeRect(5, 7, 32767, 32767)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    SetControlBounds(Ctl(ctl), MakeRect(20, 30, 60, 50));
    if (c.side == 4) RuntimeControlMove(Obj(ctl), c.value, c.value, INT32_MAX, INT32_MAX);
    else ctlPosSetter(Obj(ctl), c.side, c.value);
    const Rect r = GetControlBounds(Ctl(ctl));
    EXPECT_TRUE(EqualRect(r, c.expected)) << r.left << "," << r.top << " to " << r.right << "," << r.bottom;
  }
}

TEST_F(ControlContainmentTest, EmbeddedWindowControlEnclosesItsTemplatesControls) {
  HostWindowObject* outer = NewWindow();
  RuntimeObject* embedObject = CreateInstanceFromDefinition(GetEmbedControlDefinition());
  auto* embed = reinterpret_cast<TestControlObject*>(embedObject);
  embed->base.name = string("Embed").GetRetainedRep();
  embed->base.visible = embed->base.enabled = 1;
  HostWindowObject* templ = NewWindow(Obj(outer), 0, 0);
  RuntimeLockObject(Obj(templ));
  embed->templateWindow = Obj(templ);
  AddToWindow(outer, embed);
  RuntimeUnlockObject(embedObject);  // the outer window's map holds it now
  TestControlObject* member = NewControl("Member");
  AddToWindow(templ, member);
  SubPane* memberPane = GiveControlPane(member, MakeRect(5, 5, 25, 25));
  GiveControlPane(embed, MakeRect(0, 0, 200, 200));

  controlEnabledSetter(embedObject, 0, 0);
  EXPECT_FALSE(memberPane->IsEnabled());
  ctlPosSetter(embedObject, 0, 40);
  EXPECT_EQ(GetControlBounds(Ctl(member)).left, 45);
  EXPECT_EQ(templ->bounds.left, 40);

  gClosed.clear();
  RuntimeInstallInstanceEventHandler(Obj(member), string("Close").Rep(), reinterpret_cast<void*>(&RecordClose));
  RuntimeInstallInstanceEventHandler(embedObject, string("Close").Rep(), reinterpret_cast<void*>(&RecordClose));
  ControlClose(embedObject);
  EXPECT_EQ(gClosed, (std::vector<std::string>{"Member", "Embed"}));
  EXPECT_EQ(outer->controls->Count(), 0);
  EXPECT_EQ(templ->controls->Count(), 0);
}

TEST_F(ControlContainmentTest, ClosingAnArrayMemberRenumbersTheLaterOnes) {
  HostWindowObject* window = NewWindow();
  TestControlObject* cb[3];
  for (int i = 0; i < 3; ++i) {
    cb[i] = NewControl("Cb", i);
    AddToWindow(window, cb[i]);
    GiveControlPane(cb[i], MakeRect(10, 10 + 30 * i, 100, 30 + 30 * i));
  }
  RuntimeObject* held = Obj(cb[1]);
  RuntimeLockObject(held);
  int32_t before = held->refCount;
  ControlClose(held);
  EXPECT_EQ(held->refCount, before - 1);  // the window's reference went
  EXPECT_EQ(cb[1]->base.window, nullptr);
  EXPECT_EQ(cb[1]->base.pane, nullptr);
  RuntimeObject* value = nullptr;
  EXPECT_TRUE(window->controls->GetEntry(string("Cb$0"), &value));
  EXPECT_EQ(value, Obj(cb[0]));
  EXPECT_TRUE(window->controls->GetEntry(string("Cb$1"), &value));
  EXPECT_EQ(value, Obj(cb[2]));
  EXPECT_FALSE(window->controls->GetEntry(string("Cb$2")));
  EXPECT_EQ(cb[2]->base.index, 1);
  ControlClose(held);  // closing twice: reported, nothing released twice
  EXPECT_EQ(held->refCount, before - 1);
  EXPECT_EQ(Reports().size(), 1u);
  RuntimeUnlockObject(held);
}

TEST_F(ControlContainmentTest, ClosingAContainerClosesWhatItEnclosesInnermostFirst) {
  HostWindowObject* window = NewWindow();
  TestControlObject* outer = NewControl("Outer");
  TestControlObject* middle = NewControl("Middle");
  TestControlObject* inner = NewControl("Inner");
  TestControlObject* beside = NewControl("Beside");
  for (auto* c : {outer, middle, inner, beside}) AddToWindow(window, c);
  SubPane* outerPane = GiveControlPane(outer, MakeRect(0, 0, 300, 300));
  SubPane* middlePane = GiveControlPane(middle, MakeRect(10, 10, 200, 200), outerPane);
  GiveControlPane(inner, MakeRect(20, 20, 50, 50), middlePane);
  GiveControlPane(beside, MakeRect(400, 400, 450, 450));
  gClosed.clear();
  for (auto* c : {outer, middle, inner, beside}) {
    RuntimeInstallInstanceEventHandler(Obj(c), string("Close").Rep(), reinterpret_cast<void*>(&RecordClose));
  }
  ControlClose(Obj(outer));
  EXPECT_EQ(gClosed, (std::vector<std::string>{"Inner", "Middle", "Outer"}));
  EXPECT_EQ(window->controls->Count(), 1);
  EXPECT_NE(beside->base.pane, nullptr);
}

TEST_F(ControlContainmentTest, FinalizerLeavesTheMapAndClearsReferencesToIt) {
  HostWindowObject* window = NewWindow();
  RuntimeObject* doomed = CreateInstanceFromDefinition(GetTestControlDefinition());
  reinterpret_cast<TestControlObject*>(doomed)->base.name = string("Doomed").GetRetainedRep();
  TestControlObject* watcher = NewControl("Watcher");
  AddToWindow(window, watcher);
  // Filed without a reference of the map's own, so that releasing the creator's ends it.
  reinterpret_cast<TestControlObject*>(doomed)->base.window = Obj(window);
  window->controls->SetEntry(string("Doomed"), doomed);
  watcher->base.reference = doomed;
  RuntimeUnlockObject(doomed);
  EXPECT_FALSE(window->controls->GetEntry(string("Doomed")));
  EXPECT_EQ(watcher->base.reference, nullptr);
}

}  // namespace
}  // namespace vorn::test
