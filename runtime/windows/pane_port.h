// Drawing ports for panes: a port made by SubPane::GetGraphics draws into the GdkWindow the
// pane's widget shows in, in the window's content coordinates (below any menu bar).
#pragma once

#include "graphics/graphics_target.h"
#include "windows/sub_pane.h"

namespace vorn {

// The target behind a pane's port. It follows the pane through a guard, so a port that
// outlives its pane (a Graphics object kept by compiled code) draws nothing instead of
// touching freed memory.
class PaneGraphicsTarget : public GraphicsTarget {
 public:
  explicit PaneGraphicsTarget(SubPane* pane) : mPane(pane) {}

  _GdkDrawable* GetGdkDrawable() override;
  _GdkGC* NewGC() override;
  Rect GetPaneBounds() const override;
  TargetPlacement Placement() const override;
  int32_t MenuBarHeight() const override;
  WindowBackground GetWindowBackground() const override;
  _GtkWidget* GetWidget() override;
  void Erase() override;

  SubPane* Pane() const { return mPane.Get(); }

 private:
  PaneGuard mPane;
};

// Registers the pane port hooks once; later calls do nothing. Every control pane calls it
// when it is made, so panes draw without start-up having to know about it.
void EnsurePanePorts();

// The GdkDrawable a port draws into, nil when it has none (an expose-less pane, a port with
// no target).
_GdkDrawable* PortDrawable(Graphics* port);

}  // namespace vorn
