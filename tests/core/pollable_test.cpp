#include "core/pollable.h"

#include <gtest/gtest.h>

#include <string>

namespace vorn {
namespace {

std::string sLog;

class LoggingPollable final : public Pollable {
 public:
  explicit LoggingPollable(char name) : mName(name) {}
  void Poll() override {
    sLog += mName;
    if (mOnPoll) mOnPoll(this);
  }
  void (*mOnPoll)(LoggingPollable*) = nullptr;
  char mName;
};

class PollableTest : public ::testing::Test {
 protected:
  void SetUp() override { sLog.clear(); }
  void TearDown() override {
    for (int round = 0; round < 2; ++round) {
      for (auto& p : sAll) {
        RemovePollable(&p);
        p.mOnPoll = nullptr;
      }
    }
    ASSERT_EQ(PollableCount(), 0u);
  }
  static LoggingPollable sAll[3];
  LoggingPollable& a = sAll[0];
  LoggingPollable& b = sAll[1];
  LoggingPollable& c = sAll[2];
};

LoggingPollable PollableTest::sAll[3] = {LoggingPollable('A'), LoggingPollable('B'),
                                         LoggingPollable('C')};

TEST_F(PollableTest, PolledFromTheLastAddedToTheFirst) {
  AddPollable(&a);
  AddPollable(&b);
  AddPollable(&c);
  PollAllPollables();
  EXPECT_EQ(sLog, "CBA");
  RemovePollable(&b);
  PollAllPollables();
  EXPECT_EQ(sLog, "CBACA");
}

TEST_F(PollableTest, APollableRemovingItselfDoesNotStopTheOthers) {
  AddPollable(&a);
  AddPollable(&b);
  AddPollable(&c);
  b.mOnPoll = [](LoggingPollable* self) { RemovePollable(self); };
  PollAllPollables();
  EXPECT_EQ(sLog, "CBA");
  PollAllPollables();
  EXPECT_EQ(sLog, "CBACA");
}

TEST_F(PollableTest, RemovingEverythingInsideAPollNeverReadsPastTheEnd) {
  AddPollable(&a);
  AddPollable(&b);
  AddPollable(&c);
  b.mOnPoll = [](LoggingPollable* self) {
    RemovePollable(self);
    RemovePollable(self - 1);  // a, not yet polled
    RemovePollable(self + 1);  // c, already polled
  };
  PollAllPollables();
  EXPECT_EQ(sLog, "CB");
  EXPECT_EQ(PollableCount(), 0u);
}

TEST_F(PollableTest, APollableAddedDuringAPassWaitsForTheNextPass) {
  AddPollable(&a);
  a.mOnPoll = [](LoggingPollable* self) {
    self->mOnPoll = nullptr;
    AddPollable(self + 1);  // b
  };
  PollAllPollables();
  EXPECT_EQ(sLog, "A");
  PollAllPollables();
  EXPECT_EQ(sLog, "ABA");
}

TEST_F(PollableTest, RemovingAPointerAddedTwiceRemovesTheLaterCopy) {
  AddPollable(&a);
  AddPollable(&b);
  AddPollable(&a);
  RemovePollable(&a);
  PollAllPollables();
  EXPECT_EQ(sLog, "BA");  // the remaining copy is the first one, before b
  RemovePollable(&c);     // never added: ignored
  EXPECT_EQ(PollableCount(), 2u);
}

TEST_F(PollableTest, TheListGrowsAndShrinksWithManyEntries) {
  std::vector<LoggingPollable> many(1000, LoggingPollable('x'));
  for (auto& p : many) AddPollable(&p);
  EXPECT_EQ(PollableCount(), 1000u);
  for (size_t i = 0; i < many.size(); i += 2) RemovePollable(&many[i]);
  PollAllPollables();
  EXPECT_EQ(sLog.size(), 500u);
  for (size_t i = 1; i < many.size(); i += 2) RemovePollable(&many[i]);
  EXPECT_EQ(PollableCount(), 0u);
}

}  // namespace
}  // namespace vorn
