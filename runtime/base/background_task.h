// Periodic tasks with a period in ticks. A new task has its own GLib timeout, so it runs even
// while the run loop waits for events; RemoveBackgroundTaskTimeout leaves it to the run loop
// alone, which then never blocks while such a task exists.
#pragma once

#include <cstdint>

namespace vorn {

class BackgroundTask {
 public:
  explicit BackgroundTask(int32_t periodTicks);
  virtual ~BackgroundTask();

  BackgroundTask(const BackgroundTask&) = delete;
  BackgroundTask& operator=(const BackgroundTask&) = delete;

  virtual void Run() = 0;
  // Whether the run loop must keep from waiting for events while this task has no timeout of
  // its own; a task that wakes the loop by other means when it is due answers false.
  virtual bool KeepsLoopAwake() const { return true; }

  int32_t Period() const { return mPeriod; }
  uint32_t LastRun() const { return mLastRun; }
  bool HasTimeout() const { return mTimeoutID != 0; }
  bool IsDue(uint32_t now) const;

 protected:
  // Derived tasks may change their period; a running timeout keeps its old interval.
  void SetPeriod(int32_t periodTicks) { mPeriod = periodTicks; }

 private:
  friend void RemoveBackgroundTaskTimeout(BackgroundTask* task);
  friend void RunBackgroundTask(BackgroundTask* task, uint32_t now);
  static int TimeoutFired(void* task);

  uint32_t mTimeoutID = 0;  // 0 when the run loop alone drives the task
  uint32_t mLastRun;
  int32_t mPeriod;
};

void RemoveBackgroundTaskTimeout(BackgroundTask* task);
// Records the run and calls Run; the task may delete itself inside Run.
void RunBackgroundTask(BackgroundTask* task, uint32_t now);

// Whether any registered task has no timeout of its own and keeps the loop awake.
bool AnyLoopDrivenBackgroundTask();
// Runs the due tasks, the last registered first; with onlyLoopDriven, only those without a
// timeout of their own. Tasks may register or delete tasks while this runs.
void RunBackgroundTasks(bool onlyLoopDriven);

// What compiled code's long loops do first at every call of RuntimeBackgroundTask: the
// application room installs its handling of a recorded termination signal here. None
// without an installation.
using PendingWorkHook = void (*)();
void SetBackgroundTaskPendingWorkHook(PendingWorkHook hook);
// The same for a wait of the lower rooms that may last (a pipe's writer, a program run and
// waited for): called between its looks, it carries out a recorded termination signal.
void RunPendingWork();

// Whether Escape was held during the last background-task wait.
void ClearUserCancelFlag();
bool UserCancelFlag();

}  // namespace vorn

extern "C" {
// Called by compiled code inside long loops.
void RuntimeBackgroundTask();
}
