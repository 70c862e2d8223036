#include "controls/scroller_router.h"

namespace vorn {

RuntimeScrollerRouter::RuntimeScrollerRouter(RuntimeObject* control, const ScrollerEventHooks* hooks)
    : mControl(control), mHooks(hooks) {}

void RuntimeScrollerRouter::ValueChanged(Scroller*, int32_t previous, int32_t) {
  if (mBusy != 0) return;
  mBusy = 1;
  void* handler = mHooks ? OwnerHandler(mControl, mHooks->valueChanged) : nullptr;
  // The event declares no parameters; the previous value rides along as a second word. A
  // handler that lets the control go leaves this router until the dispatch is over.
  if (handler) CallEventHandler(handler, mControl, previous);
  --mBusy;
}

void RuntimeScrollerRouter::FireFocus(Scroller* pane, const ObjectHook* hook) {
  void* handler = OwnerHandler(mControl, hook);
  if (!handler) return;
  pane->Lock();
  CallEventHandler(handler, mControl);
  pane->Release();
}

void RuntimeScrollerRouter::GotFocus(Scroller* pane) {
  if (mHooks) FireFocus(pane, mHooks->gotFocus);
}

void RuntimeScrollerRouter::LostFocus(Scroller* pane) {
  if (mHooks) FireFocus(pane, mHooks->lostFocus);
}

void FillScrollerPane(Scroller* pane, RuntimeScrollerRouter* router, const ScrollerFields& fields) {
  pane->SetWheelStep(fields.lineStep);
  pane->SetLiveScroll(fields.liveScroll != 0);
  router->Enter();
  pane->SetMinimum(fields.minimum);
  pane->SetMaximum(fields.maximum);
  if (!pane->IsSlider()) {
    pane->SetLineStep(fields.lineStep);
    pane->SetPageStep(fields.pageStep);
  }
  pane->SetValue(fields.value);
  if (!pane->IsSlider()) pane->SetAcceptFocus(fields.acceptFocus != 0);
  router->Leave();
  // A slider's steps come after: changing them moves no value.
  if (pane->IsSlider()) {
    pane->SetLineStep(fields.lineStep);
    pane->SetPageStep(fields.pageStep);
  }
}

}  // namespace vorn
