// The push button pane: a GtkButton with the default and cancel roles a window uses for
// Return and Escape. The runtime's message dialog uses it too, with itself as the delegate.
#pragma once

#include <cstdint>

#include "controls/button_pane.h"

namespace vorn {

class PushButtonDelegate : public ButtonDelegate {
 public:
  virtual void Action(ButtonPane* pane);
};

class PushButton : public ButtonPane {
 public:
  using ButtonPane::ButtonPane;
  virtual void SetDefault(bool value) = 0;
  virtual void SetCancel(bool value) = 0;
  virtual void Push() = 0;
};

class PushButtonGTK : public PushButton {
 public:
  PushButtonGTK(PushButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent, int32_t tabPanelIndex,
                const Rect& bounds, const string& caption);

  void SetDefault(bool value) override;
  void SetCancel(bool value) override;
  void Push() override;

  // A press MouseDown takes is the delegate's to the release; any other release inside the
  // button is a push.
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseUp(int32_t x, int32_t y) override;
  SubPane* FindDefaultButton() override;
  SubPane* FindCancelButton() override;
  void Press() override { Push(); }
  void DrawInto(Graphics* port) override;

  bool IsDefault() const { return mDefault; }
  bool IsCancel() const { return mCancel; }
  bool MouseTracking() const { return mTracking; }
  // The GTK "activate" signal (keyboard activation).
  void HandleActivate();

 private:
  PushButtonDelegate* ActionDelegate() const { return static_cast<PushButtonDelegate*>(mDelegate); }

  bool mCancel = false;
  bool mDefault = false;
  bool mTracking = false;
};

PushButtonGTK* NewPushButton(PushButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent,
                          int32_t tabPanelIndex, const Rect& bounds, const string& caption);

}  // namespace vorn
