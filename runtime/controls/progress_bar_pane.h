// The pane of ProgressBar: a GtkProgressBar showing value out of maximum; below a maximum of 1
// the bar is indeterminate and a background task pulses it.
#pragma once

#include <cstdint>
#include <memory>

#include "controls/owner_mouse.h"
#include "base/background_task.h"
#include "windows/sub_pane.h"

namespace vorn {

class ProgressBar;

// Pulses the bar every 10 ticks while it is on screen.
class ProgressBackgroundTask : public BackgroundTask {
 public:
  explicit ProgressBackgroundTask(ProgressBar* pane) : BackgroundTask(10), mPane(pane) {}
  void Run() override;

 private:
  ProgressBar* mPane;
};

class ProgressBar : public SubPane {
 public:
  ProgressBar(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, int32_t value, int32_t maximum);
  ~ProgressBar() override;

  virtual void SetValue(int32_t value);
  virtual void SetMaximum(int32_t maximum);
  int32_t Value() const { return mValue; }
  int32_t Maximum() const { return mMaximum; }
  bool IsPulsing() const { return mPulseTask != nullptr; }
  // One step of the indeterminate animation; nothing while the bar is not on screen.
  void Pulse();

  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  void DrawInto(Graphics* port) override;

  OwnerMouse& Mouse() { return mMouse; }

 private:
  void StartPulsing();

  int32_t mValue;
  int32_t mMaximum;
  OwnerMouse mMouse;
  std::unique_ptr<ProgressBackgroundTask> mPulseTask;
};

}  // namespace vorn
