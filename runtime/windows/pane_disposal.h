// When a closed pane, or an object panes call into, is freed. Any event handler may close its
// window, or close it and show it again, and the code that raised the event (a GTK signal
// emission, the runtime's focus, key and mouse routing, a control's router) usually goes on
// with the pane, its widget, an adjustment, a menu or the router afterwards. So a pane whose
// last lock goes, or a router or delegate given up, while the main thread is dispatching, or
// on another thread, is not deleted there: it is deleted once the outermost dispatch has
// returned. Everything else a close does happens at once.
#pragma once

#include <cstdint>

namespace vorn {

class SubPane;

// How deep the main thread is in dispatch: GDK events the toolkit delivers and calls into
// compiled code (every exception boundary). Other threads never count.
int32_t DispatchDepth();

// Counts one level of dispatch on the main thread for its lifetime.
class DispatchScope {
 public:
  DispatchScope();
  ~DispatchScope();
  DispatchScope(const DispatchScope&) = delete;
  DispatchScope& operator=(const DispatchScope&) = delete;
};

// Wraps GDK's event handler and joins the exception boundaries to the count; once, after the
// toolkit is initialised. Without it nothing counts and every pane is deleted at once.
void InstallDispatchTracking();

// Calls destroy(object) now when the main thread is not dispatching, else once it has stopped,
// in the order they were put off.
void DisposeAfterDispatch(void* object, void (*destroy)(void*));

// Deletes an object panes or their widgets call into (a control's router, a pane's delegate)
// by the rule panes go by: whatever replaces or drops it may run inside one of its own calls.
template <typename T>
void DeleteAfterDispatch(T* object) {
  if (object) DisposeAfterDispatch(object, [](void* p) { delete static_cast<T*>(p); });
}

// Deletes the pane now when the main thread is not dispatching, else once it has stopped.
void DisposePane(SubPane* pane);
// Frees what was put off, unless the main thread is dispatching; the idle that does it may also
// be run early (tests) this way.
void DisposeDeferredPanes();
bool HasDeferredPanes();

}  // namespace vorn
