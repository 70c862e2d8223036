#include "windows/pane_disposal.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "core/run_loop.h"
#include "objects/exceptions.h"
#include "windows/press_routing.h"
#include "windows/sub_pane.h"

namespace vorn {

namespace {

int32_t sDepth = 0;
guint sIdle = 0;
std::atomic<uint64_t> sMade{0};

struct Disposal {
  void* object;
  void (*destroy)(void*);
  uint64_t madeAt;
};

std::vector<Disposal>& Deferred() {
  static auto* objects = new std::vector<Disposal>();
  return *objects;
}

gboolean OnDisposalIdle(gpointer) {
  sIdle = 0;
  // Inside a modal loop the depth is still up: the last leave asks again.
  DisposeDeferredPanes();
  return G_SOURCE_REMOVE;
}

// High priority: the panes go before the next event is dispatched.
void ScheduleDisposal() {
  if (sIdle == 0 && !Deferred().empty()) sIdle = g_idle_add_full(G_PRIORITY_HIGH, &OnDisposalIdle, nullptr, nullptr);
}

void Enter() {
  if (IsMainThread()) ++sDepth;
}

void Leave() {
  if (!IsMainThread() || sDepth == 0) return;
  if (--sDepth == 0) ScheduleDisposal();
}

void HandleGdkEvent(GdkEvent* event, gpointer) {
  DispatchScope scope;
  if (!RoutePointerEvent(event)) gtk_main_do_event(event);
}

}  // namespace

int32_t DispatchDepth() { return sDepth; }

DispatchScope::DispatchScope() { Enter(); }
DispatchScope::~DispatchScope() { Leave(); }

void InstallDispatchTracking() {
  static bool hooked = false;
  static bool wrapped = false;
  if (!hooked) {
    hooked = true;
    DispatchHooks hooks;
    hooks.enter = &Enter;
    hooks.leave = &Leave;
    SetDispatchHooks(hooks);
  }
  // gtk_init installs its own handler; ours must come after it.
  if (!wrapped && gdk_display_get_default()) {
    wrapped = true;
    gdk_event_handler_set(&HandleGdkEvent, nullptr, nullptr);
  }
}

MadeInOrder::MadeInOrder() : mMadeAt(++sMade) {}

void DisposeAfterDispatch(void* object, void (*destroy)(void*), uint64_t madeAt) {
  if (sDepth == 0 && IsMainThread()) {
    destroy(object);
    return;
  }
  Deferred().push_back({object, destroy, madeAt});
  // From another thread the main thread may be waiting for events: the idle wakes it.
  if (sDepth == 0) ScheduleDisposal();
}

void DisposePane(SubPane* pane) { DeleteAfterDispatch(pane); }

void DisposeDeferredPanes() {
  if (sDepth > 0 || !IsMainThread()) return;
  // A destructor may end objects whose own destructors close more windows.
  while (!Deferred().empty()) {
    std::vector<Disposal> objects;
    objects.swap(Deferred());
    for (const Disposal& d : objects) d.destroy(d.object);
  }
}

ModalDisposal::ModalDisposal() : mStartedAt(sMade), mDepth(sDepth) {}

void ModalDisposal::FreeWhatItsEventsClosed() {
  if (sDepth != mDepth || !IsMainThread()) return;
  // Destructors may close more of what the loop made; older objects keep their place.
  for (;;) {
    auto& all = Deferred();
    auto young = std::stable_partition(all.begin(), all.end(),
                                       [&](const Disposal& d) { return d.madeAt <= mStartedAt; });
    std::vector<Disposal> objects(young, all.end());
    all.erase(young, all.end());
    if (objects.empty()) return;
    for (const Disposal& d : objects) d.destroy(d.object);
  }
}

bool HasDeferredPanes() { return !Deferred().empty(); }

}  // namespace vorn
