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
  std::vector<Targets> busy, recovered;

  static void Busy(void* self, const Targets& t) { static_cast<Recorder*>(self)->Add(true, t); }
  static void Recover(void* self, const Targets& t) { static_cast<Recorder*>(self)->Add(false, t); }
  void Add(bool isBusy, const Targets& targets) {
    std::lock_guard lock(mutex);
    (isBusy ? busy : recovered).push_back(targets);
    changed.notify_all();
  }
  // How many busy actions ran once the first came or `limit` passed.
  size_t BusyWithin(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, limit, [&] { return !busy.empty(); });
    return busy.size();
  }
};

TEST(BusyLoopWatchTest, AStretchAwayFromTheWaitMarksThePublishedTargetsOnceAndTheNextWaitUndoesThem) {
  constexpr auto kDelay = 20ms;
  struct Case {
    Targets targets;
    bool busy;
  };
  for (const Case& c : {Case{{7, 9}, true}, Case{{}, false}}) {
    SCOPED_TRACE(c.targets.size());
    Recorder recorder;
    BusyLoopWatch watch(kDelay, &Recorder::Busy, &Recorder::Recover, &recorder);
    watch.EnterWait(c.targets);
    watch.LeaveWait();
    // A quiet case is watched for several delays, the busy one up to a generous deadline.
    ASSERT_EQ(recorder.BusyWithin(c.busy ? 10000ms : 5 * kDelay), c.busy ? 1u : 0u);
    EXPECT_EQ(watch.EnterWait({3}), c.busy);
    EXPECT_FALSE(watch.Recover());
    std::lock_guard lock(recorder.mutex);
    // What was marked is undone, not what is shown now.
    EXPECT_EQ(recorder.recovered, c.busy ? std::vector<Targets>{c.targets} : std::vector<Targets>{});
  }
}

TEST(BusyLoopWatchTest, AMainThreadThatKeepsComingBackIsNeverMarked) {
  // The loop comes back every millisecond; a delay far above that keeps a loaded machine's
  // scheduling pauses from reading as a stretch away.
  constexpr auto kDelay = 1000ms;
  Recorder recorder;
  BusyLoopWatch watch(kDelay, &Recorder::Busy, &Recorder::Recover, &recorder);
  const auto end = std::chrono::steady_clock::now() + 3 * kDelay;
  while (std::chrono::steady_clock::now() < end) {
    watch.EnterWait({5});
    watch.LeaveWait();
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(recorder.BusyWithin(0ms), 0u);
  // Then away for good: marked, and a disabled watch still lets the mark be undone.
  ASSERT_EQ(recorder.BusyWithin(10000ms), 1u);
  watch.SetEnabled(false);
  EXPECT_TRUE(watch.Recover());
}

}  // namespace
}  // namespace vorn
