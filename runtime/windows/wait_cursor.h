// The automatic wait cursor: while the main thread stays away from its event wait for longer
// than kWaitCursorDelay, busy in the program's own code, the pointer over the application's
// shown windows is the watch; the first wait afterwards gives the windows their own cursors
// back. GTK allows no call from another thread, so a watcher thread with an X connection of
// its own (opened when the watch is first due) puts the watch on the windows and the main
// thread takes it off through GDK. Xlib must have been made thread-safe before its first use.
#pragma once

#include <chrono>

namespace vorn {

constexpr std::chrono::milliseconds kWaitCursorDelay{500};

// Joins the main thread's event waits (the run loop's, modal loops', GTK's own) to the watch.
// Once, when a display is open; the watcher starts with the first shown window.
void InstallWaitCursor();
// On by default. Turning it off while the watch shows takes the watch off on the main thread
// at once, elsewhere at the main thread's next wait.
void SetAutoWaitCursor(bool enabled);
bool AutoWaitCursorEnabled();

}  // namespace vorn
