// The Screen object on a real display: what getScreen reports against what GDK reports.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstddef>

#include "objects/runtime_object.h"
#include "vorn/window_api.h"
#include "windows/screen_class.h"

namespace vorn {
namespace {

class ScreenGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs an X display"; }
  void SetUp() override { mBaseline = LiveObjectCount(); }
  void TearDown() override { EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects still alive"; }

  int32_t mBaseline = 0;
};

TEST_F(ScreenGuiTest, ScreenZeroIsTheWholeDisplay) {
  RuntimeObject* screen = getScreen(0);
  ASSERT_NE(screen, nullptr);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(screen, GetScreenClassDefinition()));
  EXPECT_EQ(screen->refCount, 1);

  GdkScreen* display = gdk_screen_get_default();
  const int32_t width = gdk_screen_get_width(display);
  const int32_t height = gdk_screen_get_height(display);
  const int32_t depth = gdk_visual_get_depth(gdk_screen_get_system_visual(display));
  ASSERT_GT(width, 0);
  ASSERT_GT(height, 0);

  EXPECT_EQ(screenLeftGetter(screen, 0), 0);
  EXPECT_EQ(screenTopGetter(screen, 0), 0);
  EXPECT_EQ(screenWidthGetter(screen, 0), width);
  EXPECT_EQ(screenHeightGetter(screen, 0), height);
  EXPECT_EQ(screenDepthGetter(screen, 0), depth);
  // Panels and docks are not taken off: the available area is the whole screen.
  EXPECT_EQ(intGetter(screen, static_cast<int32_t>(offsetof(ScreenObject, availableLeft))), 0);
  EXPECT_EQ(intGetter(screen, static_cast<int32_t>(offsetof(ScreenObject, availableTop))), 0);
  EXPECT_EQ(intGetter(screen, static_cast<int32_t>(offsetof(ScreenObject, availableWidth))), width);
  EXPECT_EQ(intGetter(screen, static_cast<int32_t>(offsetof(ScreenObject, availableHeight))), height);
  RuntimeUnlockObject(screen);
}

TEST_F(ScreenGuiTest, EachCallMakesANewObjectAndOtherIndexesAnswerNil) {
  RuntimeObject* first = getScreen(0);
  RuntimeObject* second = getScreen(0);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(screenWidthGetter(first, 0), screenWidthGetter(second, 0));
  EXPECT_EQ(getScreen(1), nullptr);
  EXPECT_EQ(getScreen(-1), nullptr);
  EXPECT_EQ(getScreenCount(), 1);
  RuntimeUnlockObject(first);
  RuntimeUnlockObject(second);
}

}  // namespace
}  // namespace vorn
