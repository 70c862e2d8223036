// RuntimeViewWindow: native callbacks turned into the window's events and its controls'.
// The window's hierarchy is locked around every event that runs compiled code, and once the
// window is closing no further event of the same callback runs.
#include <algorithm>
#include <string>

#include "graphics/drawable.h"
#include "graphics/graphics.h"
#include "graphics/graphics_object.h"
#include "graphics/picture_object.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "strings/utf8.h"
#include "windows/container_control.h"
#include "windows/contextual_dispatch.h"
#include "windows/drag_item.h"
#include "windows/pane_assert.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"
#include "windows/window_controls.h"
#include "windows/rect_control.h"

namespace vorn {

namespace {

constexpr const char* kWindowSource = "../Common/ClassLib/window";

// Runs fire() with the pane's hierarchy locked. False when the pane went away or began
// closing meanwhile: the caller stops there.
template <typename F>
bool WhileLocked(SubPane* pane, F fire) {
  if (!pane->LockHierarchy()) return false;
  PaneGuard guard(pane);
  fire();
  if (!guard.Get()) return false;
  bool closing = pane->IsClosing();
  if (pane->UnlockHierarchy()) return false;
  return !closing;
}

// A key as the language sees it: one character, UTF-8 for codes above 127.
string KeyString(int32_t character) {
  uint32_t code = static_cast<uint32_t>(character) & 0xFF;
  char bytes[2];
  int32_t length = 1;
  if (code < 0x80) {
    bytes[0] = static_cast<char>(code);
  } else {
    bytes[0] = static_cast<char>(0xC0 | (code >> 6));
    bytes[1] = static_cast<char>(0x80 | (code & 0x3F));
    length = 2;
  }
  return string(bytes, length, kEncodingUTF8);
}

// Plain Controls have none of RectControl's events.
template <typename R = void, typename... Args>
R FireRectEvent(RuntimeObject* control, RectControlEvent event, Args... args) {
  if (!IsRectControl(control)) return R();
  return FireEvent<R>(control, GetRectControlEventHook(event), args...);
}

bool ContainsPoint(SubPane* pane, int32_t x, int32_t y) {
  return pane && pane->IsDisplayed() && PointInRect(x, y, pane->Bounds());
}

}  // namespace

bool RuntimeViewWindow::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  if (Window::MouseDown(x, y, modifiers)) return true;
  if (!mWindow || mClosing) return false;
  RuntimeObject* window = mWindow;
  uint8_t handled = 0;
  if (!WhileLocked(this, [&] { handled = FireEvent<uint8_t>(window, WindowEventHook(kEventMouseDown), x, y); })) {
    return true;
  }
  if (!handled) return false;
  SetMouseCapturePane(this);
  return true;
}

bool RuntimeViewWindow::ContextualClick(int32_t x, int32_t y, int32_t modifiers) {
  // A control under the click may take it as its own (a canvas's MouseDown); the window's
  // MouseDown is for clicks on the window itself. What nobody takes opens the menu.
  if (Window::ContextualClick(x, y, modifiers)) return true;
  bool onPane = false;
  for (SubPane* pane : Panes()) onPane = onPane || (pane->IsDisplayed() && PointInRect(x, y, pane->AdjustedBounds()));
  if (!onPane && MouseDown(x, y, modifiers)) return true;
  return HandleContextualMenu(x, y);
}

bool RuntimeViewWindow::HandleContextualMenu(int32_t x, int32_t y) {
  if (!mWindow || mClosing) return false;
  // The innermost shown pane under the click: a control, or a window embedded in this one.
  RuntimeObject* target = nullptr;
  const std::vector<SubPane*>& panes = Panes();
  for (auto it = panes.rbegin(); it != panes.rend() && !target; ++it) {
    SubPane* pane = *it;
    if (!pane->IsDisplayed() || !PointInRect(x, y, pane->AdjustedBounds())) continue;
    // As with a click: a disabled control asks for no menu, one that lets clicks through lets
    // this one through.
    if (!pane->HearsInput()) {
      if (pane->PassesClickThrough()) continue;
      return true;
    }
    target = ControlObjectOfPane(pane);
  }
  if (!target) target = mWindow;
  bool handled = false;
  WhileLocked(this, [&] { handled = HandleContextualClick(target, x, y); });
  return handled;
}

