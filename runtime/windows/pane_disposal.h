// When a closed pane is freed. Any event handler may close its window, and the code that raised
// the event (a GTK signal emission, the runtime's focus, key and mouse routing) usually goes on
// with the pane, its widget, an adjustment or a menu afterwards. So a pane whose last lock goes
// while the main thread is dispatching, or on another thread, is not deleted there: it is
// deleted, with its widgets, once the outermost dispatch has returned. Everything else a close
// does happens at once.
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

// Deletes the pane now when the main thread is not dispatching, else once it has stopped.
void DisposePane(SubPane* pane);
// Deletes the panes put off, unless the main thread is dispatching; the idle that does it
// may also be run early (tests) this way.
void DisposeDeferredPanes();
bool HasDeferredPanes();

}  // namespace vorn
