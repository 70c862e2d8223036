// A display of the test's own with a window manager on it, for what only a window manager
// does: frames the user drags. It must start before GTK opens a display, so a test that needs
// it runs in a process of its own (ctest runs every test alone).
#pragma once

#include <string>

namespace vorn::test {

// Starts Xvfb and openbox, points DISPLAY at them and waits until the window manager has taken
// the screen; both end with the process. Empty on success, else what went wrong.
std::string StartDisplayWithWindowManager();

}  // namespace vorn::test
