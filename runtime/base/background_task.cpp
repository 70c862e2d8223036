#include "base/background_task.h"

#include <glib.h>

#include <algorithm>
#include <vector>

#include "base/ticks.h"

namespace vorn {

namespace {

std::vector<BackgroundTask*>& Tasks() {
  static auto* tasks = new std::vector<BackgroundTask*>();
  return *tasks;
}

bool sUserCancelled = false;
PendingWorkHook sPendingWork = nullptr;

}  // namespace

BackgroundTask::BackgroundTask(int32_t periodTicks)
    : mLastRun(CurrentTicks()), mPeriod(periodTicks) {
  Tasks().push_back(this);
  mTimeoutID = g_timeout_add(TicksToTimeoutMilliseconds(periodTicks),
                             &BackgroundTask::TimeoutFired, this);
}

BackgroundTask::~BackgroundTask() {
  if (mTimeoutID != 0) g_source_remove(mTimeoutID);
  auto& tasks = Tasks();
  auto found = std::find(tasks.begin(), tasks.end(), this);
  if (found != tasks.end()) tasks.erase(found);
}

bool BackgroundTask::IsDue(uint32_t now) const { return TicksElapsed(mLastRun, now) >= mPeriod; }

int BackgroundTask::TimeoutFired(void* task) {
  // The timeout's interval is the period, so it is due by construction; Run may delete the
  // task (its destructor removes this very source), so nothing touches it afterwards.
  RunBackgroundTask(static_cast<BackgroundTask*>(task), CurrentTicks());
  return G_SOURCE_CONTINUE;
}

void RemoveBackgroundTaskTimeout(BackgroundTask* task) {
  if (task == nullptr || task->mTimeoutID == 0) return;
  g_source_remove(task->mTimeoutID);
  task->mTimeoutID = 0;
}

void RunBackgroundTask(BackgroundTask* task, uint32_t now) {
  task->mLastRun = now;
  task->Run();
}

bool AnyLoopDrivenBackgroundTask() {
  for (BackgroundTask* task : Tasks()) {
    if (!task->HasTimeout() && task->KeepsLoopAwake()) return true;
  }
  return false;
}

void RunBackgroundTasks(bool onlyLoopDriven) {
  auto& tasks = Tasks();
  uint32_t now = CurrentTicks();
  for (size_t i = tasks.size(); i-- > 0;) {
    if (i >= tasks.size()) continue;
    BackgroundTask* task = tasks[i];
    if (onlyLoopDriven && task->HasTimeout()) continue;
    if (task->IsDue(now)) RunBackgroundTask(task, now);
  }
}

void SetBackgroundTaskPendingWorkHook(PendingWorkHook hook) { sPendingWork = hook; }

void RunPendingWork() {
  if (sPendingWork) sPendingWork();
}

void ClearUserCancelFlag() { sUserCancelled = false; }
bool UserCancelFlag() { return sUserCancelled; }

}  // namespace vorn

void RuntimeBackgroundTask() {
  static uint32_t calls = 0;
  static uint32_t lastTicks = 0;
  // Code that never returns to the run loop still ends on a termination signal.
  vorn::RunPendingWork();
  if (++calls % 50 != 0) return;
  uint32_t now = vorn::CurrentTicks();
  if (now == lastTicks) return;
  lastTicks = now;
  // Timeouts cannot fire while compiled code holds the thread, so every due task runs here.
  vorn::RunBackgroundTasks(false);
}
