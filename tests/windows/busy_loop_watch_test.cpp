// The watch of a main thread kept from its event wait, without a display: which stretches
// away from the wait run the busy action, on what, and what the next wait undoes.
#include "windows/busy_loop_watch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vorn {
namespace {

using namespace std::chrono_literals;
using Targets = BusyLoopWatch::Targets;

struct Recorder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Targets> busy;
  std::vector<Targets> recovered;

  static void Busy(void* self, const Targets& targets) { static_cast<Recorder*>(self)->Add(true, targets); }
  static void Recover(void* self, const Targets& targets) { static_cast<Recorder*>(self)->Add(false, targets); }
  void Add(bool isBusy, const Targets& targets) {
    std::lock_guard lock(mutex);
    (isBusy ? busy : recovered).push_back(targets);
    changed.notify_all();
  }
  // Answers how many busy actions ran once the first came or `limit` passed.
  size_t BusyWithin(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, limit, [&] { return !busy.empty(); });
    return busy.size();
  }
};

TEST(BusyLoopWatchTest, AStretchAwayFromTheWaitRunsTheBusyActionOnceAndTheNextWaitUndoesIt) {
  constexpr auto kDelay = 20ms;
  struct Case {
    const char* name;
    bool enabled;
    Targets targets;
    bool busy;
  };
  const Case cases[] = {
      {"enabled", true, {7, 9}, true},
      {"disabled", false, {7, 9}, false},
      {"nothing shown", true, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder recorder;
    BusyLoopWatch watch(kDelay, &Recorder::Busy, &Recorder::Recover, &recorder);
    watch.SetEnabled(c.enabled);
    watch.EnterWait(c.targets);
    watch.LeaveWait();
    // Quiet cases are watched for several delays; the busy one up to a generous deadline.
    ASSERT_EQ(recorder.BusyWithin(c.busy ? 10000ms : 5 * kDelay), c.busy ? 1u : 0u);
    EXPECT_EQ(watch.EnterWait({3}), c.busy);
    std::lock_guard lock(recorder.mutex);
    if (c.busy) {
      EXPECT_EQ(recorder.busy[0], c.targets);
      ASSERT_EQ(recorder.recovered.size(), 1u);
      EXPECT_EQ(recorder.recovered[0], c.targets);  // what was marked, not what is shown now
    } else {
      EXPECT_TRUE(recorder.recovered.empty());
    }
  }
}

TEST(BusyLoopWatchTest, AMainThreadThatKeepsComingBackIsNeverBusyAndDisablingLeavesTheMarkForRecover) {
  constexpr auto kDelay = 300ms;
  Recorder recorder;
  BusyLoopWatch watch(kDelay, &Recorder::Busy, &Recorder::Recover, &recorder);
  const auto end = std::chrono::steady_clock::now() + 3 * kDelay;
  while (std::chrono::steady_clock::now() < end) {
    watch.EnterWait({5});
    watch.LeaveWait();
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(recorder.BusyWithin(0ms), 0u);

  ASSERT_EQ(recorder.BusyWithin(10000ms), 1u);
  watch.SetEnabled(false);
  EXPECT_TRUE(watch.Recover());
  EXPECT_FALSE(watch.Recover());
  std::lock_guard lock(recorder.mutex);
  EXPECT_EQ(recorder.recovered.size(), 1u);
}

}  // namespace
}  // namespace vorn
