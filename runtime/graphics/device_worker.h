// A thread of its own for the calls into a device, which may block for any time (a sound
// device whose file nobody reads never answers). The calls run one after another in the order
// they were posted; whoever posts one waits for it only as long as it chooses. A worker stuck
// in a call is let go: it finishes what it was given whenever the call returns, then ends by
// itself, and nothing waits for it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace vorn {

class DeviceWorker {
 public:
  struct Call;
  using Ticket = std::shared_ptr<Call>;
  // Whether a worker that was let go has ended.
  class Watch {
   public:
    bool Ended() const;
    struct Shared;

   private:
    friend class DeviceWorker;
    std::shared_ptr<Shared> mShared;
  };

  DeviceWorker();
  // Lets the worker go: it runs what is queued and ends.
  ~DeviceWorker();
  DeviceWorker(const DeviceWorker&) = delete;
  DeviceWorker& operator=(const DeviceWorker&) = delete;

  // Queues the work behind everything posted before it.
  Ticket Post(std::function<void()> work);
  // Waits at most `limit` for the call to have run; true when it has.
  bool Wait(const Ticket& call, std::chrono::milliseconds limit);
  // How long ago the call was posted.
  static std::chrono::steady_clock::duration Age(const Ticket& call);
  // What tells whether the worker has ended once it is let go.
  Watch WatchEnd() const;

 private:
  Watch mWatch;
};

}  // namespace vorn
