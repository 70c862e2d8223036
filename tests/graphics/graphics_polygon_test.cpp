#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/graphics_object.h"
#include "graphics/support/recording_port.h"
#include "objects/arrays.h"
#include "vorn/graphics_api.h"

using namespace vorn;
using vorn::testing::GraphicsObjectTest;
using vorn::testing::RecordingPort;
using vorn::testing::RecordingTarget;

namespace {

using Calls = std::vector<std::string>;

class GraphicsPolygons : public GraphicsObjectTest {
 protected:
  void SetUp() override {
    GraphicsObjectTest::SetUp();
    mArrays = LiveArrayCount();
    mPort = new RecordingPort(&mTarget);
    mGraphics = NewGraphicsObject(mPort);
    ASSERT_NE(mGraphics, nullptr);
  }
  void TearDown() override {
    RuntimeUnlockObject(mGraphics);
    EXPECT_EQ(LiveArrayCount(), mArrays) << "arrays still alive";
    GraphicsObjectTest::TearDown();
  }

  static VornArray* IntegerArray(const std::vector<int32_t>& values) {
    VornArray* array = CreateArray(kVornArrayInteger, 1, static_cast<int32_t>(values.size()) - 1);
    for (size_t i = 0; i < values.size(); ++i) ArraySetInteger(array, static_cast<int32_t>(i), values[i]);
    return array;
  }

  RecordingTarget mTarget{MakeRect(30, 40, 230, 140)};
  RecordingPort* mPort = nullptr;
  RuntimeObject* mGraphics = nullptr;
  int32_t mArrays = 0;
};

TEST_F(GraphicsPolygons, PointsGoToThePortAsGivenWithElementZeroUnused) {
  // The pane lies at (30, 40), yet the points are not moved: the port places them itself.
  VornArray* triangle = IntegerArray({-7, 0, 0, 10, 0, 5, 8});
  graphicsDrawPolygon(mGraphics, triangle);
  graphicsFillPolygon(mGraphics, triangle);
  // An odd last element travels along; the port leaves it unused.
  VornArray* odd = IntegerArray({0, 1, 2, 3, 4, 5});
  graphicsFillPolygon(mGraphics, odd);
  EXPECT_EQ(mPort->mCalls,
            (Calls{"DrawPolygon 0 0 10 0 5 8", "FillPolygon 0 0 10 0 5 8", "FillPolygon 1 2 3 4 5"}));
  EXPECT_EQ(TakePendingClassName(), "");
  RuntimeUnlockArray(triangle);
  RuntimeUnlockArray(odd);
}

TEST_F(GraphicsPolygons, TooShortEmptyAndNilArraysDrawNothing) {
  VornArray* one = IntegerArray({4});
  VornArray* empty = CreateArray(kVornArrayInteger, 1, -1);
  graphicsDrawPolygon(mGraphics, one);
  graphicsFillPolygon(mGraphics, empty);
  graphicsDrawPolygon(mGraphics, nullptr);
  graphicsFillPolygon(mGraphics, nullptr);
  EXPECT_TRUE(mPort->mCalls.empty()) << mPort->mCalls.front();
  EXPECT_EQ(TakePendingClassName(), "");
  // Two elements are the smallest array that reaches the port (one coordinate, no point).
  VornArray* two = IntegerArray({0, 9});
  graphicsDrawPolygon(mGraphics, two);
  EXPECT_EQ(mPort->mCalls, (Calls{"DrawPolygon 9"}));
  RuntimeUnlockArray(one);
  RuntimeUnlockArray(empty);
  RuntimeUnlockArray(two);
}

TEST_F(GraphicsPolygons, OtherElementKindsAndShapesAreTypeMismatches) {
  // Double elements have the right count but not the layout the port reads.
  VornArray* doubles = CreateArray(kVornArrayDouble, 1, 6);
  VornArray* shorts = CreateArray(kVornArrayShort, 1, 6);
  const int32_t bounds[] = {2, 2};
  VornArray* grid = RuntimeNewArray(kVornArrayInteger, 2, bounds);
  for (VornArray* array : {doubles, shorts, grid}) {
    graphicsDrawPolygon(mGraphics, array);
    EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
    graphicsFillPolygon(mGraphics, array);
    EXPECT_EQ(TakePendingClassName(), "TypeMismatchException");
    RuntimeUnlockArray(array);
  }
  EXPECT_TRUE(mPort->mCalls.empty()) << mPort->mCalls.front();
}

TEST_F(GraphicsPolygons, NilGraphicsIsANilObject) {
  VornArray* points = IntegerArray({0, 1, 2, 3, 4});
  graphicsDrawPolygon(nullptr, points);
  EXPECT_EQ(TakePendingClassName(), "NilObjectException");
  RuntimeUnlockArray(points);
}

}  // namespace
