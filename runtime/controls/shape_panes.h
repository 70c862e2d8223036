// The panes of the shape controls: an empty GtkFixed each, drawn through the runtime's own
// port on every expose. Rectangle (filled, with a two-colour bevelled border), RoundRectangle,
// Oval and Line. Clicks no handler takes go on to the panes beneath.
#pragma once

#include <cstdint>

#include "controls/owner_mouse.h"
#include "graphics/color_types.h"
#include "windows/sub_pane.h"

namespace vorn {

// The shape settings the shared pane accessors reach by selector (the pane half of a
// property row's parameter word).
enum ShapeField : int32_t {
  kShapeFillColor = 1,
  kShapeTopLeftColor,
  kShapeBottomRightColor,
  kShapeBorderColor,
  kShapeLineColor,
  kShapeBorderWidth,
  kShapeOvalWidth,
  kShapeOvalHeight,
};

class ShapePane : public SubPane {
 public:
  ShapePane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds);

  // Unknown selectors answer 0 and store nothing. Sizes keep 16 bits.
  int32_t GetField(int32_t selector) const;
  void SetField(int32_t selector, int32_t value);

  // Draws with the port's colour and pen put back afterwards; nothing while not on screen.
  void Draw(Graphics* port) override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  bool PassesClickThrough() override { return true; }

  OwnerMouse& Mouse() { return mMouse; }

 protected:
  virtual void DrawShape(Graphics* port) = 0;
  // The magnitude of the border width: a negative width draws as the positive one.
  int32_t BorderMagnitude() const { return mBorderWidth < 0 ? -mBorderWidth : mBorderWidth; }

  LanguageColor mFillColor = 0;
  LanguageColor mTopLeftColor = 0;
  LanguageColor mBottomRightColor = 0;
  LanguageColor mBorderColor = 0;
  LanguageColor mLineColor = 0;
  int16_t mBorderWidth = 0;
  int16_t mOvalWidth = 0;
  int16_t mOvalHeight = 0;
  OwnerMouse mMouse;
};

class EditRect : public ShapePane {
 public:
  using ShapePane::ShapePane;

 protected:
  void DrawShape(Graphics* port) override;
};

class EditRoundRect : public ShapePane {
 public:
  using ShapePane::ShapePane;

 protected:
  void DrawShape(Graphics* port) override;
};

class EditOval : public ShapePane {
 public:
  using ShapePane::ShapePane;

 protected:
  void DrawShape(Graphics* port) override;
};

// End points in window coordinates, like the pane's bounds.
class EditLine : public ShapePane {
 public:
  EditLine(SubPane* parent, int32_t tabPanelIndex, int32_t x1, int32_t y1, int32_t x2, int32_t y2);

  void SetEndPoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  int32_t X1() const { return mX1; }
  int32_t Y1() const { return mY1; }
  int32_t X2() const { return mX2; }
  int32_t Y2() const { return mY2; }

  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void Invalidate(bool redraw = true) override;
  void SetBounds(const Rect& r, bool redraw) override;
  void DrawIntoAt(Graphics* port, int32_t x, int32_t y) override;

 protected:
  void DrawShape(Graphics* port) override;

 private:
  // A wide pen reaches past the end points' box: the widget, whose exposes draw the line,
  // is kept over all of it.
  void CoverDrawnArea();
  Rect DrawnArea() const;
  void ShiftEndPoints(int32_t dh, int32_t dv);

  int32_t mX1, mY1, mX2, mY2;
};

}  // namespace vorn
