#include "windows/mdi_window.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "objects/class_registry.h"
#include "support/class_test.h"

namespace vorn {
namespace {

class MDIWindowTest : public test::IntrinsicClassTest {
 protected:
  RuntimeObject* NewWindow() { return New(GetMDIWindowClassDefinition()); }
  static int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }
};

TEST_F(MDIWindowTest, ANewWindowIsEmptyVisibleAndLimitedAsDesigned) {
  ASSERT_EQ(LookupIntrinsicClass(string("MDIWindow")), GetMDIWindowClassDefinition());
  RuntimeObject* w = NewWindow();
  for (int32_t selector : {kMDILeft, kMDITop, kMDIWidth, kMDIHeight}) EXPECT_EQ(MDIWindowPosGetter(w, selector), 0);
  EXPECT_EQ(shortGetter(w, Offset(offsetof(MDIWindowObject, minWidth))), 64);
  EXPECT_EQ(shortGetter(w, Offset(offsetof(MDIWindowObject, minHeight))), 64);
  EXPECT_EQ(shortGetter(w, Offset(offsetof(MDIWindowObject, maxHeight))), 32000);
  EXPECT_EQ(MDIWindowVisibleGetter(w, 0), 1);
  EXPECT_EQ(MDIWindowHandleGetter(w, 0), 0);
  EXPECT_EQ(MDIWindowPosGetter(w, 9), 0);
}

TEST_F(MDIWindowTest, MovingKeepsTheSizeAndSizingKeepsTheCorner) {
  RuntimeObject* w = NewWindow();
  MDIWindowPosSetter(w, kMDIWidth, 300);
  MDIWindowPosSetter(w, kMDIHeight, 200);
  MDIWindowPosSetter(w, kMDILeft, 10);
  MDIWindowPosSetter(w, kMDITop, -20);
  EXPECT_EQ(MDIWindowPosGetter(w, kMDILeft), 10);
  EXPECT_EQ(MDIWindowPosGetter(w, kMDITop), -20);
  EXPECT_EQ(MDIWindowPosGetter(w, kMDIWidth), 300);
  EXPECT_EQ(MDIWindowPosGetter(w, kMDIHeight), 200);
  MDIWindowPosSetter(w, kMDIWidth, 100000);  // the 16-bit edge holds instead of wrapping
  EXPECT_EQ(MDIWindowPosGetter(w, kMDIWidth), INT16_MAX - 10);
}

TEST_F(MDIWindowTest, TheTitleStaysEmptyAndTheMethodsChangeNothing) {
  RuntimeObject* w = NewWindow();
  MDIWindowTitleSetter(w, 0, string("Documents").Rep());
  EXPECT_EQ(MDIWindowTitleGetter(w, 0), nullptr);
  MDIWindowPosSetter(w, kMDIWidth, 120);
  MDIWindowMaximize(w);
  MDIWindowMinimize(w);
  MDIWindowRestore(w);
  EXPECT_EQ(MDIWindowPosGetter(w, kMDIWidth), 120);
  MDIWindowVisibleSetter(w, 0, 0);
  EXPECT_EQ(MDIWindowVisibleGetter(w, 0), 0);
  test::ExpectEntryPointsBound({{"MDIWindowPosGetter", reinterpret_cast<void*>(&MDIWindowPosGetter)},
                                {"MDIWindowConstructor", reinterpret_cast<void*>(&MDIWindowConstructor)},
                                {"MDIWindowRestore", reinterpret_cast<void*>(&MDIWindowRestore)}});
}

}  // namespace
}  // namespace vorn
