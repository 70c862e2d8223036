// Positions and sizes of controls. Bounds are stored in the outermost window's coordinates;
// Left and Top are read and written in the coordinates of the control's own window, which
// for an embedded window differ by the origins of the window levels in between.
#include <cstdint>

#include "objects/runtime_object.h"
#include "strings/pinned_int.h"
#include "windows/control_containment.h"
#include "windows/window.h"

namespace vorn {

namespace {

enum PositionSelector : int32_t { kPosLeft = 0, kPosTop = 1, kPosWidth = 2, kPosHeight = 3 };

// Moves the stored bounds of every enclosed control with a pane; their panes follow the
// container's native move by themselves.
void ShiftEnclosed(ControlObject* ctl, int32_t dh, int32_t dv, int32_t depth) {
  if (depth > kMaxControlNesting || (dh == 0 && dv == 0)) return;
  for (ControlObject* c : EnclosedControls(ctl)) {
    Rect r = GetControlBounds(c);
    OffsetRect(&r, dh, dv);
    SetControlBounds(c, r);
    if (IsEmbeddedWindowControl(AsObject(c))) ShiftEnclosed(c, dh, dv, depth + 1);
  }
}

// Values from compiled code and packed streams may be anything: sums are taken in 64 bits and
// pinned, so no arithmetic overflows; MakeRect clamps further to the 16-bit bounds.

// The difference is taken in 16 bits, as the bounds are.
int32_t Delta16(int64_t value, int32_t old) {
  return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(value) - static_cast<uint64_t>(old)));
}

// The bounds with one edge value applied: Left and Top move the rectangle, Width and Height
// move the right or bottom edge.
Rect ApplyPosition(const Rect& r, int32_t which, int64_t value) {
  switch (which) {
    case kPosLeft: return MakeRect(PinToInt32(value), r.top, PinToInt32(value + r.Width()), r.bottom);
    case kPosTop: return MakeRect(r.left, PinToInt32(value), r.right, PinToInt32(value + r.Height()));
    case kPosWidth: return MakeRect(r.left, r.top, PinToInt32(int64_t{r.left} + value), r.bottom);
    default: return MakeRect(r.left, r.top, r.right, PinToInt32(int64_t{r.top} + value));
  }
}

// An embedded-window control first moves or resizes its template window.
void MoveTemplateWindow(ControlObject* ctl, int32_t which, int32_t value) {
  RuntimeObject* view = TemplateWindowOf(AsObject(ctl));
  if (!view) {
    ReportControlAssertion(__LINE__, "view");
    return;
  }
  const ControlWindowHooks& hooks = GetControlWindowHooks();
  if (!hooks.windowBounds || !hooks.setWindowBounds) return;
  Rect r = ApplyPosition(hooks.windowBounds(view), which, value);
  hooks.setWindowBounds(view, r);
  Window* native = hooks.nativeWindow ? hooks.nativeWindow(view) : nullptr;
  if (!native || (hooks.isFullScreen && hooks.isFullScreen(view))) return;
  if (which == kPosLeft || which == kPosTop) {
    native->MoveWindow(r.left, r.top, true);
  } else {
    native->SetWindowBounds(r.Width(), r.Height(), true);
  }
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

int32_t ctlPosGetter(VornRuntimeObject* ctl, int32_t which) {
  ControlObject* c = AsControl(ctl);
  if (!c) return 0;
  Rect r = GetControlBounds(c);
  int32_t dh, dv;
  switch (which) {
    case kPosLeft:
      EmbeddedWindowOffset(c->window, &dh, &dv);
      return r.left - dh;
    case kPosTop:
      EmbeddedWindowOffset(c->window, &dh, &dv);
      return r.top - dv;
    case kPosWidth: return r.Width();
    case kPosHeight: return r.Height();
    default: return 0;
  }
}

void ctlPosSetter(VornRuntimeObject* ctl, int32_t which, int32_t value) {
  ControlObject* c = AsControl(ctl);
  if (!c || which < kPosLeft || which > kPosHeight) return;
  if (IsEmbeddedWindowControl(ctl)) MoveTemplateWindow(c, which, value);
  int64_t v = value;
  if (which == kPosLeft || which == kPosTop) {
    int32_t dh, dv;
    EmbeddedWindowOffset(c->window, &dh, &dv);
    v += which == kPosLeft ? dh : dv;
  }
  Rect old = GetControlBounds(c);
  Rect r = ApplyPosition(old, which, v);
  SetControlBounds(c, r);
  if (which == kPosLeft) ShiftEnclosed(c, Delta16(v, old.left), 0, 0);
  if (which == kPosTop) ShiftEnclosed(c, 0, Delta16(v, old.top), 0);
  SubPane* pane = ControlPane(c);
  if (EqualRect(r, old) || !pane) return;
  if (which == kPosWidth || which == kPosHeight) {
    pane->MoveTo(r, false);
  } else {
    pane->SetBounds(r, true);
  }
}

void RuntimeControlMove(VornRuntimeObject* ctl, int32_t left, int32_t top, int32_t width, int32_t height) {
  ControlObject* c = AsControl(ctl);
  if (!c) return;
  if (IsEmbeddedWindowControl(ctl)) {
    RuntimeObject* view = TemplateWindowOf(ctl);
    if (auto move = GetControlWindowHooks().windowMove; view && move) move(view, left, top, width, height);
    return;
  }
  int32_t dh, dv;
  EmbeddedWindowOffset(c->window, &dh, &dv);
  int64_t l = int64_t{left} + dh;
  int64_t t = int64_t{top} + dv;
  Rect old = GetControlBounds(c);
  Rect r = MakeRect(PinToInt32(l), PinToInt32(t), PinToInt32(l + width), PinToInt32(t + height));
  SetControlBounds(c, r);
  ShiftEnclosed(c, Delta16(l, old.left), 0, 0);
  ShiftEnclosed(c, 0, Delta16(t, old.top), 0);
  SubPane* pane = ControlPane(c);
  if (!pane) return;
  if (r.Width() == old.Width() && r.Height() == old.Height()) {
    pane->SetBounds(r, false);
  } else {
    pane->MoveTo(r, false);
  }
}

}  // extern "C"
