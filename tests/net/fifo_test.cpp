#include "net/fifo.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace vorn {
namespace {

// Items leave in the order they came whatever the pattern, including when the vector drops
// the items already taken instead of growing (a queue that never empties), and when it empties.
TEST(FifoTest, ItemsLeaveInTheOrderTheyCame) {
  struct Case {
    const char* pattern;  // per round: a digit pushes that many, a letter pops ('a' one, 'b' two ...)
    int rounds;
  };
  const Case cases[] = {
      {"1a", 200},      // fills and drains: a request and its reply
      {"2a", 100},      // grows by one a round
      {"3b", 150},      // never empties: taken items are dropped when room runs out
      {"9h", 40},       // bursts, one left behind each time
      {"5e1a", 60},     // empties, then one in one out
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    Fifo<std::string> fifo;
    std::deque<std::string> model;
    int next = 0;
    for (int round = 0; round < c.rounds; ++round) {
      for (const char* step = c.pattern; *step; ++step) {
        if (*step >= '0' && *step <= '9') {
          for (int n = *step - '0'; n > 0; --n) {
            fifo.EmplaceBack(std::to_string(next));
            model.push_back(std::to_string(next++));
          }
        } else {
          for (int n = *step - 'a' + 1; n > 0 && !model.empty(); --n) {
            ASSERT_FALSE(fifo.Empty());
            ASSERT_EQ(fifo.Front(), model.front());
            fifo.PopFront();
            model.pop_front();
          }
        }
        ASSERT_EQ(fifo.Size(), model.size());
        for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(fifo[i], model[i]) << "item " << i;
        if (!model.empty()) {
          ASSERT_EQ(fifo.Back(), model.back());
        }
      }
    }
  }
}

}  // namespace
}  // namespace vorn
