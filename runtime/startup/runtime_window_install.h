// Start-up of the runtime's window layer.
#pragma once

namespace vorn {

// Registers the Window and MessageDialog classes, answers the control code's questions about
// windows, gives panes their drawing ports, joins modal waits and the window list to the run loop,
// and, when a display is open, makes the message dialog the presenter of runtime error
// reports and of the unhandled-exception report. Start-up calls it once, after GTK is
// initialised and before the image runs.
void InitRuntimeWindowLayer();

}  // namespace vorn
