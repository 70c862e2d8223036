// The pane tree and the pane lifecycle, on panes without widgets (no display needed).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "strings/runtime_error.h"
#include "windows/container_pane.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

std::vector<std::string> gReports;

bool RecordReport(const std::string& text) {
  gReports.push_back(text);
  return true;
}

class Recorder : public ContainerPane {
 public:
  Recorder(SubPane* parent, const Rect& r, int32_t tab = 0) : ContainerPane(parent, tab, r) {}
  bool BecomeCurrent() override {
    ++becomeCurrent;
    return true;
  }
  bool ResignCurrent() override {
    ++resignCurrent;
    return true;
  }
  void MouseEnter() override { log.push_back("enter"); }
  void MouseExit() override { log.push_back("exit"); }
  void MouseMove(int32_t x, int32_t y) override {
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    SubPane::MouseMove(x, y);
  }
  int becomeCurrent = 0;
  int resignCurrent = 0;
  std::vector<std::string> log;
};

class PaneTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gReports.clear();
    previous = SetRuntimeErrorPresenter(RecordReport);
  }
  void TearDown() override { SetRuntimeErrorPresenter(previous); }
  RuntimeErrorPresenter previous = nullptr;
};

TEST_F(PaneTreeTest, ChildrenJoinTheirParentAndDieWithIt) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* group = new Recorder(root, MakeRect(10, 10, 200, 200));
  auto* inner = new Recorder(group, MakeRect(20, 20, 60, 40));
  EXPECT_EQ(inner->GetParent(), group);
  EXPECT_EQ(group->GetParent(), root);
  EXPECT_TRUE(root->ContainsSubPane(inner, true));
  EXPECT_FALSE(root->ContainsSubPane(inner, false));
  EXPECT_EQ(inner->GetWindow(), nullptr);  // no window at the top of this tree

  PaneGuard g(group), i(inner);
  root->Close();
  EXPECT_EQ(g.Get(), nullptr);
  EXPECT_EQ(i.Get(), nullptr);
}

TEST_F(PaneTreeTest, CloseDuringAnEventWaitsForTheLastUnlock) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* child = new Recorder(root, MakeRect(10, 10, 50, 50));
  PaneGuard guard(child), rootGuard(root);
  ASSERT_TRUE(child->LockHierarchy());
  EXPECT_EQ(root->LockCount(), 0) << "nothing is freed during an event: the parents need no hold";
  child->Close();
  ASSERT_NE(guard.Get(), nullptr);
  EXPECT_TRUE(child->IsClosing());
  EXPECT_FALSE(child->LockHierarchy());  // a closing pane takes no new event
  child->Close();                        // closing twice changes nothing
  ASSERT_NE(guard.Get(), nullptr);
  EXPECT_TRUE(child->UnlockHierarchy());
  EXPECT_EQ(guard.Get(), nullptr);
  ASSERT_NE(rootGuard.Get(), nullptr);
  EXPECT_TRUE(root->Children().empty());
  root->Close();
}

TEST_F(PaneTreeTest, DisablingAContainerDisablesItsChildren) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* group = new Recorder(root, MakeRect(10, 10, 200, 200));
  auto* a = new Recorder(group, MakeRect(20, 20, 60, 40));
  auto* b = new Recorder(group, MakeRect(20, 50, 60, 70));
  group->ChangeState(kPaneStateDisable);
  EXPECT_FALSE(group->IsEnabled());
  EXPECT_FALSE(a->IsEnabled());
  EXPECT_FALSE(b->IsEnabled());
  a->SetEnabled(true, true);  // inside a disabled parent: nothing
  EXPECT_FALSE(a->IsEnabled());
  group->ChangeState(kPaneStateEnable);
  EXPECT_TRUE(a->IsEnabled());
  EXPECT_TRUE(b->IsEnabled());
  root->Close();
}

TEST_F(PaneTreeTest, HidingOnAPageThatIsNotShownOnlyRecordsTheWish) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* onPage = new Recorder(root, MakeRect(10, 10, 50, 50), 2);
  onPage->SetShownByContainer(false);
  EXPECT_FALSE(onPage->IsDisplayed());
  onPage->SetVisible(false);
  EXPECT_FALSE(onPage->IsVisible());
  EXPECT_FALSE(onPage->ShownByContainer());
  onPage->SetVisible(true);
  onPage->SetShownByContainer(true);
  EXPECT_TRUE(onPage->IsDisplayed());
  root->Close();
}

