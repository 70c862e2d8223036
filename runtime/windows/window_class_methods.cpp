// Methods of the Window class: showing, hiding, modal runs, closing, redrawing, drops, the
// controls by position, menu handlers, moving and the window states.
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/control_api.h"
#include "vorn/window_api.h"
#include "windows/pane_assert.h"
#include "windows/runtime_window.h"
#include "windows/window_class.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

constexpr const char* kWindowSource = "../Common/ClassLib/window";

// The native window, made first when there is none; nil when it cannot be had.
RuntimeViewWindow* EnsureView(RuntimeObject* window) {
  if (!WindowFieldsOf(window)) return nullptr;
  if (!ViewOf(window)) WindowCreatePane(window);
  return ViewOf(window);
}

void ShowNow(RuntimeViewWindow* view) {
  view->Show();
  view->IsFrontmost();
}

// Serves events while the window is shown; returns when it is hidden or closed.
void RunModal(RuntimeObject* window) {
  RuntimeLockObject(window);
  if (RuntimeViewWindow* view = ViewOf(window)) view->RunModalWhileShown();
  RuntimeUnlockObject(window);
}

}  // namespace

}  // namespace vorn

using namespace vorn;

void RuntimeShowWindow(VornRuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  fields->visible = 1;
  if (RuntimeViewWindow* view = fields->view) {
    ShowNow(view);
  } else if (fields->embeddedWindowControl) {
    ControlVisibleSetter(fields->embeddedWindowControl, 0, 1);
  }
}

void RuntimeShowAsWindow(VornRuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  fields->visible = 1;
  if (RuntimeViewWindow* view = EnsureView(window)) ShowNow(view);
}

void RuntimeHideWindow(VornRuntimeObject* window) {
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  fields->visible = 0;
  if (RuntimeViewWindow* view = fields->view) {
    view->Hide();
  } else if (fields->embeddedWindowControl) {
    ControlVisibleSetter(fields->embeddedWindowControl, 0, 0);
  }
}

void RuntimeCloseWindow(VornRuntimeObject* window) {
  if (WindowFieldsOf(window)) RuntimeWindowDoClose(window, false);
}

void RuntimeShowModal(VornRuntimeObject* window) {
  RuntimeViewWindow* view = EnsureView(window);
  if (!view) return;
  ShowNow(view);
  RunModal(window);
}

void RuntimeShowWithinWindow(VornRuntimeObject* window, VornRuntimeObject* parent, int32_t facing) {
  if (!parent) {
    RuntimeShowWindow(window);
    return;
  }
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields) return;
  fields->visible = 1;
  RuntimeViewWindow* view = EnsureView(window);
  if (!view) return;
  view->Show();
  view->ShowWithin(ViewOf(parent), facing);
}

void RuntimeShowModalWithinWindow(VornRuntimeObject* window, VornRuntimeObject* parent) {
  if (!parent) {
    RuntimeShowModal(window);
    return;
  }
  RuntimeViewWindow* view = EnsureView(window);
  if (!view) return;
  WindowFieldsOf(window)->visible = 1;
  view->Show();
  view->ShowWithin(ViewOf(parent), -1);
  RunModal(window);
}

void formRefresh(VornRuntimeObject* window, uint8_t eraseBackground) {
  if (RuntimeObject* control = EmbeddingControlOf(WindowFieldsOf(window))) {
    RuntimeControlRefresh(control, eraseBackground);
    return;
  }
  RuntimeViewWindow* view = ViewOf(window);
  if (!view) return;
  view->Invalidate(eraseBackground != 0);
  view->UpdateNow();
}

void formRefreshRect(VornRuntimeObject* window, int32_t x, int32_t y, int32_t width, int32_t height,
                     uint8_t eraseBackground) {
  if (RuntimeObject* control = EmbeddingControlOf(WindowFieldsOf(window))) {
    RuntimeControlRefreshRect(control, x, y, width, height, eraseBackground);
    return;
  }
  RuntimeViewWindow* view = ViewOf(window);
  if (!view) return;
  view->InvalidateArea(x, y, x + width, y + height);
  view->UpdateNow();
}

