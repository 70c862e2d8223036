// RuntimeCanvas: exposes and Paint, the backdrop, mouse, keys, focus, states and scrolling.
#include "controls/canvas_pane.h"

#include <gtk/gtk.h>

#include "windows/pane_port.h"
#include "graphics/graphics.h"
#include "graphics/graphics_object.h"
#include "graphics/graphics_state.h"
#include "graphics/picture_object.h"
#include "strings/pinned_int.h"
#include "strings/rect.h"
#include "strings/system_encoding.h"
#include "strings/utf8.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"
#include "windows/window.h"

namespace vorn {

namespace {

// The language's Graphics and Picture classes.
CanvasGraphicsServices DefaultServices() {
  CanvasGraphicsServices services;
  services.newGraphicsObject = &NewGraphicsObject;
  services.detachGraphicsPort = &DetachGraphicsObjectPort;
  services.graphicsPort = &GraphicsObjectPort;
  services.drawBackdrop = &DrawPictureBackdrop;
  return services;
}

CanvasGraphicsServices sServices = DefaultServices();
bool sContextualClick = false;
constexpr int32_t kDefaultExtent = -10000;

}  // namespace

void SetCanvasGraphicsServices(const CanvasGraphicsServices& services) { sServices = services; }
const CanvasGraphicsServices& GetCanvasGraphicsServices() { return sServices; }
bool IsContextualClickInProgress() { return sContextualClick; }

RuntimeObject* CanvasGraphicsObject(RuntimeCanvas* pane, CanvasFields* fields) {
  if (!pane || !fields) return nullptr;
  if (!fields->graphics) {
    if (!sServices.newGraphicsObject) return nullptr;
    Graphics* port = pane->GetGraphics();
    if (!port) return nullptr;
    fields->graphics = sServices.newGraphicsObject(port);
    if (!fields->graphics) return nullptr;
  }
  if (sServices.graphicsPort) {
    if (Graphics* port = sServices.graphicsPort(fields->graphics)) port->SetClipRect(pane->Bounds());
  }
  RuntimeLockObject(fields->graphics);
  return fields->graphics;
}

RuntimeCanvas::RuntimeCanvas(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, bool shown)
    : ContainerPane(parent, tabPanelIndex, bounds), mShown(shown) {
  EnsurePanePorts();
  SetWidget(gtk_fixed_new());
  AddPaneToWindow(this, true);
  ConnectExposeHandler(this);
}

void RuntimeCanvas::SetOwner(RuntimeObject* owner, const CanvasHooks* hooks, CanvasFields* fields) {
  mOwner = owner;
  mHooks = hooks;
  mFields = fields;
}

// --- drawing -------------------------------------------------------------------------------

void RuntimeCanvas::DrawBackdrop(Graphics* port, int32_t h, int32_t v) {
  if (!mFields || !mFields->backdrop || !sServices.drawBackdrop) return;
  mFields->backdropImage = sServices.drawBackdrop(port, mFields->backdrop, h, v, mWidth, mHeight);
}

void RuntimeCanvas::FirePaint(Graphics* port) {
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->paint) : nullptr;
  if (!handler || !sServices.newGraphicsObject) {
    DisposePaneGraphics(port);
    return;
  }
  RuntimeObject* graphics = sServices.newGraphicsObject(port);
  if (!graphics) return;  // the port went with the failed object
  ++mPaintCount;
  CallEventHandler(handler, mOwner, graphics);
  RuntimeUnlockObject(graphics);
}

void RuntimeCanvas::Draw(Graphics* port) {
  if (!port || !mShown || !mVisible) return;
  Rect frame;
  if (!GetFrameBounds(&frame) || !IntersectRect(frame, mBounds, &frame)) return;
  port->SetClipRect(frame);
  if (mTemplate && mTemplate->HasBackColor()) {
    GraphicsState state;
    state.Save(port);
    port->SetForeColor(ColorToRGB48(mTemplate->BackColor()));
    port->FillRect(frame);
    state.Restore();
  }
  DrawBackdrop(port, mBounds.left, mBounds.top);
  if (!mHooks || !OwnerHandler(mOwner, mHooks->paint)) return;
  // Paint draws through a port of its own, which the Graphics object takes over.
  Graphics* paintPort = GetGraphics();
  if (!paintPort) return;
  paintPort->SetClipRect(frame);
  FirePaint(paintPort);
}