// Whatever hid a pane where it lay, a new page number or parent lets it show as its new place does:
// not on a hidden panel, on the current page of a shown one, and on the window.
TEST_F(PaneTreeTest, AMovedPaneShowsAsItsNewPlaceAndPageLetIt) {
  struct Panel : Recorder { using Recorder::Recorder; SubPane* AsTabPanel() override { return this; } int32_t CurrentPanelPage() override { return 1; } };
  for (int how : {0, 1, 2}) {  // numbered on a hidden panel, moved onto a shown one, moved off a hidden one
    auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
    auto* panel = new Panel(root, MakeRect(0, 0, 300, 200));
    panel->SetShownByContainer(how == 1);
    auto* child = new Recorder(how == 1 ? static_cast<SubPane*>(root) : panel, MakeRect(10, 10, 50, 50), how ? 1 : 2);
    child->SetShownByContainer(false);
    how ? child->SetParent(how == 1 ? static_cast<SubPane*>(panel) : root) : child->SetTabPanelIndex(1);
    EXPECT_EQ(child->IsDisplayed(), how != 0) << how;
    root->Close();
  }
  // A hidden box holding a child made visible on a hidden page: neither the window nor the
  // shown page shows the child until the box itself is shown.
  for (int page : {0, 1}) {  // the box ends on the window, on the shown page
    auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
    auto* panel = new Panel(root, MakeRect(0, 0, 300, 200));
    auto* box = new Recorder(root, MakeRect(10, 10, 200, 150));
    auto* button = new Recorder(box, MakeRect(20, 20, 60, 40));
    box->SetVisible(false);
    box->SetTabPanelIndex(2);
    box->SetParent(panel);
    button->SetVisible(true);
    if (page) box->SetTabPanelIndex(1);
    box->SetParent(page ? static_cast<SubPane*>(panel) : root);
    EXPECT_FALSE(button->IsDisplayed()) << page;
    box->SetVisible(true);
    EXPECT_TRUE(box->IsDisplayed() && button->IsDisplayed()) << page;
    root->Close();
  }
}

TEST_F(PaneTreeTest, ForEachSubPaneSeesLeavesOnly) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* group = new Recorder(root, MakeRect(10, 10, 200, 200));
  auto* a = new Recorder(group, MakeRect(20, 20, 60, 40));
  auto* b = new Recorder(root, MakeRect(250, 10, 300, 40));
  static std::vector<SubPane*> seen;
  seen.clear();
  EXPECT_TRUE(root->ForEachSubPane([](SubPane* p, intptr_t) { return seen.push_back(p), true; }, 0));
  EXPECT_EQ(seen, (std::vector<SubPane*>{a, b}));
  EXPECT_FALSE(root->ForEachSubPane([](SubPane*, intptr_t) { return false; }, 0));
  root->Close();
}

TEST_F(PaneTreeTest, MouseMovesEnterAndLeaveChildrenWithLocalPoints) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* child = new Recorder(root, MakeRect(100, 50, 200, 150));
  root->MouseMove(110, 60);  // root is not a window: the point is local to it, at its origin
  root->MouseMove(120, 70);
  root->MouseMove(300, 200);
  EXPECT_EQ(child->log, (std::vector<std::string>{"enter", "move 10,10", "move 20,20", "exit"}));
  EXPECT_FALSE(child->MouseInside());
  root->Close();
}

class Link : public ControlObjectLink {
 public:
  explicit Link(uint8_t flags) : flags(flags) {}
  void StoreBounds(const Rect& r) override { stored = r; }
  Rect StoredBounds() const override { return stored; }
  uint8_t LockFlags() const override { return flags; }
  uint8_t flags;
  Rect stored;
};

