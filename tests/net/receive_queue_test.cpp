#include "net/receive_queue.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace vorn {
namespace {

// Receives, one per piece, that hand the piece out recv's way: at most `room` bytes.
void FillWith(ReceiveQueue& queue, const std::vector<std::string>& pieces, size_t room = 64) {
  for (const std::string& piece : pieces) {
    queue.Fill(room, [&](char* into, size_t n) {
      size_t count = std::min(piece.size(), n);
      std::memcpy(into, piece.data(), count);
      return static_cast<ssize_t>(count);
    });
  }
}

TEST(ReceiveQueueTest, TakesCrossBlocksAndStopAtWhatIsThere) {
  struct Case {
    std::vector<int64_t> takes;
    std::vector<std::string> expected;
    std::string left;
  } cases[] = {
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
      SCOPED_TRACE(::testing::Message() << (asString ? "string, " : "") << "row " << &c - cases);
      ReceiveQueue queue;
      FillWith(queue, {"abc", "defg", "h"});
      for (size_t i = 0; i < c.takes.size(); ++i)
        EXPECT_EQ(asString ? std::string(queue.TakeString(c.takes[i]).View()) : queue.Take(c.takes[i]), c.expected[i]);
      EXPECT_EQ(queue.Peek(), c.left);
      EXPECT_EQ(queue.Count(), static_cast<int64_t>(c.left.size()));
    }
  }
}

TEST(ReceiveQueueTest, AFailedOrEndingReceiveAddsNothing) {
  ReceiveQueue queue;
  FillWith(queue, {"abc"});
  EXPECT_EQ(queue.Fill(64, [](char*, size_t) -> ssize_t { return 0; }), 0);
  EXPECT_EQ(queue.Fill(100000, [](char*, size_t) -> ssize_t { return errno = EAGAIN, -1; }), -1);
  EXPECT_EQ(queue.Peek(), "abc");
  EXPECT_EQ(queue.Count(), 3);
}

// Held memory stays within twice the bytes held: a long read keeps the block it filled (shared
// by every socket, so judged by its own size, not the room asked) only when it filled half of
// it; a short block handed to the program takes a later short read in place only once the
// program let go of it and the read fills half its room, and carries no old encoding then.
TEST(ReceiveQueueTest, BlocksStayWithinTwiceTheirBytesAndAHeldOneIsNeverRefilled) {
  struct Case {
    size_t earlierRoom, earlierCount;  // a read before, taken whole with an encoding
    bool held;                         // the program still holds it at the next read
    size_t room, count;
    int64_t capacity;
  } cases[] = {
      {100000, 100000, false, 100000, 49999, 49999},  // one short of half
      {100000, 100000, false, 100000, 50000, 100000},
      {16384, 16384, false, 16384, 16384, 16384},     // short enough to copy whatever it filled
      {16386, 16386, false, 16386, 16385, 16386},
      {1 << 20, 100, false, 40000, 30000, 30000},     // the block is 1 MiB: 30000 bytes are copied out
      {32, 32, true, 32, 32, 32},                     // held: a record of its own
      {32, 32, false, 32, 16, 32},                    // half the room
      {32, 32, false, 32, 15, 15},                    // one short of half: a record of its size
      {32, 32, false, 33, 33, 33},                    // one past the room
      {16385, 16385, false, 16385, 16385, 16385},     // a long read's block is never kept for reuse
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.earlierCount << " then " << c.count << (c.held ? ", held" : ""));
    ReceiveQueue queue;
    // A full read far larger than any block before takes the shared block away.
    std::string whole(size_t{4} << 20, 'w'), earlier(c.earlierCount, 'e'), bytes(c.count, 'q');
    FillWith(queue, {whole}, whole.size());
    queue.Take(static_cast<int64_t>(whole.size()));
    FillWith(queue, {earlier}, c.earlierRoom);
    string first = queue.TakeString(static_cast<int64_t>(c.earlierCount), kEncodingUTF8);
    if (!c.held) first = string();
    FillWith(queue, {bytes}, c.room);
    string block = queue.TakeString(static_cast<int64_t>(c.count));
    EXPECT_EQ(std::string(block.View()), bytes);
    EXPECT_EQ(block.Encoding(), kEncodingUnknown);
    EXPECT_EQ(string_block::CapacityOf(block.Rep()), c.capacity);
    if (c.held) {
      EXPECT_EQ(std::string(first.View()), earlier);
      EXPECT_EQ(first.Encoding(), kEncodingUTF8);
    }
  }
}

}  // namespace
}  // namespace vorn
