#include "graphics/device_worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace vorn {

struct DeviceWorker::Call {
  std::chrono::steady_clock::time_point posted = std::chrono::steady_clock::now();
  bool done = false;  // under the worker's mutex
};

// Held by the worker's thread and by its owner and watchers: the thread may outlive them all.
struct DeviceWorker::Watch::Shared {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::pair<Ticket, std::function<void()>>> queue;
  bool letGo = false;
  bool ended = false;
};

namespace {

void RunCalls(std::shared_ptr<DeviceWorker::Watch::Shared> shared) {
  std::unique_lock<std::mutex> lock(shared->mutex);
  for (;;) {
    shared->changed.wait(lock, [&] { return !shared->queue.empty() || shared->letGo; });
    if (shared->queue.empty()) break;
    auto [call, work] = std::move(shared->queue.front());
    shared->queue.pop_front();
    lock.unlock();
    work();
    work = nullptr;  // what the work holds goes outside the lock
    lock.lock();
    call->done = true;
    shared->changed.notify_all();
  }
  shared->ended = true;
}

}  // namespace

bool DeviceWorker::Watch::Ended() const {
  if (!mShared) return true;
  std::lock_guard<std::mutex> lock(mShared->mutex);
  return mShared->ended;
}

DeviceWorker::DeviceWorker() {
  mWatch.mShared = std::make_shared<Watch::Shared>();
  std::thread(&RunCalls, mWatch.mShared).detach();
}

DeviceWorker::~DeviceWorker() {
  std::lock_guard<std::mutex> lock(mWatch.mShared->mutex);
  mWatch.mShared->letGo = true;
  mWatch.mShared->changed.notify_all();
}

DeviceWorker::Ticket DeviceWorker::Post(std::function<void()> work) {
  auto call = std::make_shared<Call>();
  std::lock_guard<std::mutex> lock(mWatch.mShared->mutex);
  mWatch.mShared->queue.emplace_back(call, std::move(work));
  mWatch.mShared->changed.notify_all();
  return call;
}

bool DeviceWorker::Wait(const Ticket& call, std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(mWatch.mShared->mutex);
  return mWatch.mShared->changed.wait_for(lock, limit, [&] { return call->done; });
}

std::chrono::steady_clock::duration DeviceWorker::Age(const Ticket& call) {
  return std::chrono::steady_clock::now() - call->posted;
}

DeviceWorker::Watch DeviceWorker::WatchEnd() const { return mWatch; }

}  // namespace vorn
