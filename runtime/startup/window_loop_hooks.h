// Joins the window layer to the run loop: pending windows are shown (and moves and resizes
// reported) before GTK's turn, a pane that captured the mouse gets its drags, and the focus
// pane its idle time.
#pragma once

namespace vorn {

// Once, at start-up; installing again does nothing.
void InstallWindowLoopHooks();

}  // namespace vorn
