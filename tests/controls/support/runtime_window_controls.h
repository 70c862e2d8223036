// Controls in runtime windows, built the way compiled code builds them: a window class whose
// CreateControls adds each control with a packed property stream.
#pragma once

#include "controls/support/class_fixture.h"
#include "objects/runtime_object.h"

namespace vorn::test {

// Readies the runtime window layer the first time, then puts the runtime's control-window
// hooks back in: other tests of the program put in hooks of their own test windows.
void PrepareRuntimeWindows();
// A control of the class as CreateControls adds it: named, visible and enabled, at `bounds`,
// with the stream's properties, filed in the window's controls.
RuntimeObject* AddWindowControl(RuntimeObject* window, RuntimeClass* cls, const char* name, const Rect& bounds,
                                const PackedStream& stream);
// Closes the window, lets the loop finish closing it and releases the caller's reference.
void CloseAndRelease(RuntimeObject* window);

}  // namespace vorn::test
