// The run loop: the one place where the runtime waits for and dispatches work while the
// application runs. One iteration lets GTK dispatch one batch of events (waiting only when
// nothing loop-driven is due), then gives the pollables, the other services that joined the
// loop and the due background tasks their turn, and ends with the automatic-quit check.
//
// Other parts join an iteration through hooks instead of being called by name, so that the
// loop depends on nothing above it: the window layer shows pending windows, reports moves and
// resizes and serves the mouse-capture pane; sockets and serial ports are polled.
#pragma once

#include <cstdint>

namespace vorn {

enum class RunLoopStage {
  kBeforeEvents,    // before GTK's turn: show windows marked shown, report moves and resizes
  kMouseCapture,    // a hook answers true when it served a mouse drag; the iteration then
                    // drains pending events without waiting instead of running GTK's turn
  kAfterEvents,     // right after the events: the focus pane's idle time
  kAfterPollables,  // after the pollables: serial ports, then sockets
  kLoopEnded,       // once, after RuntimeRun's loop has ended and the windows are closed
};

// The answer matters only for kMouseCapture.
using RunLoopHook = bool (*)(void* context);

// Hooks of a stage run in the order they were added. A hook may remove hooks while it runs.
void AddRunLoopHook(RunLoopStage stage, RunLoopHook hook, void* context);
void RemoveRunLoopHook(RunLoopStage stage, RunLoopHook hook, void* context);

// The window list as the loop needs it; installed by the window layer.
struct WindowListHooks {
  bool (*anyWindowOpen)() = nullptr;
  void (*closeAllWindows)() = nullptr;
};
void SetWindowListHooks(const WindowListHooks& hooks);
bool AnyRuntimeWindowOpen();
void CloseAllRuntimeWindows();

// The application object as the loop needs it; installed when one is registered.
struct ApplicationHooks {
  bool (*autoQuit)() = nullptr;  // an application object exists and its AutoQuit is true
  void (*quit)() = nullptr;      // the Application's quit sequence
  void (*release)() = nullptr;   // drops the runtime's reference to the application object
};
void SetApplicationHooks(const ApplicationHooks& hooks);
void QuitApplication();
void ReleaseApplicationObject();

void MainLoopIteration();
// Runs one iteration; a nil procedure is reported first, then the iteration runs anyway.
void RunMainLoopProc(void (*proc)());
// Iterations until the quit flag is set, then the windows are closed and the application
// object released.
void RunMainLoop();
// Event pumping for DoEvents and the modal loops of windows. On the main thread: one
// iteration that may wait for an event only when mayBlock is set. On another thread it
// leaves GTK alone.
void RunMainLoopOnce(bool mayBlock);

bool GetQuitFlag();
// Sets the quit flag; a dialog that GTK runs itself is answered as cancelled at its next turn.
void RequestQuit();

// RuntimeRun's state: started once per process, running while its loop runs.
bool RunLoopStarted();
bool InRunLoop();

bool IsMainThread();

// No key event counts as the cancel key on this platform.
bool IsCancelKeyEvent(int32_t key, int32_t code, int32_t modifiers);
// Nothing to do on this platform when the application's or a pane's cursor changes.
void UpdateMouseCursor();

}  // namespace vorn

extern "C" {
// Runs the run loop until the application quits. The loop runs once per process: later
// calls, also from inside an event handler, return at once.
void RuntimeRun();
// The language's DoEvents: one iteration that does not wait for events.
void RuntimeDoEvents();
}
