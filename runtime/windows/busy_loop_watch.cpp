#include "windows/busy_loop_watch.h"

namespace vorn {

BusyLoopWatch::BusyLoopWatch(std::chrono::milliseconds delay, Action busy, Action recover, void* context)
    : mDelay(delay), mBusy(busy), mRecover(recover), mContext(context), mLeftWaitAt(Clock::now()) {
  mThread = std::thread([this] { Watch(); });
}

BusyLoopWatch::~BusyLoopWatch() {
  {
    std::lock_guard lock(mMutex);
    mStop = true;
  }
  mWake.notify_one();
  mThread.join();
}

bool BusyLoopWatch::EnterWait(const Targets& targets) {
  std::lock_guard lock(mMutex);
  mWaiting = true;
  if (targets != mTargets) mTargets = targets;
  return RecoverLocked();
}

void BusyLoopWatch::LeaveWait() {
  bool wake = false;
  {
    std::lock_guard lock(mMutex);
    mWaiting = false;
    mLeftWaitAt = Clock::now();
    // A watcher with a deadline picks the new start up when that deadline comes.
    wake = mParked && WatcherHasWork();
  }
  if (wake) mWake.notify_one();
}

void BusyLoopWatch::SetEnabled(bool enabled) {
  {
    std::lock_guard lock(mMutex);
    mEnabled = enabled;
  }
  mWake.notify_one();
}

bool BusyLoopWatch::Recover() {
  std::lock_guard lock(mMutex);
  return RecoverLocked();
}

bool BusyLoopWatch::RecoverLocked() {
  if (!mShown) return false;
  mShown = false;
  mRecover(mContext, mShownOn);
  mShownOn.clear();
  return true;
}

void BusyLoopWatch::Watch() {
  std::unique_lock lock(mMutex);
  while (!mStop) {
    if (!WatcherHasWork()) {
      mParked = true;
      mWake.wait(lock);
      mParked = false;
      continue;
    }
    const Clock::time_point due = mLeftWaitAt + mDelay;
    if (Clock::now() < due) {
      mWake.wait_until(lock, due);
      continue;
    }
    mShown = true;
    mShownOn = mTargets;
    mBusy(mContext, mShownOn);
  }
}

}  // namespace vorn
