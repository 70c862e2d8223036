// The native push button the runtime's own dialogs use until the PushButton control exists:
// a GTK button that tells its delegate when it is pushed.
#pragma once

#include <cstdint>

#include "graphics/text_style.h"
#include "windows/container_pane.h"

namespace vorn {

class Window;

// --- push buttons ------------------------------------------------------------------------

class PushButtonDelegate {
 public:
  virtual ~PushButtonDelegate() = default;
  virtual void Action(SubPane* button) = 0;
};

// A native push button in a window; Return presses the default button, Escape the cancel one.
class PushButtonPane : public ContainerPane {
 public:
  PushButtonPane(PushButtonDelegate* delegate, const vorn::TextStyle& style, Window* parent, const Rect& bounds,
                 const string& caption);
  void SetDefault(bool value);
  void SetCancel(bool value);
  bool IsDefault() const { return mDefault; }
  bool IsCancel() const { return mCancel; }
  const string& Caption() const { return mCaption; }

  SubPane* FindDefaultButton() override;
  SubPane* FindCancelButton() override;
  void Press() override;
  bool CanFocus() override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool PassesClickThrough() override { return false; }

  // The GTK "clicked" signal.
  void HandleClicked();

 private:
  PushButtonDelegate* mButtonDelegate;
  string mCaption;
  bool mDefault = false;
  bool mCancel = false;
};

PushButtonPane* NewPushButton(PushButtonDelegate* delegate, const TextStyle& style, Window* parent, int32_t unused,
                              const Rect& bounds, const string& caption);

}  // namespace vorn