bool RuntimeViewWindow::ContextualMenuAt(int32_t x, int32_t y) {
  if (!mWindow || mClosing) return false;
  SubPane* focus = GetFocusPane();
  RuntimeObject* target = nullptr;
  if (focus && focus != this && focus->GetWindow() == this && focus->IsDisplayed()) target = ControlObjectOfPane(focus);
  if (!target) return HandleContextualMenu(x, y);
  bool handled = false;
  WhileLocked(this, [&] { handled = HandleContextualClick(target, x, y); });
  return handled;
}

void RuntimeViewWindow::MouseDrag(int32_t x, int32_t y) {
  if (!mWindow || mClosing) return;
  RuntimeObject* window = mWindow;
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventMouseDrag), x, y); });
}

void RuntimeViewWindow::MouseUp(int32_t x, int32_t y) {
  if (!mWindow || mClosing) return;
  RuntimeObject* window = mWindow;
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventMouseUp), x, y); });
}

void RuntimeViewWindow::TrackControls(int32_t x, int32_t y) {
  std::vector<RuntimeObject*> controls = CollectWindowControls(mWindow);
  for (RuntimeObject* control : controls) RuntimeLockObject(control);
  bool open = WhileLocked(this, [&] {
    for (auto it = controls.rbegin(); it != controls.rend() && !mClosing; ++it) {
      ControlObject* ctl = AsControl(*it);
      SubPane* pane = ControlPane(ctl);
      if (ContainsPoint(pane, x, y) || !ctl->mouseInside) continue;
      ctl->mouseInside = 0;
      if (pane) pane->MouseExit();
      FireRectEvent(*it, kRectEventMouseExit);
    }
  });
  if (open) {
    WhileLocked(this, [&] {
      for (auto it = controls.rbegin(); it != controls.rend() && !mClosing; ++it) {
        ControlObject* ctl = AsControl(*it);
        SubPane* pane = ControlPane(ctl);
        if (!ContainsPoint(pane, x, y)) continue;
        if (!ctl->mouseInside) {
          ctl->mouseInside = 1;
          pane->MouseEnter();
          FireRectEvent(*it, kRectEventMouseEnter);
          pane = ControlPane(ctl);
          if (!pane || mClosing) continue;
        }
        int32_t left = pane->Bounds().left;
        int32_t top = pane->Bounds().top;
        pane->MouseMove(x - left, y - top);
        FireRectEvent(*it, kRectEventMouseMove, x - left, y - top);
      }
    });
  }
  for (RuntimeObject* control : controls) RuntimeUnlockObject(control);
}

void RuntimeViewWindow::MouseMove(int32_t x, int32_t y) {
  if (!mWindow || mClosing) return;
  PaneGuard guard(this);
  TrackControls(x, y);
  if (!guard.Get() || mClosing || !mWindow) return;
  RuntimeObject* window = mWindow;
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventMouseMove), x, y); });
}

void RuntimeViewWindow::PointerEntered() {
  if (!mWindow || mClosing) return;
  RuntimeObject* window = mWindow;
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventMouseEnter)); });
}

void RuntimeViewWindow::ExitAllControls() {
  std::vector<RuntimeObject*> inside;
  for (RuntimeObject* control : CollectWindowControls(mWindow)) {
    if (!AsControl(control)->mouseInside) continue;
    AsControl(control)->mouseInside = 0;
    RuntimeLockObject(control);
    inside.push_back(control);
  }
  for (RuntimeObject* control : inside) {
    if (SubPane* pane = ControlPane(AsControl(control))) pane->MouseExit();
    FireRectEvent(control, kRectEventMouseExit);
  }
  for (RuntimeObject* control : inside) RuntimeUnlockObject(control);
}

void RuntimeViewWindow::PointerLeft() {
  if (!mWindow || mClosing) return;
  RuntimeObject* window = mWindow;
  if (!WhileLocked(this, [&] { ExitAllControls(); })) return;
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventMouseExit)); });
}

