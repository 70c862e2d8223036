#include "net/smart_ref.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace vorn {
namespace {

struct Tracked {
  explicit Tracked(std::string* log, char name) : log(log), name(name) {}
  virtual ~Tracked() { *log += name; }
  std::string* log;
  char name;
};

// Releases the holder it keeps while being destroyed, as an owner of further objects does.
struct Owner : Tracked {
  using Tracked::Tracked;
  ~Owner() override {
    *log += '(';
    inner.Release();
    *log += ')';
  }
  SmartRef<Tracked> inner;
};

TEST(SmartRefTest, HoldersShareOneObjectThatTheLastReleaseDeletes) {
  std::string log;
  SmartRef<Tracked> first(new Tracked(&log, 'a'));
  SmartRef<Tracked> second = first;
  EXPECT_EQ(first.RefCount(), 2);
  EXPECT_EQ(second.Get(), first.Get());
  first.Release();
  EXPECT_FALSE(first);
  EXPECT_EQ(log, "");
  SmartRef<Tracked> moved = std::move(second);
  EXPECT_EQ(moved.RefCount(), 1);
  moved = SmartRef<Tracked>(new Tracked(&log, 'b'));
  EXPECT_EQ(log, "a");
  const SmartRef<Tracked>& same = moved;
  moved = same;  // assigning a holder to itself keeps the object
  EXPECT_EQ(log, "a");
  moved.Release();
  EXPECT_EQ(log, "ab");
  EXPECT_FALSE(SmartRef<Tracked>(nullptr));
}

TEST(SmartRefTest, ADestructorThatReleasesMoreHoldersDoesNotRecurse) {
  std::string log;
  auto* outer = new Owner(&log, 'o');
  outer->inner = SmartRef<Tracked>(new Tracked(&log, 'i'));
  SmartRef<Tracked> holder(outer);
  holder.Release();
  // The inner object goes after the outer destructor has finished, not inside it.
  EXPECT_EQ(log, "()oi");
}

TEST(SmartRefTest, ALockHoldsOffADeferredDeletionUntilTheLastLockGoes) {
  std::string log;
  SmartRef<Tracked> a(new Tracked(&log, 'x'));
  SmartRef<Tracked> b = a;
  a.Lock();
  a.Lock();
  b.Lock();
  EXPECT_EQ(a.LockCount(), 2) << "a holder owns one lock at most";
  a.DeleteWhenUnlocked();
  a.Unlock();
  EXPECT_EQ(log, "");
  EXPECT_NE(b.Get(), nullptr);
  b.Release();  // releasing drops the holder's lock first
  EXPECT_EQ(log, "x");
  EXPECT_EQ(a.Get(), nullptr) << "the rep stays, without its object";
  EXPECT_EQ(a.RefCount(), 1);
  a.Release();
  EXPECT_EQ(log, "x");

  SmartRef<Tracked> unlocked(new Tracked(&log, 'y'));
  unlocked.DeleteWhenUnlocked();
  EXPECT_EQ(log, "xy");
}

}  // namespace
}  // namespace vorn