void RuntimeCanvas::DrawInto(Graphics* port) {
  if (!port || !mShown || !mVisible) return;
  DrawBackdrop(port, mBounds.left, mBounds.top);
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->paint) : nullptr;
  if (handler && sServices.newGraphicsObject && sServices.detachGraphicsPort) {
    ClipSaver clip(port);
    port->SetClipRect(mBounds);
    int32_t originH = port->OriginH();
    int32_t originV = port->OriginV();
    port->SetOrigin(originH - mBounds.left, originV - mBounds.top);
    if (RuntimeObject* graphics = sServices.newGraphicsObject(port)) {
      ++mPaintCount;
      CallEventHandler(handler, mOwner, graphics);
      // The port is the caller's: the object must not dispose of it.
      sServices.detachGraphicsPort(graphics);
      RuntimeUnlockObject(graphics);
    }
    port->SetOrigin(originH, originV);
  }
  // Children only: the canvas's own drawing is done above.
  const PanePortHooks& hooks = GetPanePortHooks();
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    if (!child->IsDisplayed()) continue;
    ClipSaver clip(port);
    if (hooks.setClipRect) hooks.setClipRect(port, child->Bounds());
    child->DrawInto(port);
  }
}

// --- mouse ---------------------------------------------------------------------------------

bool RuntimeCanvas::MouseDown(int32_t x, int32_t y, int32_t) {
  if (!mEnabled || !mHooks) return false;
  void* handler = OwnerHandler(mOwner, mHooks->mouse.mouseDown);
  if (!handler) return false;
  if (!LockHierarchy()) return true;
  uint8_t take = CallEventHandler<uint8_t>(handler, mOwner, x - mBounds.left, y - mBounds.top);
  if (UnlockHierarchy()) return true;
  if (!take) return false;
  SetMouseCapturePane(this);
  return true;
}

bool RuntimeCanvas::ContextualClick(int32_t x, int32_t y, int32_t modifiers) {
  if (SubPane::ContextualClick(x, y, modifiers)) return true;
  if (!PointInRect(x, y, AdjustedBounds())) return false;
  bool saved = sContextualClick;
  sContextualClick = true;
  bool handled = MouseDown(x, y, modifiers);
  sContextualClick = saved;
  return handled;
}

void RuntimeCanvas::MouseDrag(int32_t x, int32_t y) {
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->mouse.mouseDrag) : nullptr;
  if (!handler || !LockHierarchy()) return;
  CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
  UnlockHierarchy();
}

void RuntimeCanvas::MouseUp(int32_t x, int32_t y) {
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->mouse.mouseUp) : nullptr;
  if (!handler || !LockHierarchy()) return;
  CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
  UnlockHierarchy();
}

// --- keys ----------------------------------------------------------------------------------

bool RuntimeCanvas::FireKey(const string& key) {
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->keyDown) : nullptr;
  if (!handler) return false;
  if (!LockHierarchy()) return true;
  uint8_t handled = CallEventHandler<uint8_t>(handler, mOwner, key.Rep());
  if (UnlockHierarchy()) return true;
  return handled != 0;
}

bool RuntimeCanvas::KeyDown(int32_t character, int32_t, int32_t) {
  // Tab moves the focus on unless the canvas asked for tabs.
  if (character == 9 && !(mFields && mFields->acceptTabs)) return false;
  uint8_t byte = static_cast<uint8_t>(character);
  return FireKey(string(&byte, 1, GetSystemTextEncoding()));
}