bool RuntimeViewWindow::MouseWheel(int32_t x, int32_t y, int32_t delta) {
  if (!mWindow) return Window::MouseWheel(x, y, delta);
  std::vector<SubPane*> panes = Panes();
  for (auto it = panes.rbegin(); it != panes.rend(); ++it) {
    const auto& live = Panes();
    if (std::find(live.begin(), live.end(), *it) == live.end()) continue;
    SubPane* pane = *it;
    if (!pane->IsDisplayed() || !PointInRect(x, y, pane->AdjustedBounds())) continue;
    // A disabled control takes the wheel as it takes a click: nobody hears it.
    if (!pane->HearsInput()) return true;
    uint8_t handled = 0;
    RuntimeObject* control = ControlObjectOfPane(pane);
    int32_t left = pane->Bounds().left;
    int32_t top = pane->Bounds().top;
    bool open = WhileLocked(this, [&] {
      if (control && mWindow) {
        handled = FireRectEvent<uint8_t>(control, kRectEventMouseWheel, x - left, y - top, delta);
      }
    });
    if (!open || handled) return true;
    if (pane->MouseWheel(x, y, delta)) return true;
  }
  if (!mWindow || mClosing) return false;
  RuntimeObject* window = mWindow;
  uint8_t handled = 0;
  WhileLocked(this, [&] { handled = FireEvent<uint8_t>(window, WindowEventHook(kEventMouseWheel), x, y, delta); });
  return handled != 0;
}

bool RuntimeViewWindow::KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) {
  if (!mWindow || mClosing) return Window::KeyDown(character, keyCode, modifiers);
  RuntimeObject* window = mWindow;
  WindowObject* fields = AsWindowFields(window);
  // The windows embedded in this one that take keys themselves (their control takes no
  // focus) are offered the key first, innermost first; a window with the keyboard is shown,
  // whether or not its Visible was set (ShowModal).
  std::vector<RuntimeObject*> windows;
  CollectEmbeddedWindows(window, &windows);
  if (windows.empty() || windows.front() != window) windows.insert(windows.begin(), window);
  for (RuntimeObject* each : windows) RuntimeLockObject(each);
  const string key = KeyString(character);
  uint8_t handled = 0;
  bool open = true;
  for (auto it = windows.rbegin(); it != windows.rend() && open && !handled; ++it) {
    WindowObject* each = AsWindowFields(*it);
    if (!each->windowKeys || (*it == window && !(fields->visible || IsShown()))) continue;
    RuntimeObject* target = *it;
    open = WhileLocked(this, [&] { handled = FireEvent<uint8_t>(target, WindowEventHook(kEventKeyDown), key.Rep()); });
  }
  UnlockAll(windows);
  if (!open || handled) return true;
  return Window::KeyDown(character, keyCode, modifiers);
}

bool RuntimeViewWindow::TypeChar(int32_t character, int32_t keyCode, int32_t modifiers) {
  if (character <= 127) return KeyDown(character, keyCode, modifiers);
  if (mWindow && !mClosing) {
    RuntimeObject* window = mWindow;
    string key = KeyString(character);
    uint8_t handled = 0;
    bool open = WhileLocked(this, [&] { handled = FireEvent<uint8_t>(window, WindowEventHook(kEventKeyDown), key.Rep()); });
    if (!open || handled) return true;
  }
  return Window::TypeChar(character, keyCode, modifiers);
}

void RuntimeViewWindow::Activate() {
  if (!mClosing) Window::Activate();
  if (!mWindow || mClosing) return;
  ApplyMenuBarVisibility(this);
  RuntimeObject* window = mWindow;
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventActivate)); });
}

void RuntimeViewWindow::Deactivate() {
  if (mWindow && !mClosing) {
    RuntimeObject* window = mWindow;
    if (!WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventDeactivate)); })) return;
  }
  if (!mClosing) Window::Deactivate();
}

