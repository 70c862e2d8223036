// The routers that turn a scroller pane's notices into the ScrollBar and Slider events. A
// busy count keeps events from firing while the pane is filled and while a ValueChanged
// handler of the same control runs (a handler that sets Value does not hear itself).
#pragma once

#include <cstdint>

#include "controls/scroller.h"

namespace vorn {

struct ScrollerEventHooks {
  const ObjectHook* valueChanged = nullptr;
  const ObjectHook* gotFocus = nullptr;
  const ObjectHook* lostFocus = nullptr;
  ControlMouseHooks mouse;
};

// The ScrollBar and Slider fields, in the order the control objects keep them after the
// router pointer.
struct ScrollerFields {
  int32_t minimum;
  int32_t value;
  int32_t maximum;
  int32_t lineStep;
  int32_t pageStep;
  uint8_t liveScroll;
  uint8_t acceptFocus;
};

class RuntimeScrollerRouter : public ScrollerDelegate {
 public:
  RuntimeScrollerRouter(RuntimeObject* control, const ScrollerEventHooks* hooks);

  void ValueChanged(Scroller* pane, int32_t previous, int32_t value) override;
  void GotFocus(Scroller* pane) override;
  void LostFocus(Scroller* pane) override;

  int32_t BusyCount() const { return mBusy; }
  void Enter() { ++mBusy; }
  void Leave() { --mBusy; }
  RuntimeObject* Control() const { return mControl; }

 protected:
  void FireFocus(Scroller* pane, const ObjectHook* hook);

  int32_t mBusy = 0;
  RuntimeObject* mControl;
  const ScrollerEventHooks* mHooks;
};

// Sliders route the same events; their hooks are the Slider class's.
using RuntimeSliderRouter = RuntimeScrollerRouter;

// Copies a control's fields into its new pane the way ScrollBar and Slider creation does:
// bounds first (minimum before maximum, so a range waits for its other end), then steps and
// value; no event fires for what the pane receives while the router is busy.
void FillScrollerPane(Scroller* pane, RuntimeScrollerRouter* router, const ScrollerFields& fields);

}  // namespace vorn
