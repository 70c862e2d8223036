// Scroller: construction, the adjustment's values and bounds, and the pane's events.
#include "controls/scroller.h"

#include <gtk/gtk.h>

#include <cmath>
#include <limits>

#include "controls/control_assert.h"
#include "windows/pane_port.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"
#include "windows/window.h"

namespace vorn {

// --- delegate defaults -------------------------------------------------------------------

void ScrollerDelegate::ValueChanged(Scroller*, int32_t, int32_t) {}
void ScrollerDelegate::GotFocus(Scroller*) {}
void ScrollerDelegate::LostFocus(Scroller*) {}

namespace {

void OnValueChanged(GtkRange*, gpointer data) { static_cast<Scroller*>(data)->HandleValueChanged(); }

// A bar built inside another control (a list's) hears its press here, before the control
// does; a press the window routed was heard there already.
gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  auto* pane = static_cast<Scroller*>(data);
  if (!ClaimPress(*event)) return FALSE;
  int32_t h = 0, v = 0;
  // Where the press happened: the pointer may have moved on since.
  GetWindowPoint(pane->GetWindow(), static_cast<int32_t>(event->x_root), static_cast<int32_t>(event->y_root), &h, &v);
  return pane->MouseDown(h, v, ModifiersFromGdkState(event->state)) ? TRUE : FALSE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  DeliverMouseUp(static_cast<Scroller*>(data), *event);
  return FALSE;
}

// GTK would move a control's range by steps of its own (a scroll bar's by nothing at all):
// the wheel goes to the window instead, which raises the control's MouseWheel and then moves
// the value by the line step. The list box's own bars keep GTK's wheel.
gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  auto* pane = static_cast<Scroller*>(data);
  if (!pane->Owner()) return FALSE;
  if (Window* window = pane->GetWindow(); window && event->type == GDK_SCROLL) window->HandleScroll(event->direction);
  return TRUE;
}

// GTK keeps doubles; the language sees them cut toward zero and held inside Integer.
int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(value);
}

}  // namespace

// --- construction ------------------------------------------------------------------------

Scroller* Scroller::NewHorizontal(ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                                  const Rect& bounds, bool liveScroll, bool slider) {
  return new Scroller(false, delegate, parent, tabPanelIndex, bounds, liveScroll, slider);
}

Scroller* Scroller::NewVertical(ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                                const Rect& bounds, bool liveScroll, bool slider) {
  return new Scroller(true, delegate, parent, tabPanelIndex, bounds, liveScroll, slider);
}

Scroller* Scroller::NewScrollBar(ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                                 const Rect& bounds, bool liveScroll) {
  bool vertical = bounds.Width() < bounds.Height();
  return new Scroller(vertical, delegate, parent, tabPanelIndex, bounds, liveScroll, false);
}

Scroller* Scroller::NewSlider(ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                              const Rect& bounds, bool liveScroll) {
  bool vertical = bounds.Width() < bounds.Height();
  return new Scroller(vertical, delegate, parent, tabPanelIndex, bounds, liveScroll, true);
}

Scroller::Scroller(bool vertical, ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                   const Rect& bounds, bool liveScroll, bool slider)
    : ContainerPane(parent, tabPanelIndex, bounds),
      mSlider(slider),
      mDelegate(delegate),
      mLiveScroll(liveScroll),
      mVertical(vertical) {
  EnsurePanePorts();
  GtkWidget* widget;
  if (slider) {
    widget = vertical ? gtk_vscale_new(nullptr) : gtk_hscale_new(nullptr);
    gtk_scale_set_draw_value(GTK_SCALE(widget), FALSE);
  } else {
    widget = vertical ? gtk_vscrollbar_new(nullptr) : gtk_hscrollbar_new(nullptr);
  }
  gtk_range_set_update_policy(GTK_RANGE(widget),
                              liveScroll ? GTK_UPDATE_CONTINUOUS : GTK_UPDATE_DISCONTINUOUS);
  SetWidget(widget);
  AddPaneToWindow(this, IsDisplayed());
  gtk_range_set_range(GTK_RANGE(widget), 0.0, 100.0);
  gtk_range_set_increments(GTK_RANGE(widget), 1.0, 20.0);
  g_signal_connect(widget, "value-changed", G_CALLBACK(OnValueChanged), this);
  ConnectGrabFocusHandler(this);
  gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
  g_signal_connect(widget, "button-press-event", G_CALLBACK(OnButtonPress), this);
  g_signal_connect(widget, "button-release-event", G_CALLBACK(OnButtonRelease), this);
  g_signal_connect(widget, "scroll-event", G_CALLBACK(OnScroll), this);
}

void Scroller::SetOwner(RuntimeObject* owner, const ControlMouseHooks* hooks) {
  mOwner = owner;
  mHooks = hooks;
}

// --- values and bounds -------------------------------------------------------------------

GtkAdjustment* Scroller::Adjustment(int32_t line) {
  GtkAdjustment* adjustment = mWidget ? gtk_range_get_adjustment(GTK_RANGE(mWidget)) : nullptr;
  if (!adjustment) ReportControlAssertion(kScrollBarSource, line, "adjustment");
  return adjustment;
}