void RuntimeViewWindow::DropObject(DragItem*, int32_t, int32_t) {
  DragItem* item = GetCurrentDragItem();
  if (!mWindow || !item) return;
  RuntimeObject* window = mWindow;
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventDropObject), DragItemObjectOf(item)); });
}

void RuntimeViewWindow::Paint(Graphics* port) {
  if (!port) {
    ReportPaneAssertion(kWindowSource, __LINE__, "thePane");
    return;
  }
  if (!mWindow || mClosing) return;
  RuntimeObject* window = mWindow;
  if (Drawable* backdrop = PictureDrawable(AsWindowFields(window)->backdrop)) {
    int32_t width = 0, height = 0;
    backdrop->GetSize(&width, &height);
    port->DrawPicturePart(mBounds.left, mBounds.top, backdrop, 0, 0, width, height,
                          PictureFields(AsWindowFields(window)->backdrop)->transparent != 0);
  }
  if (!RuntimeGetHookHandler(window, WindowEventHook(kEventPaint))) return;
  // The port stays the pane's: the object takes it only for the event and gives it back.
  RuntimeObject* g = NewGraphicsObject(nullptr);
  if (!g) return;
  SetGraphicsObjectPort(g, port);
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventPaint), g); });
  DetachGraphicsObjectPort(g);
  RuntimeUnlockObject(g);
}

void RuntimeViewWindow::WindowMoved() {
  if (!mWindow || mClosing) return;
  RuntimeObject* window = mWindow;
  GetScreenBounds(&AsWindowFields(window)->bounds);
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventMoved)); });
}

void RuntimeViewWindow::WindowResized() {
  Window::WindowResized();
  if (!mWindow) return;
  RuntimeObject* window = mWindow;
  WindowObject* fields = AsWindowFields(window);
  GetScreenBounds(&fields->bounds);
  MoveTo(MakeRect(0, 0, fields->bounds.Width(), fields->bounds.Height()), true);
  if (mClosing || !fields->controlsCreated) return;
  WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventResized)); });
}

void RuntimeViewWindow::CheckResized(const Rect& screenBounds) {
  if (mWindow && !mClosing && !ResizeSettled()) {
    RuntimeObject* window = mWindow;
    WindowObject* fields = AsWindowFields(window);
    if (LiveResize()) {
      fields->bounds = screenBounds;
      MoveTo(MakeRect(0, 0, screenBounds.Width(), screenBounds.Height()), true);
    }
    if (fields->controlsCreated &&
        !WhileLocked(this, [&] { FireEvent(window, WindowEventHook(kEventResizing)); })) {
      return;
    }
  }
  RuntimeWindow::CheckResized(screenBounds);
}

void RuntimeViewWindow::GetSizeLimits(Rect* limits) {
  Window::GetSizeLimits(limits);
  if (!mWindow) return;
  const WindowObject* fields = AsWindowFields(mWindow);
  if (fields->minHeight) limits->top = fields->minHeight;
  if (fields->minWidth) limits->left = fields->minWidth;
  if (fields->maxHeight) limits->bottom = fields->maxHeight;
  if (fields->maxWidth) limits->right = fields->maxWidth;
}

bool RuntimeViewWindow::CloseBoxClicked() {
  // The window is closed here or kept: GTK must never destroy it by itself.
  if (!mWindow) {
    Close();
    return true;
  }
  RuntimeObject* window = mWindow;
  RuntimeLockObject(window);
  RuntimeWindowDoClose(window, false);
  RuntimeUnlockObject(window);
  return true;
}

void RuntimeViewWindow::MarkMinimized() {
  Window::MarkMinimized();
  if (mWindow && mMinimizeHandler) CallEventHandler(mMinimizeHandler, mWindow);
}

void RuntimeViewWindow::MarkMaximized() {
  Window::MarkMaximized();
  if (mWindow && mMaximizeHandler) CallEventHandler(mMaximizeHandler, mWindow);
}

void RuntimeViewWindow::ClearWindowState() {
  Window::ClearWindowState();
  if (mWindow && mRestoreHandler) CallEventHandler(mRestoreHandler, mWindow);
}

}  // namespace vorn
