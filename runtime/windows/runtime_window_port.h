// Drawing ports for panes: a pane's window content (or its own GdkWindow) as the target of a
// GDK drawing port, so that expose handling, Paint events and dialogs can draw and measure.
#pragma once

#include "graphics/graphics.h"
#include "windows/sub_pane.h"

namespace vorn {

// A new port drawing into the pane; nil for nil. DisposePanePort ends it.
Graphics* NewPanePort(SubPane* pane);
void DisposePanePort(Graphics* port);

// Registers the functions above as the panes' port hooks unless a port layer has done so.
void InstallPanePortHooks();

}  // namespace vorn
