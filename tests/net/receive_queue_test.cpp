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

// Held memory stays within twice the bytes held: a long read keeps the block it filled when it
// filled half of it, anything else is kept at its size. The block is shared by every socket, so
// one that an earlier short read left large is judged by its own size, not by the room asked.
TEST(ReceiveQueueTest, ABlockIsKeptWholeOnlyWhenTheReadFilledHalfOfIt) {
  struct Case {
    size_t earlierRoom, earlierCount;  // a receive before, on any socket
    size_t room, count;
    int64_t capacity;
  };
  const Case cases[] = {
      {100000, 100000, 100000, 49999, 49999},  // one short of half
      {100000, 100000, 100000, 50000, 100000},
      {100000, 100000, 100000, 100000, 100000},
      {64, 64, 64, 10, 10},
      {16384, 16384, 16384, 16384, 16384},  // short enough to copy whatever it filled
      {16386, 16386, 16386, 16385, 16386},
      {1 << 20, 100, 40000, 30000, 30000},  // the block is 1 MiB: 30000 bytes are copied out
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.room << " " << c.count);
    ReceiveQueue queue;
    // A full read far larger than any block before takes the shared block away.
    std::string whole(size_t{4} << 20, 'w'), earlier(c.earlierCount, 'e'), bytes(c.count, 'q');
    for (const std::string* piece : {&whole, &earlier}) {
      size_t room = piece == &whole ? whole.size() : c.earlierRoom;
      queue.Fill(room, [&](char* into, size_t n) { return Piece(*piece, into, n); });
      queue.Take(static_cast<int64_t>(piece->size()));
    }
    queue.Fill(c.room, [&](char* into, size_t n) { return Piece(bytes, into, n); });
    string block = queue.TakeString(static_cast<int64_t>(c.count));
    ASSERT_EQ(block.Length(), static_cast<int32_t>(c.count));
    EXPECT_EQ(std::string(block.View()), bytes);
    EXPECT_EQ(string_block::CapacityOf(block.Rep()), c.capacity);
  }
}

// A short block handed to the program takes a later short read in place only once the program
// has let go of it and only when the read fills half its room or more; a string the program
// still holds keeps its bytes, and a refilled one carries nothing of the last read's encoding.
TEST(ReceiveQueueTest, AShortBlockIsReusedOnlyOnceTheProgramLetGoOfIt) {
  struct Case {
    size_t first, second;  // two reads, the first taken whole with an encoding
    bool held;             // the program still holds the first string at the second read
    int64_t capacity;      // the room of the second string
  };
  const Case cases[] = {
      {32, 32, true, 32},          // held: a record of its own
      {32, 32, false, 32},
      {32, 16, false, 32},         // half the room
      {32, 15, false, 15},         // one short of half: a record of its size
      {32, 33, false, 33},         // one past the room
      {16384, 16000, false, 16384},
      {16385, 16385, false, 16385},  // a long read's block is never kept for reuse
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.first << " then " << c.second << (c.held ? ", held" : ""));
    ReceiveQueue queue;
    std::string a(c.first, 'a'), b(c.second, 'b');
    queue.Fill(c.first, [&](char* into, size_t n) { return Piece(a, into, n); });
    string first = queue.TakeString(static_cast<int64_t>(c.first), kEncodingUTF8);
    if (!c.held) first = string();
    queue.Fill(c.second, [&](char* into, size_t n) { return Piece(b, into, n); });
    string second = queue.TakeString(static_cast<int64_t>(c.second));
    EXPECT_EQ(std::string(second.View()), b);
    EXPECT_EQ(second.Encoding(), kEncodingUnknown);
    EXPECT_EQ(string_block::CapacityOf(second.Rep()), c.capacity);
    if (c.held) {
      EXPECT_EQ(std::string(first.View()), a);
      EXPECT_EQ(first.Encoding(), kEncodingUTF8);
    }
  }
}

}  // namespace
}  // namespace vorn
