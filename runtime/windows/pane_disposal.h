// When a closed pane, or an object panes call into, is freed. Any event handler may close its
// window, or close it and show it again, and the code that raised the event (a GTK signal
// emission, the runtime's focus, key and mouse routing, a control's router) usually goes on
// with the pane, its widget, an adjustment, a menu or the router afterwards. So a pane whose
// last lock goes, or a router or delegate given up, while the main thread is dispatching, or
// on another thread, is not deleted there: it is deleted once the outermost dispatch has
// returned. Everything else a close does happens at once. A modal loop frees sooner what its
// own events made and closed (ModalDisposal).
#pragma once

#include <cstdint>
#include <type_traits>

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

// Stamps an object with the order it was made in, so that a modal loop can tell what was made
// after it started; objects without one wait for the outermost dispatch.
class MadeInOrder {
 public:
  MadeInOrder();
  uint64_t MadeAt() const { return mMadeAt; }

 private:
  uint64_t mMadeAt;
};

// Calls destroy(object) now when the main thread is not dispatching, else once it has stopped,
// in the order they were put off; `madeAt` is the object's stamp, 0 for none.
void DisposeAfterDispatch(void* object, void (*destroy)(void*), uint64_t madeAt = 0);

// Deletes an object panes or their widgets call into (a control's router, a pane's delegate)
// by the rule panes go by: whatever replaces or drops it may run inside one of its own calls.
template <typename T>
void DeleteAfterDispatch(T* object) {
  if (!object) return;
  uint64_t madeAt = 0;
  if constexpr (std::is_base_of_v<MadeInOrder, T>) madeAt = object->MadeAt();
  DisposeAfterDispatch(object, [](void* p) { delete static_cast<T*>(p); }, madeAt);
}

// A modal loop run from inside an event (a dialog shown from a button's Action). The frames
// below it stopped before it started, so they hold nothing made after that; between two of
// its iterations nothing of the loop's own is on the stack either. What was made since it
// started and closed meanwhile is therefore freed after each iteration. Anything older (the
// modal window itself, the button whose Action showed it, an outer widget in mid-emission)
// waits as before: for an enclosing modal loop that began before it was made, else for the
// outermost dispatch. Routers carry no stamp and always wait.
class ModalDisposal {
 public:
  ModalDisposal();
  ModalDisposal(const ModalDisposal&) = delete;
  ModalDisposal& operator=(const ModalDisposal&) = delete;
  // Between iterations, on the dispatch level the loop started on.
  void FreeWhatItsEventsClosed();

 private:
  uint64_t mStartedAt;
  int32_t mDepth;
};

// Deletes the pane now when the main thread is not dispatching, else once it has stopped.
void DisposePane(SubPane* pane);
// Frees what was put off, unless the main thread is dispatching; the idle that does it may also
// be run early (tests) this way.
void DisposeDeferredPanes();
bool HasDeferredPanes();

}  // namespace vorn
