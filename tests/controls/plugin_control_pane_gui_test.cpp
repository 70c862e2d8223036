// The pane of a plug-in control in a test window, driven through its pane operations: which
// behaviour entry each calls, the focus rules, the 4-pixel ring, mouse capture and a control
// closed inside its own key-down callback.
#include <gtest/gtest.h>

#include <vector>

#include "controls/plugin_control_pane.h"
#include "controls/support/control_test_support.h"
#include "windows/pane_focus.h"

namespace vorn {
namespace {

struct Calls {
  std::vector<int> entries;
  std::vector<int32_t> codes;
  uint8_t answer = 1;
  RuntimeCustomControlPane* closeInKeyDown = nullptr;
  int idles = 0;
} gCalls;

void OnIdle(RuntimeObject*) { ++gCalls.idles; }

uint8_t OnMouseDown(RuntimeObject*, int32_t, int32_t, int32_t) {
  gCalls.entries.push_back(kVornBehaviourMouseDown);
  return gCalls.answer;
}
uint8_t OnKeyDown(RuntimeObject*, int32_t, int32_t, int32_t) {
  gCalls.entries.push_back(kVornBehaviourKeyDown);
  if (gCalls.closeInKeyDown) gCalls.closeInKeyDown->Close();
  return 0;
}
void OnState(RuntimeObject*, int32_t code) { gCalls.codes.push_back(code); }
void OnNotice(RuntimeObject*, int32_t, int32_t, int32_t) { gCalls.entries.push_back(kVornBehaviourStateCode2000); }
uint8_t OnAcceptFocus(RuntimeObject*) {
  gCalls.entries.push_back(kVornBehaviourAcceptFocus);
  return gCalls.answer;
}

void* const* Behaviour() {
  static void* table[kVornBehaviourCount] = {};
  table[kVornBehaviourMouseDown] = reinterpret_cast<void*>(&OnMouseDown);
  table[kVornBehaviourKeyDown] = reinterpret_cast<void*>(&OnKeyDown);
  table[kVornBehaviourStateChanged] = reinterpret_cast<void*>(&OnState);
  table[kVornBehaviourStateCode2000] = reinterpret_cast<void*>(&OnNotice);
  table[kVornBehaviourAcceptFocus] = reinterpret_cast<void*>(&OnAcceptFocus);
  table[kVornBehaviourIdle] = reinterpret_cast<void*>(&OnIdle);
  return table;
}

class PluginControlPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::EnsureDisplay()) << "needs an X display";
    gCalls = Calls();
    window = new test::TestWindow(MakeRect(150, 150, 450, 350));
    owner = test::NewTestControl();
  }
  void TearDown() override {
    window->Close();
    test::RunLoopIteration();
    RuntimeUnlockObject(owner);
  }
  RuntimeCustomControlPane* MakePane(uint32_t version, uint32_t flags) {
    definition = VornPluginControlDefinition{};
    definition.version = version;
    definition.flags = flags;
    definition.behaviour = Behaviour();
    loaded = LoadedControl{&definition, definition.behaviour};
    return new RuntimeCustomControlPane(window, 0, MakeRect(20, 30, 100, 70), owner, &loaded);
  }

  test::TestWindow* window = nullptr;
  RuntimeObject* owner = nullptr;
  VornPluginControlDefinition definition{};
  LoadedControl loaded{};
};

TEST_F(PluginControlPaneTest, FocusFollowsTheFlagTheVersionAndTheAcceptEntry) {
  struct Case {
    uint32_t version, flags;
    uint8_t answer;
    bool focus, asked;
  } cases[] = {
      {7, 0, 1, false, false},  // entry 25 only from version 8 on
      {7, kVornPluginControlAcceptsFocus, 0, true, false},
      {8, 0, 1, true, true},
      {8, 0, 0, false, true},
  };
  for (const Case& c : cases) {
    gCalls = Calls();
    gCalls.answer = c.answer;
    RuntimeCustomControlPane* pane = MakePane(c.version, c.flags);
    EXPECT_EQ(pane->CanFocus(), c.focus) << c.version << "/" << c.flags;
    EXPECT_EQ(!gCalls.entries.empty(), c.asked) << c.version << "/" << c.flags;
  }
}

TEST_F(PluginControlPaneTest, RingCaptureStatesAndMissingEntries) {
  RuntimeCustomControlPane* pane = MakePane(8, 0);
  Rect ring;
  ASSERT_TRUE(pane->GetFocusRingRect(&ring));
  EXPECT_EQ(ring.left, 16);
  EXPECT_EQ(ring.top, 26);
  EXPECT_EQ(ring.right, 104);
  EXPECT_EQ(ring.bottom, 74);
  EXPECT_FALSE(pane->WholeBoundsQuery(nullptr)) << "without flag 0x08";

  EXPECT_TRUE(pane->MouseDown(5, 5, 0));
  EXPECT_EQ(GetMouseCapturePane(), pane) << "a handled click captures the mouse";
  ClearMouseCapturePane();

  pane->SetEnabled(false, false);
  pane->SetBounds(MakeRect(20, 30, 110, 80), false);
  EXPECT_EQ(gCalls.codes, (std::vector<int32_t>{2, 8}));
  EXPECT_EQ(pane->ChangeState(2000), 1);
  EXPECT_EQ(gCalls.entries.back(), kVornBehaviourStateCode2000);
  EXPECT_FALSE(pane->DoMenuCommand(1)) << "no menu entry: the SubPane's answer";
  EXPECT_FALSE(pane->MouseWheel(0, 0, 1)) << "no wheel entry";
}

TEST_F(PluginControlPaneTest, TheIdleEntryGetsBackgroundTimeUntilThePaneCloses) {
  RuntimeCustomControlPane* pane = MakePane(8, 0);
  for (int turns = 0; turns < 2000 && gCalls.idles == 0; ++turns) test::PumpFor(5);
  EXPECT_GT(gCalls.idles, 0);
  pane->Close();
  int seen = gCalls.idles;
  test::PumpFor(400);  // more than two idle periods of 10 ticks
  EXPECT_EQ(gCalls.idles, seen) << "a closed pane's idle task is gone";
}

TEST_F(PluginControlPaneTest, AControlClosedInsideItsKeyDownCountsTheKeyAsHandled) {
  RuntimeCustomControlPane* pane = MakePane(8, 0);
  gCalls.closeInKeyDown = pane;
  EXPECT_TRUE(pane->KeyDown('a', 0, 0));
  EXPECT_EQ(gCalls.entries, (std::vector<int>{kVornBehaviourKeyDown}));
}

}  // namespace
}  // namespace vorn
