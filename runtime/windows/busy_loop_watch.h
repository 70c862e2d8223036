// Notices a main thread that stays away from its event wait. The main thread reports each
// wait it enters and leaves; a watcher thread of its own runs the busy action on the targets
// published last once a stretch away from the wait lasts the delay. The next wait the main
// thread enters runs the recovery on the same targets first. Both actions run under one lock,
// so a busy action that comes late can never follow the recovery that should undo it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace vorn {

class BusyLoopWatch {
 public:
  using Targets = std::vector<uint64_t>;
  using Action = void (*)(void* context, const Targets& targets);

  // `busy` runs on the watcher thread, `recover` on the thread that enters a wait or calls
  // Recover. Starts enabled, as if the main thread were waiting.
  BusyLoopWatch(std::chrono::milliseconds delay, Action busy, Action recover, void* context);
  ~BusyLoopWatch();
  BusyLoopWatch(const BusyLoopWatch&) = delete;
  BusyLoopWatch& operator=(const BusyLoopWatch&) = delete;

  // The main thread is about to wait for events; `targets` replaces the published ones.
  // Answers whether the recovery ran.
  bool EnterWait(const Targets& targets);
  void LeaveWait();
  // Disabled, no busy action starts; one already taken stays until a recovery.
  void SetEnabled(bool enabled);
  // Runs the recovery now when a busy action is outstanding; answers whether it ran.
  bool Recover();

 private:
  using Clock = std::chrono::steady_clock;
  void Watch();
  bool RecoverLocked();
  bool WatcherHasWork() const { return mEnabled && !mWaiting && !mShown && !mTargets.empty(); }

  const std::chrono::milliseconds mDelay;
  const Action mBusy;
  const Action mRecover;
  void* const mContext;

  std::mutex mMutex;
  std::condition_variable mWake;
  Targets mTargets;
  Targets mShownOn;  // the targets of the outstanding busy action
  Clock::time_point mLeftWaitAt;
  bool mEnabled = true;
  bool mWaiting = true;
  bool mShown = false;
  bool mParked = false;  // the watcher waits without a deadline
  bool mStop = false;
  std::thread mThread;
};

}  // namespace vorn