TEST_F(PaneTreeTest, LockedChildrenFollowTheirParentsSize) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* stretchy = new Recorder(root, MakeRect(10, 10, 100, 50));
  auto* corner = new Recorder(root, MakeRect(300, 250, 390, 290));
  auto* fixed = new Recorder(root, MakeRect(10, 100, 50, 120));
  Link stretchLink(kLockLeft | kLockTop | kLockRight), cornerLink(kLockRight | kLockBottom), none(0);
  stretchy->SetRunControl(&stretchLink);
  corner->SetRunControl(&cornerLink);
  fixed->SetRunControl(&none);
  root->MoveTo(MakeRect(0, 0, 500, 350), true);
  EXPECT_TRUE(EqualRect(stretchy->Bounds(), MakeRect(10, 10, 200, 50)));
  EXPECT_TRUE(EqualRect(corner->Bounds(), MakeRect(400, 300, 490, 340)));
  EXPECT_TRUE(EqualRect(fixed->Bounds(), MakeRect(10, 100, 50, 120)));
  EXPECT_TRUE(EqualRect(cornerLink.stored, corner->Bounds()));
  // A second resize counts from the size the children followed last.
  root->MoveTo(MakeRect(0, 0, 450, 350), true);
  EXPECT_EQ(stretchy->Bounds().right, 150);
  root->Close();
}

TEST_F(PaneTreeTest, MovingAParentMovesItsChildren) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* group = new Recorder(root, MakeRect(10, 10, 200, 200));
  auto* inner = new Recorder(group, MakeRect(20, 20, 60, 40));
  group->SetBounds(MakeRect(30, 40, 220, 230), true);
  EXPECT_TRUE(EqualRect(inner->Bounds(), MakeRect(40, 50, 80, 70)));
  EXPECT_EQ(inner->Width(), 40);
  root->Close();
}

TEST_F(PaneTreeTest, EnclosingNeedsNonEmptyBoundsAndTheSamePage) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* big = new Recorder(root, MakeRect(10, 10, 200, 200), 1);
  auto* small = new Recorder(root, MakeRect(20, 20, 60, 40), 1);
  auto* other = new Recorder(root, MakeRect(20, 20, 60, 40), 2);
  auto* empty = new Recorder(root, MakeRect(50, 50, 50, 80), 1);
  EXPECT_TRUE(big->Encloses(small, false, true));
  EXPECT_FALSE(big->Encloses(other, false, true));
  EXPECT_TRUE(big->Encloses(other, false, false));
  EXPECT_FALSE(empty->Encloses(small, false, false));
  big->SetVisible(false);
  EXPECT_FALSE(big->Encloses(small, true, false));
  root->Close();
}

// A new parent never moves a pane: one that lies outside its container's bounds is drawn in full,
// clipped by the top of the tree alone, and takes drops in its own bounds, topmost first.
TEST_F(PaneTreeTest, APaneOutsideItsContainerIsDrawnAndTakesDropsInItsOwnBounds) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 400, 300));
  auto* box = new Recorder(root, MakeRect(10, 10, 200, 200));
  auto* inside = new Recorder(box, MakeRect(20, 20, 180, 60));
  auto* outside = new Recorder(box, MakeRect(250, 20, 350, 60));
  auto* corner = new Recorder(box, MakeRect(380, 280, 420, 320));
  Rect frame;
  EXPECT_TRUE(outside->GetFrameBounds(&frame) && EqualRect(frame, outside->Bounds()));
  EXPECT_TRUE(corner->GetFrameBounds(&frame) && EqualRect(frame, MakeRect(380, 280, 400, 300)));
  for (SubPane* pane : {root, box, inside, outside}) pane->AcceptDrop(string("Sky"));
  const struct { int32_t h, v; SubPane* found; } drops[] = {
      {250, 20, outside}, {349, 59, outside}, {350, 40, root}, {249, 40, root}, {100, 100, box}, {100, 30, inside}};
  for (const auto& drop : drops)
    EXPECT_EQ(root->FindDropTarget(drop.h, drop.v, nullptr), drop.found) << drop.h << "," << drop.v;
  outside->SetVisible(false);
  EXPECT_EQ(root->FindDropTarget(300, 40, nullptr), root);
  root->Close();
}

TEST_F(PaneTreeTest, SettingTwoDelegatesIsReportedOnce) {
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 10, 10));
  PaneDelegate first, second;
  root->SetDelegate(&first);
  EXPECT_TRUE(gReports.empty());
  root->SetDelegate(&second);
  ASSERT_EQ(gReports.size(), 1u);
  EXPECT_NE(gReports[0].find("not mDelegate"), std::string::npos);
  EXPECT_EQ(root->GetDelegate(), &second);
  root->SetParent(nullptr);
  EXPECT_EQ(gReports.size(), 2u);
  root->Close();
}

