// Start-up of the runtime's window layer.
#pragma once

namespace vorn {

// Registers the Window and MessageDialog classes (and the control classes windows rely on),
// gives panes their drawing ports, and, when a display is open, makes the message dialog the
// presenter of runtime error reports. Start-up calls it once, after GTK is initialised.
void InitRuntimeWindowLayer();

}  // namespace vorn
