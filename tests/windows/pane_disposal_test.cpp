// When a closed pane is freed: at once when nothing dispatches, else after the outermost
// dispatch, from the main thread's idle; on panes without widgets (no display needed).
#include <gtest/gtest.h>
#include <glib.h>

#include <thread>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "windows/container_pane.h"
#include "windows/control.h"
#include "windows/pane_disposal.h"

namespace vorn {
namespace {

int gFreed = 0;

class Counted : public ContainerPane {
 public:
  explicit Counted(SubPane* parent = nullptr) : ContainerPane(parent, 0, MakeRect(0, 0, 40, 40)) {}
  ~Counted() override { ++gFreed; }
};

class PaneDisposalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallDispatchTracking();
    gFreed = 0;
  }
  // What the run loop does between events.
  static void RunIdles() {
    for (int i = 0; i < 20 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
  }
};

TEST_F(PaneDisposalTest, OutsideDispatchAClosedPaneIsFreedAtOnce) {
  auto* pane = new Counted();
  pane->Close();
  EXPECT_EQ(gFreed, 1);
  EXPECT_FALSE(HasDeferredPanes());
}

// The pane is gone for its callers at once, and freed once the outermost level has returned:
// an idle that runs inside (a modal loop) leaves it, the last leave asks again.
TEST_F(PaneDisposalTest, InsideDispatchThePaneGoesAtOnceAndIsFreedAfterTheOutermostLevel) {
  auto* pane = new Counted();
  auto* child = new Counted(pane);
  PaneGuard guard(pane), childGuard(child);
  {
    DispatchScope outer;
    {
      DispatchScope inner;
      pane->Close();
      EXPECT_EQ(guard.Get(), nullptr);
      EXPECT_EQ(childGuard.Get(), nullptr);
      EXPECT_TRUE(pane->IsClosing());
    }
    RunIdles();
    EXPECT_EQ(gFreed, 0) << "still inside the outer level";
    EXPECT_EQ(DispatchDepth(), 1);
  }
  EXPECT_EQ(gFreed, 0) << "freed by the idle, not by the leave";
  RunIdles();
  EXPECT_EQ(gFreed, 2);
  EXPECT_FALSE(HasDeferredPanes());
}

TEST_F(PaneDisposalTest, ACallIntoCompiledCodeCountsAsDispatch) {
  auto* pane = new Counted();
  {
    ExceptionBoundary boundary;
    EXPECT_EQ(DispatchDepth(), 1);
    pane->Close();
  }
  EXPECT_EQ(DispatchDepth(), 0);
  EXPECT_EQ(gFreed, 0);
  DisposeDeferredPanes();
  EXPECT_EQ(gFreed, 1);
}

TEST_F(PaneDisposalTest, ACloseFromAnotherThreadWaitsForTheMainThread) {
  auto* pane = new Counted();
  std::thread([pane] {
    DispatchScope notCounted;
    pane->Close();
  }).join();
  EXPECT_EQ(DispatchDepth(), 0);
  EXPECT_EQ(gFreed, 0);
  RunIdles();
  EXPECT_EQ(gFreed, 1);
}

// A holder that locked the pane after it went and lets go again frees nothing twice.
TEST_F(PaneDisposalTest, AStaleHoldReleasedAfterThePaneWentFreesItOnce) {
  auto* pane = new Counted();
  PaneGuard guard(pane);
  {
    DispatchScope dispatch;
    pane->Lock();
    pane->Close();
    EXPECT_NE(guard.Get(), nullptr) << "held: not gone yet";
    EXPECT_TRUE(pane->Release());
    EXPECT_EQ(guard.Get(), nullptr);
    pane->Lock();
    EXPECT_TRUE(pane->Release()) << "still gone";
  }
  RunIdles();
  EXPECT_EQ(gFreed, 1);
}

TEST_F(PaneDisposalTest, AnObjectKeptByAPaneLastsUntilThePaneIsFreed) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetControlClassDefinition());
  RuntimeLockObject(object);
  auto* pane = new Counted();
  {
    DispatchScope dispatch;
    pane->KeepUntilDestroyed(object);
    pane->Close();
  }
  EXPECT_EQ(object->refCount, 2);
  RunIdles();
  EXPECT_EQ(gFreed, 1);
  EXPECT_EQ(object->refCount, 1);
  RuntimeUnlockObject(object);
}

}  // namespace
}  // namespace vorn
