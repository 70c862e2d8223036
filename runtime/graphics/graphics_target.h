// What a drawing port needs of the thing it draws into. Panes of the window layer, offscreen
// drawables and print pages implement it; the port never looks further into them.
#pragma once

#include <cstdint>

#include "graphics/color_types.h"
#include "graphics/rect.h"

struct _GdkDrawable;
struct _GdkGC;
struct _GtkWidget;

namespace vorn {

// Where the target's drawable lies relative to the pane coordinates the port is given.
enum class TargetPlacement {
  kOffscreen,     // the drawable is the target's own bitmap: coordinates map one to one
  kWindow,        // the target is a window: below its menu bar
  kInWindow,      // a pane drawing into its window's GdkWindow: below the menu bar
  kOwnGdkWindow,  // a pane with a GdkWindow of its own: moved by minus its left and top
};

struct WindowBackground {
  bool inWindow = false;      // the target lies in a window
  bool hasBackColor = false;  // that window paints its own background colour
  LanguageColor backColor = 0;
};

class GraphicsTarget {
 public:
  virtual ~GraphicsTarget();

  // Nil when there is nothing to draw into yet; ports then do nothing.
  virtual _GdkDrawable* GetGdkDrawable() = 0;
  // The target's GC for its drawable; the target keeps it.
  virtual _GdkGC* NewGC() = 0;
  // The target's rectangle in its window's content coordinates.
  virtual Rect GetPaneBounds() const = 0;

  virtual TargetPlacement Placement() const { return TargetPlacement::kOffscreen; }
  virtual int32_t MenuBarHeight() const { return 0; }
  virtual WindowBackground GetWindowBackground() const { return {}; }
  // The widget whose style renders stock icons; nil uses the default style.
  virtual _GtkWidget* GetWidget() { return nullptr; }
  // Erases a screen pane; starts a new page on a print pane.
  virtual void Erase() {}
  // True for offscreen bitmaps that cache a copy of their pixels.
  virtual bool IsDrawablePane() const { return false; }
  // Called before the language draws into a drawable pane: drops its cached copy so that the
  // next copy shows the new drawing.
  virtual void PrepareToDraw() {}
};

}  // namespace vorn
