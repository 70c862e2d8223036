// The native pane of scroll bars and sliders: one GtkRange (a scroll bar or a scale) whose
// adjustment holds integer bounds, value and steps. Value changes go to a ScrollerDelegate;
// clicks, drags and releases go to the owning control's events.
#pragma once

#include <cstdint>

#include "controls/control_hooks.h"
#include "windows/container_pane.h"

struct _GtkAdjustment;

namespace vorn {

class Scroller;

class ScrollerDelegate {
 public:
  virtual ~ScrollerDelegate() = default;
  virtual void ValueChanged(Scroller* pane, int32_t previous, int32_t value);
  virtual void GotFocus(Scroller* pane);
  virtual void LostFocus(Scroller* pane);
};

class Scroller : public ContainerPane {
 public:
  // Horizontal when the bounds are at least as wide as they are high.
  static Scroller* NewScrollBar(ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                                const Rect& bounds, bool liveScroll);
  static Scroller* NewSlider(ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                             const Rect& bounds, bool liveScroll);
  static Scroller* NewHorizontal(ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                                 const Rect& bounds, bool liveScroll, bool slider);
  static Scroller* NewVertical(ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
                               const Rect& bounds, bool liveScroll, bool slider);

  Scroller(bool vertical, ScrollerDelegate* delegate, SubPane* parent, int32_t tabPanelIndex,
           const Rect& bounds, bool liveScroll, bool slider);

  virtual int32_t GetValue();
  virtual void SetValue(int32_t value);
  // A bound that would leave the range empty is held pending (the pane shows disabled) until
  // the other bound makes the pair valid; the GTK range is never empty.
  virtual void SetMinimum(int32_t minimum);
  virtual void SetMaximum(int32_t maximum);

  int32_t GetMinimum();
  int32_t GetMaximum();
  int32_t GetLineStep();
  int32_t GetPageStep();
  void SetLineStep(int32_t step);
  void SetPageStep(int32_t step);

  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  bool MouseWheel(int32_t x, int32_t y, int32_t delta) override;
  void GotFocus() override;
  void LostFocus() override;
  bool GetFocusRingRect(Rect* r) override;
  void DrawInto(Graphics* port) override;

  // The owning control and its class's mouse events; nil for panes of no control.
  void SetOwner(RuntimeObject* owner, const ControlMouseHooks* hooks);
  RuntimeObject* Owner() const { return mOwner; }
  ScrollerDelegate* Delegate() const { return mDelegate; }
  // A control that dies before its pane takes its router along: the pane must forget it.
  void SetScrollerDelegate(ScrollerDelegate* delegate) { mDelegate = delegate; }
  bool IsSlider() const { return mSlider; }
  bool IsVertical() const { return mVertical; }
  int32_t WheelStep() const { return mWheelStep; }
  void SetWheelStep(int32_t step) { mWheelStep = step; }
  bool AcceptFocus() const { return mAcceptFocus; }
  void SetAcceptFocus(bool accept) { mAcceptFocus = accept; }
  bool LiveScroll() const { return mLiveScroll; }
  void SetLiveScroll(bool live) { mLiveScroll = live; }
  bool MinimumPending() const { return mMinimumPending; }
  bool MaximumPending() const { return mMaximumPending; }

  // The "value-changed" handling: reports an integer change to the delegate once.
  void HandleValueChanged();

 private:
  _GtkAdjustment* Adjustment(int32_t line);
  void DrawSliderInto(Graphics* port);
  void AbsorbOwnChange();

  bool mSlider;
  int32_t mLastValue = 0;
  ScrollerDelegate* mDelegate;
  int32_t mWheelStep = 0;
  bool mAcceptFocus = false;
  bool mLiveScroll;
  RuntimeObject* mOwner = nullptr;
  const ControlMouseHooks* mHooks = nullptr;
  bool mVertical;
  bool mMaximumPending = false;
  bool mMinimumPending = false;
  int32_t mPendingMaximum = 0;
  int32_t mPendingMinimum = 0;
  bool mReporting = false;  // a value change is being reported to the delegate
};

// Paints a scroll bar in the widget's GTK style into the port's drawable, between the corners
// given in port coordinates. Used by scroll-bar panes and by edit fields' scroll bars.
void PaintScrollBar(NativeWidget widget, Graphics* port, const Rect& bounds, bool vertical,
                    bool enabled, int32_t value, int32_t maximum);

// Where a thumb of `thumb` pixels starts along a trough of `length` pixels for value in
// minimum..maximum: at the start when the trough is too short or the range is empty.
int32_t SliderThumbOffset(int32_t length, int32_t thumb, int32_t value, int32_t minimum,
                          int32_t maximum);

}  // namespace vorn
