#include <gtest/gtest.h>

#include <vector>

#include "windows/gtk_window_order.h"

namespace vorn {
namespace {

// The order keeps pointers only, so distinct addresses stand for windows here.
Window* Fake(int i) {
  static char slots[8];
  return reinterpret_cast<Window*>(&slots[i]);
}

class WindowOrderTest : public ::testing::Test {
 protected:
  void TearDown() override {
    while (GetWindowOrderCount() > 0) UpdateWindowOrder(GetWindowOrderItem(0), kOrderRemove);
  }
  std::vector<Window*> Order() {
    std::vector<Window*> out;
    for (int32_t i = 0; i < GetWindowOrderCount(); ++i) out.push_back(GetWindowOrderItem(i));
    return out;
  }
  // Three windows created in order 3, 2, 1 so that the front-to-back order is 1, 2, 3.
  void MakeThree() {
    UpdateWindowOrder(Fake(3), kOrderInsertFront);
    UpdateWindowOrder(Fake(2), kOrderInsertFront);
    UpdateWindowOrder(Fake(1), kOrderInsertFront);
  }
};

TEST_F(WindowOrderTest, NewWindowsGoToTheFront) {
  MakeThree();
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(1), Fake(2), Fake(3)}));
  EXPECT_EQ(GetFrontWindowPane(), Fake(1));
  EXPECT_EQ(GetFrontWindowOtherThan(Fake(1)), nullptr);
  EXPECT_EQ(GetFrontWindowOtherThan(Fake(2)), Fake(1));
  EXPECT_EQ(GetWindowOrderItem(3), nullptr);
  EXPECT_EQ(GetWindowOrderItem(-1), nullptr);
}

TEST_F(WindowOrderTest, BringingTheSecondToTheFront) {
  MakeThree();
  UpdateWindowOrder(Fake(2), kOrderBringToFront);
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(2), Fake(1), Fake(3)}));
}

TEST_F(WindowOrderTest, StepsForwardAndBackStopAtTheEnds) {
  MakeThree();
  UpdateWindowOrder(Fake(1), kOrderMoveForward);
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(1), Fake(2), Fake(3)}));
  UpdateWindowOrder(Fake(3), kOrderMoveBackward);
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(1), Fake(2), Fake(3)}));
  UpdateWindowOrder(Fake(3), kOrderMoveForward);
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(1), Fake(3), Fake(2)}));
  UpdateWindowOrder(Fake(1), kOrderMoveBackward);
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(3), Fake(1), Fake(2)}));
}

TEST_F(WindowOrderTest, SendToBackAndRemove) {
  MakeThree();
  UpdateWindowOrder(Fake(1), kOrderSendToBack);
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(2), Fake(3), Fake(1)}));
  UpdateWindowOrder(Fake(3), kOrderRemove);
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(2), Fake(1)}));
}

TEST_F(WindowOrderTest, UnknownWindowsAndOperationsChangeNothing) {
  MakeThree();
  for (int op = 1; op <= 5; ++op) UpdateWindowOrder(Fake(5), op);
  UpdateWindowOrder(Fake(2), 6);
  UpdateWindowOrder(Fake(2), -1);
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(1), Fake(2), Fake(3)}));
}

TEST_F(WindowOrderTest, InsertingAListedWindowAgainKeepsItOnce) {
  MakeThree();
  UpdateWindowOrder(Fake(3), kOrderInsertFront);
  EXPECT_EQ(Order(), (std::vector<Window*>{Fake(3), Fake(1), Fake(2)}));
}

}  // namespace
}  // namespace vorn
