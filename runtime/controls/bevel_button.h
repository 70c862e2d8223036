// A self-drawn button pane: the theme's button box with a caption (aligned and offset), and
// a sort-direction triangle while its value is on. It has no language class; the panes that
// use it (list headings, the combo box's drop-down button) hear from it through a delegate.
#pragma once

#include <cstdint>

#include "graphics/text_style.h"
#include "windows/sub_pane.h"

namespace vorn {

class Drawable;

class BevelButtonDelegate {
 public:
  virtual ~BevelButtonDelegate() = default;
  // The mouse moved over the button (window coordinates).
  virtual void MouseMove(SubPane*, int32_t, int32_t) {}
  virtual void Clicked(SubPane*) {}
  virtual void MouseDown(SubPane*) {}
  // The mouse moved while held after a press in the button.
  virtual void MouseDrag(SubPane*, int32_t, int32_t) {}
  // A second notice of a move over the button.
  virtual void MouseOver(SubPane*, int32_t, int32_t) {}
  // True when the delegate took care of the redraw.
  virtual bool Redraw(SubPane*) { return false; }
};

// The ChangeState code of a programmatic click.
inline constexpr int32_t kBevelProgrammaticClick = 2000;

class BevelButton : public SubPane {
 public:
  BevelButton(BevelButtonDelegate* delegate, const vorn::TextStyle& style, SubPane* parent, int32_t tabPanelIndex,
              const Rect& bounds, const string& caption, int32_t tag);
  ~BevelButton() override;

  void SetCaption(const string& caption);
  const string& Caption() const { return mCaption; }
  int32_t GetValue() const { return mValue; }
  void SetValue(int32_t value);
  void SetCaptionAlignment(int32_t alignment, int32_t offset);
  void SetTextStyle(const vorn::TextStyle& style);
  // The button takes over the caller's reference; nil removes the icon.
  void SetIcon(Drawable* icon);
  Drawable* Icon() const { return mIcon; }
  int32_t SortDirection() const { return mSortDirection; }
  bool IsPressed() const { return mPressed; }
  bool IsHovered() const { return mHover; }
  int32_t Tag() const { return mTag; }

  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  void MouseMove(int32_t x, int32_t y) override;
  void MouseEnter() override;
  void MouseExit() override;
  int32_t ChangeState(int32_t code) override;
  void SetEnabled(bool enabled, bool redraw) override;
  void Redraw() override;
  void Draw(Graphics* port) override;
  void DrawInto(Graphics* port) override;
  bool BecomeCurrent() override { return true; }
  bool ResignCurrent() override { return true; }

 private:
  void PaintButton(Graphics* port, const Rect& frame);
  void DrawCaption(Graphics* port, const Rect& frame);
  void DrawSortTriangle(Graphics* port, const Rect& frame);
  void DrawIcon(Graphics* port);

  BevelButtonDelegate* mButtonDelegate;
  string mCaption;
  int32_t mValue = 0;
  bool mPressed = false;
  bool mHover = false;
  int32_t mTag;
  int32_t mAlignment = 0;
  int32_t mOffset = 0;
  int32_t mSortDirection = 1;
  bool mDrawingInto = false;
  Drawable* mIcon = nullptr;
};

}  // namespace vorn
