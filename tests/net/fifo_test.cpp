#include "net/fifo.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace vorn {
namespace {

// Items leave in the order they came, also when the vector drops the items already taken
// instead of growing (a queue that never empties) and when it empties.
TEST(FifoTest, ItemsLeaveInTheOrderTheyCame) {
  struct Case {
    int push, pop, rounds;
  } cases[] = {{1, 1, 200}, {2, 1, 100}, {3, 2, 150}, {9, 8, 40}};  // {1, 1}: a request and its reply
  for (const Case& c : cases) {
    Fifo<std::string> fifo;
    std::deque<std::string> model;
    for (int round = 0, next = 0; round < c.rounds; ++round) {
      for (int n = 0; n < c.push; ++n, ++next) {
        fifo.EmplaceBack(std::to_string(next));
        model.push_back(std::to_string(next));
      }
      for (int n = 0; n < c.pop; ++n, model.pop_front()) fifo.PopFront();
      ASSERT_EQ(fifo.Size(), model.size());
      for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(fifo[i], model[i]) << c.push << "/" << c.pop << " item " << i;
      if (!model.empty()) {
        ASSERT_EQ(fifo.Front(), model.front());
        ASSERT_EQ(fifo.Back(), model.back());
      }
    }
  }
}

}  // namespace
}  // namespace vorn
