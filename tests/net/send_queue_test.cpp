#include "net/send_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn {
namespace {

// The first `most` bytes the queue offers: a copy of the whole front in every round of a
// small step would make the test quadratic in the text's size.
std::string FrontOf(const SendQueue& queue, size_t most = SIZE_MAX) {
  int32_t count = 0;
  const char* bytes = queue.Front(&count);
  return bytes ? std::string(bytes, std::min(static_cast<size_t>(count), most)) : std::string();
}

TEST(SendQueueTest, BytesLeaveInTheOrderWrittenWhateverTheirSize) {
  const std::string longText(SendQueue::kSharedWrite, 'L');
  const std::string edge(SendQueue::kSharedWrite - 1, 'e');  // one short of being kept as it is
  struct Case {
    std::vector<std::string> writes;
    std::vector<int64_t> steps;  // the most one send takes
  } cases[] = {
      {{"ab", "cd", "e"}, {1, 2, 5, 100}},
      {{"head", longText, "tail"}, {3, 4, 5, SendQueue::kSharedWrite + 4, 1 << 20}},
      {{longText, longText}, {SendQueue::kSharedWrite - 1, SendQueue::kSharedWrite, SendQueue::kSharedWrite + 1}},
      {{edge, "x", longText, edge}, {7, 1 << 20}},
      {{std::string(SendQueue::kGatherLimit + 1, 'g'), "h"}, {SendQueue::kGatherLimit, 1 << 22}},
  };
  for (bool asString : {false, true}) {
    for (const Case& c : cases) {
      for (int64_t step : c.steps) {
        SCOPED_TRACE(::testing::Message() << "row " << &c - cases << ", step " << step << (asString ? ", string" : ""));
        SendQueue queue;
        std::string all, sent;
        for (const std::string& w : c.writes) {
          if (asString) queue.Append(string(w, kEncodingASCII));
          else queue.Append(w.data(), static_cast<int32_t>(w.size()));
          all += w;
        }
        EXPECT_EQ(queue.Count(), static_cast<int64_t>(all.size()));
        // Every round must send something: a queue that counts bytes it no longer offers
        // would otherwise hold the loop for good instead of failing.
        for (size_t round = 0; queue.Count() > 0 && round <= all.size(); ++round) {
          std::string front = FrontOf(queue, static_cast<size_t>(step));
          sent += front;
          queue.Consume(static_cast<int64_t>(front.size()));
        }
        EXPECT_EQ(queue.Count(), 0) << "bytes counted but never offered";
        EXPECT_EQ(sent, all);
        EXPECT_EQ(FrontOf(queue), "");
        // A drained queue starts afresh: nothing sent before comes first again.
        queue.Append("z", 1);
        EXPECT_EQ(FrontOf(queue), "z");
      }
    }
  }
}

TEST(SendQueueTest, ShortWritesLeaveTogetherAndALongStringIsSentFromWhereItIs) {
  SendQueue queue;
  queue.Append("ab", 2);
  queue.Append(string("cd"));
  EXPECT_EQ(FrontOf(queue), "abcd") << "one send carries both";
  queue.Consume(4);
  string text(std::string(SendQueue::kSharedWrite, 'z'), kEncodingASCII);
  queue.Append(text);
  int32_t count = 0;
  EXPECT_EQ(queue.Front(&count), text.CString());
  // The program changes its string afterwards: the queued bytes are the ones written.
  text.MutableBytes()[0] = 'X';
  EXPECT_EQ(FrontOf(queue), std::string(SendQueue::kSharedWrite, 'z'));
}

}  // namespace
}  // namespace vorn
