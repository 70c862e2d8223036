#include "core/termination.h"

#include <errno.h>
#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <initializer_list>

#include "base/background_task.h"
#include "core/run_loop.h"
#include "base/shutdown_task.h"

namespace vorn {

namespace {

volatile sig_atomic_t sPendingSignal = 0;
// Written by the handler so that a run loop waiting in poll wakes up.
int sWakePipe[2] = {-1, -1};
bool sTerminating = false;

gboolean DrainWakePipe(gint fd, GIOCondition, gpointer) {
  char buffer[64];
  while (read(fd, buffer, sizeof buffer) > 0) {
  }
  // Dialogs that GTK runs in loops of its own never come back to the run loop while they are
  // open; the signal is carried out from here then.
  HandlePendingTermination();
  return G_SOURCE_CONTINUE;
}

}  // namespace

extern "C" void HandleTerminationSignal(int signalNumber) {
  int savedErrno = errno;
  if (sPendingSignal == 0) sPendingSignal = signalNumber;
  if (sWakePipe[1] >= 0) {
    char byte = 1;
    ssize_t ignored = write(sWakePipe[1], &byte, 1);
    (void)ignored;
  }
  errno = savedErrno;
}

void InstallTerminationHandlers() {
  SetBackgroundTaskPendingWorkHook(&HandlePendingTermination);
  if (sWakePipe[0] < 0 && pipe2(sWakePipe, O_CLOEXEC | O_NONBLOCK) == 0) {
    g_unix_fd_add(sWakePipe[0], G_IO_IN, &DrainWakePipe, nullptr);
  }
  struct sigaction action {};
  action.sa_handler = &HandleTerminationSignal;
  sigemptyset(&action.sa_mask);
  // Restarting keeps the rest of the runtime free of EINTR; the loop's poll returns anyway,
  // and the wake pipe covers a signal that arrives just before it.
  action.sa_flags = SA_RESTART;
  sigset_t caught;
  sigemptyset(&caught);
  for (int signalNumber : {SIGTERM, SIGQUIT, SIGHUP}) {
    struct sigaction inherited {};
    // nohup starts the program with SIGHUP ignored so that it outlives its terminal.
    if (signalNumber == SIGHUP && sigaction(SIGHUP, nullptr, &inherited) == 0 && inherited.sa_handler == SIG_IGN) {
      continue;
    }
    sigaction(signalNumber, &action, nullptr);
    sigaddset(&caught, signalNumber);
  }
  // The mask is inherited: a parent that blocks these would otherwise leave them pending for
  // ever. The main thread runs the loop, so it is the one that takes them.
  pthread_sigmask(SIG_UNBLOCK, &caught, nullptr);
}

int PendingTerminationSignal() { return sPendingSignal; }

bool TerminationDue() { return sPendingSignal != 0 && !sTerminating; }

void WakeWaits() {
  if (sWakePipe[1] >= 0) {
    char byte = 0;
    ssize_t ignored = write(sWakePipe[1], &byte, 1);
    (void)ignored;
  }
  g_main_context_wakeup(nullptr);
}

void HandlePendingTermination() {
  int signalNumber = sPendingSignal;
  // The quit sequence runs compiled code, which may pump events and come back here.
  // The sequence touches GTK, which only the main thread may do.
  if (!TerminationDue() || !IsMainThread()) return;
  RunTerminationSequence(signalNumber);
}

int WaitForDescriptorOrTermination(int fd, short events, int timeoutMs) {
  gint64 deadline = g_get_monotonic_time() / 1000 + timeoutMs;
  while (true) {
    HandlePendingTermination();
    int left = -1;
    if (timeoutMs >= 0) {
      gint64 now = g_get_monotonic_time() / 1000;
      if (now >= deadline) return 0;
      left = static_cast<int>(deadline - now);
    }
    // The wake pipe covers a signal that lands between the look above and the poll.
    pollfd entries[2] = {{sWakePipe[0], POLLIN, 0}, {fd, events, 0}};
    int ready = poll(entries, 2, left);
    if (ready < 0) continue;  // EINTR: look at the signal first
    if (entries[1].revents != 0) return 1;
    if (entries[0].revents & POLLIN) {
      char buffer[64];
      while (read(sWakePipe[0], buffer, sizeof buffer) > 0) {
      }
      // A sleep ends for any wake-up: the scheduler sleeps until a thread may run, and one that
      // came back from a wait of its own, or a signal for the main thread, is such a change.
      if (fd < 0) {
        HandlePendingTermination();
        return 0;
      }
    }
  }
}

void RunTerminationSequence(int signalNumber) {
  sTerminating = true;
  if (signalNumber != SIGHUP) QuitApplication();
  CloseAllRuntimeWindows();
  ReleaseApplicationObject();
  RunShutdownTasks();
  std::exit(0);
}

}  // namespace vorn
