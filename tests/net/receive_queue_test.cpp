#include "net/receive_queue.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace vorn {
namespace {

// Receives that hand out the given pieces in turn, recv's way: at most n bytes each.
ssize_t Piece(const std::string& piece, char* into, size_t n) {
  size_t count = std::min(piece.size(), n);
  std::memcpy(into, piece.data(), count);
  return static_cast<ssize_t>(count);
}

void FillWith(ReceiveQueue& queue, const std::vector<std::string>& pieces) {
  for (const std::string& piece : pieces)
    queue.Fill(64, [&](char* into, size_t n) { return Piece(piece, into, n); });
}

TEST(ReceiveQueueTest, TakesCrossBlocksAndStopAtWhatIsThere) {
  struct Case {
    std::vector<int64_t> takes;
    std::vector<std::string> expected;
    std::string left;
  };
  const Case cases[] = {
      {{3}, {"abc"}, "defgh"},                 // exactly the front block
      {{2, 1}, {"ab", "c"}, "defgh"},          // the rest of a block begun
      {{4}, {"abcd"}, "efgh"},                 // one past the front block
      {{2, 5}, {"ab", "cdefg"}, "h"},          // from inside one block to the end of the next
      {{8}, {"abcdefgh"}, ""},                 // everything
      {{9, 1}, {"abcdefgh", ""}, ""},          // more than there is
      {{0, -1}, {"", ""}, "abcdefgh"},
  };
  for (bool asString : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << (asString ? "runtime string " : "") << c.takes.size() << " takes, first "
                                        << c.takes[0]);
      ReceiveQueue queue;
      FillWith(queue, {"abc", "defg", "h"});
      for (size_t i = 0; i < c.takes.size(); ++i) {
        std::string got = asString ? std::string(queue.TakeString(c.takes[i]).View()) : queue.Take(c.takes[i]);
        EXPECT_EQ(got, c.expected[i]);
      }
      EXPECT_EQ(queue.Peek(), c.left);
      EXPECT_EQ(queue.Count(), static_cast<int64_t>(c.left.size()));
    }
  }
}

TEST(ReceiveQueueTest, AFailedOrEndingReceiveAddsNothing) {
  ReceiveQueue queue;
  FillWith(queue, {"abc"});
  EXPECT_EQ(queue.Fill(64, [](char*, size_t) -> ssize_t { return 0; }), 0);
  EXPECT_EQ(queue.Fill(100000, [](char*, size_t) -> ssize_t {
    errno = EAGAIN;
    return -1;
  }), -1);
  EXPECT_EQ(queue.Count(), 3);
  EXPECT_EQ(queue.Peek(), "abc");
}

// Held memory stays near the bytes held: a receive that filled less than half of a large block
// gives the rest back; a small one is kept at its size.
TEST(ReceiveQueueTest, ABlockKeepsItsRoomOnlyWhenTheReceiveFilledHalfOfIt) {
  struct Case {
    size_t room;
    size_t count;
    int64_t capacity;
  };
  const Case cases[] = {
      {100000, 49999, 49999}, {100000, 50000, 100000}, {100000, 100000, 100000}, {64, 10, 10}, {16384, 16384, 16384},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.room << " " << c.count);
    ReceiveQueue queue;
    std::string bytes(c.count, 'q');
    queue.Fill(c.room, [&](char* into, size_t n) { return Piece(bytes, into, n); });
    string block = queue.TakeString(static_cast<int64_t>(c.count));
    ASSERT_EQ(block.Length(), static_cast<int32_t>(c.count));
    EXPECT_EQ(std::string(block.View()), bytes);
    EXPECT_EQ(string_block::CapacityOf(block.Rep()), c.capacity);
  }
}

}  // namespace
}  // namespace vorn
