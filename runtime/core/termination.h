// Termination signals (SIGTERM, SIGQUIT, SIGHUP). The handler itself only records the signal
// and wakes the run loop; the shutdown work (which runs compiled code, GTK and the allocator)
// happens on the main thread at the loop's next turn, or at the next RuntimeBackgroundTask
// call of compiled code that holds the thread.
#pragma once

namespace vorn {

// Installs the handler for SIGTERM, SIGQUIT and SIGHUP, in this order, and unblocks them in
// the calling thread. A SIGHUP the program was started with ignored (nohup) stays ignored.
void InstallTerminationHandlers();

// The handler: records the signal; async-signal-safe.
extern "C" void HandleTerminationSignal(int signalNumber);

// The recorded signal number, 0 when none.
int PendingTerminationSignal();

// A signal is recorded and its sequence has not begun: the main thread must have its turn.
bool TerminationDue();

// Makes a wait of WaitForDescriptorOrTermination (one without a descriptor ends) and the run
// loop's wait for events look again at what they wait for. Safe from any thread, with or
// without the runtime.
void WakeWaits();

// Carries out a recorded signal (never returns then); does nothing otherwise.
void HandlePendingTermination();

// Waits until `fd` is ready for `events` or `timeoutMs` milliseconds have passed (negative: no
// limit; `fd` negative: a plain sleep, which WakeWaits or a signal also ends). A termination
// signal meanwhile is carried out at once on the main thread; the handler restarts reads, so
// every wait that may last must come through here. Answers 1 when the descriptor is ready, 0
// otherwise. The caller keeps the runtime meanwhile: a runtime thread other than the main one
// waits through WaitForDescriptor (thread_scheduler.h) instead.
int WaitForDescriptorOrTermination(int fd, short events, int timeoutMs);

// The sequence for one signal: unless it is SIGHUP, the Application's quit sequence; then
// the windows are closed, the application object released, the shutdown tasks run, and the
// process exits with status 0.
[[noreturn]] void RunTerminationSequence(int signalNumber);

}  // namespace vorn
