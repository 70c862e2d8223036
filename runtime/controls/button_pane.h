// What the push button, check box and radio button panes share: a GTK button whose label child
// shows the caption in the control's text style, the mouse and focus traffic to a delegate,
// and drawing into another port (pictures, printing), where no widget draws itself.
#pragma once

#include <cstdint>

#include "graphics/text_style.h"
#include "windows/container_pane.h"

namespace vorn {

class ButtonPane;

// The callbacks all three panes make. Points are relative to the button's top-left corner;
// the defaults do nothing and take no click.
class ButtonDelegate {
 public:
  virtual ~ButtonDelegate() = default;
  virtual bool MouseDown(ButtonPane* pane, int32_t x, int32_t y);
  virtual bool MouseUp(ButtonPane* pane, int32_t x, int32_t y);
  virtual void GotFocus(ButtonPane* pane);
  virtual void LostFocus(ButtonPane* pane);
};

class ButtonPane : public ContainerPane {
 public:
  ButtonPane(ButtonDelegate* delegate, SubPane* parent, int32_t tabPanelIndex, const Rect& bounds);

  virtual void SetCaption(const string& caption);
  virtual void SetTextStyle(const vorn::TextStyle& style);

  // A press the delegate takes makes the pane the mouse-capture pane and stops the native
  // press; one it refuses goes on to the widget.
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseUp(int32_t x, int32_t y) override;
  void GotFocus() override;
  void LostFocus() override;
  bool PassesClickThrough() override { return false; }

  // The owner let go: no callback reaches it from now on.
  void ClearDelegate() { mDelegate = nullptr; }
  ButtonDelegate* Delegate() const { return mDelegate; }
  const string& Caption() const { return mCaption; }
  const vorn::TextStyle& Style() const { return mStyle; }
  // The widget's label, nil when it has none.
  NativeWidget LabelWidget() const;

 protected:
  // Places the widget, applies style and caption, and connects press, release and focus grabs.
  void InstallWidget(NativeWidget widget, const vorn::TextStyle& style, const string& caption);
  // The label's text at `textLeft` (centred when negative) and vertically centred, then the
  // children; the caller painted the button's frame or indicator first.
  void DrawCaptionAndChildren(Graphics* port, int32_t textLeft);
  // A check box's (or, for `option`, a radio button's) indicator at the left edge, on or off,
  // then the caption beside it and the children.
  void DrawIndicatorInto(Graphics* port, bool option, bool on);
  // The port's drawable and the pane's bounds in device coordinates; nil without a drawable.
  _GdkDrawable* PrepareNativePaint(Graphics* port, Rect* device);

  ButtonDelegate* mDelegate;
  string mCaption;
  vorn::TextStyle mStyle;
};

}  // namespace vorn