bool RuntimeCanvas::TypeChar(int32_t character, int32_t keyCode, int32_t modifiers) {
  if (character > 127) return FireKey(CodePointToString(static_cast<uint32_t>(character), kEncodingUTF8));
  return KeyDown(character & 0xFF, keyCode, modifiers);
}

// --- focus and states ----------------------------------------------------------------------

void RuntimeCanvas::FireSimple(const ObjectHook* hook) {
  void* handler = OwnerHandler(mOwner, hook);
  if (!handler || !LockHierarchy()) return;
  CallEventHandler(handler, mOwner);
  UnlockHierarchy();
}

bool RuntimeCanvas::CanFocus() {
  return mFields && mFields->acceptFocus && mEnabled && mShown && IsDisplayed();
}

void RuntimeCanvas::GotFocus() {
  // With no GTK focus widget the window's key presses come to the canvas.
  if (Window* window = GetWindow()) {
    if (NativeWidget top = window->GtkWindowWidget()) gtk_window_set_focus(GTK_WINDOW(top), nullptr);
  }
  if (mHooks) FireSimple(mHooks->gotFocus);
}

void RuntimeCanvas::LostFocus() {
  if (mHooks) FireSimple(mHooks->lostFocus);
}

bool RuntimeCanvas::GetFocusRingRect(Rect* r) {
  *r = mBounds;
  InsetRect(*r, -3, -3);
  return true;
}

int32_t RuntimeCanvas::ChangeState(int32_t code) {
  if (code == kPaneStateShow || code == kPaneStateHide) {
    bool shown = code == kPaneStateShow;
    if (shown != mShown) {
      mShown = shown;
      Invalidate(true);
    }
  }
  return SubPane::ChangeState(code);
}

void RuntimeCanvas::EnableMenuItems() {
  if (mHooks && mOwner) {
    void* handler = OwnerHandler(mOwner, mHooks->enableMenuItems);
    if (handler && LockHierarchy()) {
      CallEventHandler(handler, mOwner);
      if (UnlockHierarchy()) return;
    }
  }
  SubPane::EnableMenuItems();
}

bool RuntimeCanvas::BecomeCurrent() { return mClosing ? false : SubPane::BecomeCurrent(); }

void RuntimeCanvas::Activate() {
  SubPane::Activate();
  if (mTemplate) mTemplate->Activate();
}

void RuntimeCanvas::Deactivate() {
  if (mTemplate) mTemplate->Deactivate();
  SubPane::Deactivate();
}

// --- geometry ------------------------------------------------------------------------------

void RuntimeCanvas::SetBounds(const Rect& r, bool redraw) {
  Rect old = mBounds;
  SubPane::SetBounds(r, redraw);
  if (!mTemplate) return;
  mTemplate->FollowBounds(mBounds);
  if (old.left != mBounds.left || old.top != mBounds.top) mTemplate->Moved();
}

void RuntimeCanvas::MoveTo(const Rect& r, bool redraw) {
  bool sameSize = r.Width() == mBounds.Width() && r.Height() == mBounds.Height();
  if (mTemplate && sameSize && redraw) {
    // Only a move: the template hears Moved, not Resized.
    SetBounds(r, true);
    return;
  }
  SubPane::MoveTo(r, redraw);
  if (!mTemplate) return;
  mTemplate->FollowBounds(mBounds);
  mTemplate->Resized(redraw);
}

void RuntimeCanvas::Scroll(int32_t dx, int32_t dy, int32_t x, int32_t y, int32_t width,
                           int32_t height, bool moveControls) {
  if (dx == 0 && dy == 0) return;
  if (width == kDefaultExtent) width = mWidth;
  if (height == kDefaultExtent) height = mHeight;
  const int32_t left = AddPinned(mBounds.left, x);
  const int32_t top = AddPinned(mBounds.top, y);
  ScrollRect(MakeRect(left, top, AddPinned(left, width), AddPinned(top, height)), dx, dy);
  if (!moveControls) return;
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    Rect moved = child->Bounds();
    MoveRectWhole(moved, dx, dy);
    child->SetBounds(moved, false);
  }
}

}  // namespace vorn