TEST_F(PaneTreeTest, DeathNoticesReachEveryReceiver) {
  struct Receiver : PaneDeathNotificationReceiver {
    void PaneDied(Pane* p) override { died.push_back(p); }
    std::vector<Pane*> died;
  } receiver;
  auto* root = new Recorder(nullptr, MakeRect(0, 0, 10, 10));
  Pane* address = root;
  root->Close();
  // Close sends the notice and so does the destructor.
  ASSERT_GE(receiver.died.size(), 1u);
  EXPECT_EQ(receiver.died.front(), address);
}

TEST_F(PaneTreeTest, CurrentPaneChangesCallOnlyWhatChanged) {
  auto* a = new Recorder(nullptr, MakeRect(0, 0, 10, 10));
  auto* b = new Recorder(nullptr, MakeRect(0, 0, 10, 10));
  SetCurrentPane(a);
  SetCurrentPane(a);
  EXPECT_EQ(a->becomeCurrent, 1);
  SetCurrentPane(b);
  EXPECT_EQ(a->resignCurrent, 1);
  EXPECT_EQ(b->becomeCurrent, 1);
  b->Close();  // closing the current pane leaves none
  EXPECT_EQ(GetCurrentPane(), nullptr);
  // A plain pane resigns through its parent: destroying it while current does so once.
  auto* child = new ContainerPane(a, 0, MakeRect(1, 1, 5, 5));
  SetCurrentPane(child);
  const int resigned = a->resignCurrent;
  child->Close();
  EXPECT_EQ(GetCurrentPane(), nullptr);
  EXPECT_EQ(a->resignCurrent, resigned + 1);
  a->Close();
}

struct FakePort {
  string font;
  int32_t size = -1;
  int style = -1;
  Rect clip;
};

TEST_F(PaneTreeTest, PortsGetThePanesTextSettingsAndClip) {
  PanePortHooks saved = GetPanePortHooks();
  PanePortHooks hooks;
  hooks.newGraphics = [](Pane*) { return reinterpret_cast<Graphics*>(new FakePort); };
  hooks.disposeGraphics = [](Graphics* g) { delete reinterpret_cast<FakePort*>(g); };
  hooks.setTextFont = [](Graphics* g, const string& f) { reinterpret_cast<FakePort*>(g)->font = f; };
  hooks.setTextSize = [](Graphics* g, int32_t s) { reinterpret_cast<FakePort*>(g)->size = s; };
  hooks.setTextStyle = [](Graphics* g, uint8_t s) { reinterpret_cast<FakePort*>(g)->style = s; };
  hooks.setClipRect = [](Graphics* g, const Rect& r) { reinterpret_cast<FakePort*>(g)->clip = r; };
  SetPanePortHooks(hooks);
  auto* pane = new Recorder(nullptr, MakeRect(5, 6, 70, 80));
  auto* port = reinterpret_cast<FakePort*>(pane->GetGraphics());
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->size, 12);
  EXPECT_TRUE(port->font.IsEmpty());
  EXPECT_EQ(port->style, 0);
  EXPECT_TRUE(EqualRect(port->clip, pane->Bounds()));
  DisposePaneGraphics(reinterpret_cast<Graphics*>(port));
  SetPanePortHooks(saved);
  pane->Close();
}

TEST_F(PaneTreeTest, FocusMovesToTheOwnerOnce) {
  struct FocusPane : ContainerPane {
    using ContainerPane::ContainerPane;
    void GotFocus() override { ++got; }
    void LostFocus() override { ++lost; }
    int got = 0, lost = 0;
  };
  auto* a = new FocusPane(nullptr, 0, MakeRect(0, 0, 10, 10));
  auto* b = new FocusPane(nullptr, 0, MakeRect(0, 0, 10, 10));
  SetFocusPane(a);
  SetFocusPane(a);
  EXPECT_EQ(a->got, 1);
  SetFocusPane(b);
  EXPECT_EQ(a->lost, 1);
  EXPECT_EQ(b->got, 1);
  b->Close();  // the focus pane closing leaves no focus
  EXPECT_EQ(GetFocusPane(), nullptr);
  a->Close();
}

}  // namespace
}  // namespace vorn