int32_t Scroller::GetValue() {
  return mWidget ? TruncateToInt32(gtk_range_get_value(GTK_RANGE(mWidget))) : 0;
}

void Scroller::SetValue(int32_t value) {
  if (mWidget) gtk_range_set_value(GTK_RANGE(mWidget), value);
  AbsorbOwnChange();
}

int32_t Scroller::GetMinimum() {
  if (mMinimumPending) return mPendingMinimum;
  GtkAdjustment* adjustment = Adjustment(214);
  return adjustment ? TruncateToInt32(adjustment->lower) : 0;
}

int32_t Scroller::GetMaximum() {
  if (mMaximumPending) return mPendingMaximum;
  GtkAdjustment* adjustment = Adjustment(231);
  return adjustment ? TruncateToInt32(adjustment->upper) : 0;
}

void Scroller::SetMinimum(int32_t minimum) {
  int32_t maximum = GetMaximum();
  if (maximum <= minimum) {
    SetEnabled(false, true);
    mMinimumPending = true;
    mPendingMinimum = minimum;
    return;
  }
  if (mWidget) gtk_range_set_range(GTK_RANGE(mWidget), minimum, maximum);
  // Only a pending bound disabled the pane; an Enabled of False stays as compiled code set it.
  if (mMinimumPending || mMaximumPending) SetEnabled(true, true);
  mMinimumPending = false;
  mMaximumPending = false;
  AbsorbOwnChange();
}

void Scroller::SetMaximum(int32_t maximum) {
  int32_t minimum = GetMinimum();
  if (maximum <= minimum) {
    SetEnabled(false, true);
    mMaximumPending = true;
    mPendingMaximum = maximum;
    return;
  }
  if (mWidget) gtk_range_set_range(GTK_RANGE(mWidget), minimum, maximum);
  if (mMinimumPending || mMaximumPending) SetEnabled(true, true);
  mMinimumPending = false;
  mMaximumPending = false;
  if (GetValue() > maximum) SetValue(maximum);
  AbsorbOwnChange();
}

int32_t Scroller::GetLineStep() {
  GtkAdjustment* adjustment = Adjustment(268);
  return adjustment ? TruncateToInt32(adjustment->step_increment) : 0;
}

int32_t Scroller::GetPageStep() {
  GtkAdjustment* adjustment = Adjustment(279);
  return adjustment ? TruncateToInt32(adjustment->page_increment) : 0;
}

void Scroller::SetLineStep(int32_t step) {
  GtkAdjustment* adjustment = Adjustment(290);
  if (adjustment) gtk_range_set_increments(GTK_RANGE(mWidget), step, adjustment->page_increment);
}

void Scroller::SetPageStep(int32_t step) {
  GtkAdjustment* adjustment = Adjustment(301);
  if (adjustment) gtk_range_set_increments(GTK_RANGE(mWidget), adjustment->step_increment, step);
}

void Scroller::HandleValueChanged() {
  int32_t value = GetValue();
  if (value == mLastValue) return;
  int32_t previous = mLastValue;
  mLastValue = value;
  if (!mDelegate) return;
  PaneGuard guard(this);
  mReporting = true;
  mDelegate->ValueChanged(this, previous, value);
  if (guard.Get()) mReporting = false;
}

void Scroller::AbsorbOwnChange() {
  // GTK does not nest "value-changed": a change made while it is being reported arrives
  // after the report. It belongs to the report's handler and is taken as known.
  if (mReporting) mLastValue = GetValue();
}

// --- events ------------------------------------------------------------------------------

bool Scroller::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  void* handler = mEnabled && mHooks ? OwnerHandler(mOwner, mHooks->mouseDown) : nullptr;
  if (handler) {
    Lock();
    uint8_t take = CallEventHandler<uint8_t>(handler, mOwner, x - mBounds.left, y - mBounds.top);
    if (Release()) return true;
    if (take) {
      SetMouseCapturePane(this);
      return true;
    }
  }
  return SubPane::MouseDown(x, y, modifiers);
}

void Scroller::MouseDrag(int32_t x, int32_t y) {
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->mouseDrag) : nullptr;
  if (!handler) return;
  Lock();
  CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
  Release();
}

void Scroller::MouseUp(int32_t x, int32_t y) {
  void* handler = mHooks ? OwnerHandler(mOwner, mHooks->mouseUp) : nullptr;
  if (handler) CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
}

// The window's wheel dispatch has given the control's MouseWheel event the first say, and
// gives a disabled control nothing.
bool Scroller::MouseWheel(int32_t, int32_t, int32_t delta) {
  int64_t value = int64_t{GetValue()} + int64_t{delta} * mWheelStep;
  if (value > std::numeric_limits<int32_t>::max()) value = std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) value = std::numeric_limits<int32_t>::min();
  SetValue(static_cast<int32_t>(value));
  return true;
}

void Scroller::GotFocus() {
  if (mDelegate && !mClosing) mDelegate->GotFocus(this);
}

void Scroller::LostFocus() {
  if (mDelegate && !mClosing) mDelegate->LostFocus(this);
}

bool Scroller::GetFocusRingRect(Rect* r) {
  *r = mBounds;
  return true;
}

}  // namespace vorn