void WindowForceUpdateFrontBuffer(VornRuntimeObject* window) {
  if (RuntimeViewWindow* view = ViewOf(window)) view->UpdateNow();
}

// Drops of an embedded window are registered on its control.
void formAcceptTextDrop(VornRuntimeObject* window) {
  if (RuntimeObject* control = EmbeddingControlOf(WindowFieldsOf(window))) {
    controlAcceptTextDrop(control);
  } else if (RuntimeViewWindow* view = ViewOf(window)) {
    view->AcceptDrop(string("utxt"));
    view->AcceptDrop(string("TEXT"));
  }
}

void formAcceptPictureDrop(VornRuntimeObject* window) {
  if (RuntimeObject* control = EmbeddingControlOf(WindowFieldsOf(window))) {
    controlAcceptPictureDrop(control);
  } else if (RuntimeViewWindow* view = ViewOf(window)) {
    view->AcceptDrop(string("PICT"));
  }
}

void formAcceptFileDrop(VornRuntimeObject* window, VornStringRecord* type) {
  if (RuntimeObject* control = EmbeddingControlOf(WindowFieldsOf(window))) {
    controlAcceptFileDrop(control, type);
  } else if (RuntimeViewWindow* view = ViewOf(window)) {
    view->AcceptFileDrop(string::Share(type));
  }
}

void formAcceptMacDataDrop(VornRuntimeObject* window, VornStringRecord* type) {
  if (RuntimeObject* control = EmbeddingControlOf(WindowFieldsOf(window))) {
    controlAcceptMacDataDrop(control, type);
  } else if (RuntimeViewWindow* view = ViewOf(window)) {
    view->AcceptDrop(string::Share(type));
  }
}

VornRuntimeObject* windowControl(VornRuntimeObject* window, int32_t index) {
  WindowObject* fields = WindowFieldsOf(window);
  RuntimeObject* found = nullptr;
  if (fields && fields->controls && index >= 0) {
    StringMapIterator<RuntimeObject*>* it = fields->controls->NewIterator();
    RuntimeObject* entry = nullptr;
    int32_t position = 0;
    while (!found && it->Next(&entry)) {
      if (!IsControl(entry)) continue;
      if (position++ == index) found = entry;
    }
    delete it;
  }
  if (!found) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RuntimeLockObject(found);
  return found;
}

void WindowAddMenuHandler(VornRuntimeObject* window, VornStringRecord* name, void* handler) {
  if (!window) {
    ReportPaneAssertion(kWindowSource, __LINE__, "self");
    return;
  }
  if (!name) {
    ReportPaneAssertion(kWindowSource, __LINE__, "name");
    return;
  }
  WindowObject* fields = WindowFieldsOf(window);
  if (!fields || !handler) return;
  if (!fields->menuHandlers) fields->menuHandlers = new StringMap<void*>(256);
  fields->menuHandlers->SetEntry(string::Share(name), handler);
}

void WindowMove(VornRuntimeObject* window, int32_t left, int32_t top, int32_t width, int32_t height) {
  if (!WindowFieldsOf(window)) return;
  windowPosSetter(window, 0, left);
  windowPosSetter(window, 1, top);
  windowPosSetter(window, 2, width);
  windowPosSetter(window, 3, height);
}

void WindowMaximize(VornRuntimeObject* window) {
  if (RuntimeViewWindow* view = ViewOf(window)) view->Maximize();
}

void WindowMinimize(VornRuntimeObject* window) {
  if (RuntimeViewWindow* view = ViewOf(window)) view->Minimize();
}

void WindowRestore(VornRuntimeObject* window) {
  if (RuntimeViewWindow* view = ViewOf(window)) view->Restore();
}
