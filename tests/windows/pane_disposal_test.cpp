// When a closed pane is freed: at once when nothing dispatches, else after the outermost
// dispatch, from the main thread's idle; on panes without widgets (no display needed).
#include <gtest/gtest.h>
#include <glib.h>

#include <functional>
#include <thread>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "windows/container_pane.h"
#include "windows/control.h"
#include "windows/pane_disposal.h"

namespace vorn {
namespace {

int gFreed = 0;

struct Counted : ContainerPane {
  explicit Counted(SubPane* parent = nullptr) : ContainerPane(parent, 0, MakeRect(0, 0, 40, 40)) {}
  ~Counted() override { ++gFreed; }
};

// What the run loop does between events.
void RunIdles() {
  for (int i = 0; i < 20 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
}

class PaneDisposalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallDispatchTracking();
    gFreed = 0;
  }
};

// A call into compiled code counts as dispatch; a close from another thread waits for the main one.
// A modal loop shown from a handler frees after each iteration what it made and its events
// closed, never what is older than it (the handler's frames may hold that).
TEST_F(PaneDisposalTest, AClosedPaneIsFreedOnlyOnTheMainThreadOutsideDispatch) {
  const struct {
    const char* where;
    std::function<void(Counted*)> close;
    int freedAtOnce;
    int made = 1;
  } cases[] = {
      {"outside dispatch", [](Counted* pane) { pane->Close(); }, 1},
      {"inside compiled code", [](Counted* pane) { ExceptionBoundary boundary; pane->Close(); }, 0},
      {"on another thread", [](Counted* p) { std::thread([=] { DispatchScope notCounted; p->Close(); }).join(); }, 0},
      {"in a modal loop, and in one inside it", [](Counted* older) {
         DispatchScope action;
         ModalDisposal outer;
         auto* opened = new Counted();
         {
           DispatchScope event;
           ModalDisposal inner;
           { DispatchScope innerEvent; opened->Close(); older->Close(); }
           inner.FreeWhatItsEventsClosed();
           outer.FreeWhatItsEventsClosed();
           EXPECT_EQ(gFreed, 0) << "the outer loop's event may hold it";
         }
         outer.FreeWhatItsEventsClosed();
       }, 1, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    gFreed = 0;
    c.close(new Counted());
    EXPECT_EQ(DispatchDepth(), 0);
    EXPECT_EQ(gFreed, c.freedAtOnce);
    RunIdles();
    EXPECT_EQ(gFreed, c.made);
    EXPECT_FALSE(HasDeferredPanes());
  }
}

// The pane is gone for its callers at once (a holder's once it lets go), and freed once the
// outermost level has returned: an idle that runs inside (a modal loop) leaves it, the last
// leave asks again. A hold taken after it went frees nothing twice; an object the pane keeps
// lasts until it is freed.
TEST_F(PaneDisposalTest, InsideDispatchThePaneGoesAtOnceAndIsFreedAfterTheOutermostLevel) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetControlClassDefinition());
  RuntimeLockObject(object);
  auto* pane = new Counted();
  PaneGuard guard(pane), childGuard(new Counted(pane));
  {
    DispatchScope outer;
    {
      DispatchScope inner;
      pane->KeepUntilDestroyed(object);
      pane->Lock();
      pane->Close();
      EXPECT_EQ(childGuard.Get(), nullptr);
      EXPECT_NE(guard.Get(), nullptr) << "held: not gone yet";
      EXPECT_TRUE(pane->IsClosing());
      EXPECT_TRUE(pane->Release());
      EXPECT_EQ(guard.Get(), nullptr);
      pane->Lock();
      EXPECT_TRUE(pane->Release()) << "still gone";
    }
    RunIdles();
    EXPECT_EQ(gFreed, 0) << "still inside the outer level";
  }
  EXPECT_EQ(gFreed, 0) << "freed by the idle, not by the leave";
  EXPECT_EQ(object->refCount, 2);
  RunIdles();
  EXPECT_EQ(gFreed, 2);
  EXPECT_EQ(object->refCount, 1);
  RuntimeUnlockObject(object);
}

}  // namespace
}  // namespace vorn
