// Finding the controls of a window by name, as compiled code does for every reference to a
// control placed on a window: a real window object (its native window is made, not shown).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "startup/window_loop_hooks.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "startup/runtime_window_install.h"

extern "C" {
#include "image_imports.h"
#include "packed_stream.h"
#include "vorn/application_abi.h"
#include "property_indices.h"
#include "vorn/class_abi.h"
}

namespace {

VORN_LITERAL(kRectControl, "RectControl");
VORN_LITERAL(kChart, "Chart");
VORN_LITERAL(kChartOtherCase, "cHART");
VORN_LITERAL(kRow, "Row");
VORN_LITERAL(kMissing, "Missing");

VornRuntimeObject* gChart;
VornRuntimeObject* gRow;

void AddRect(VornRuntimeObject* window, VornStringRecord* name, int32_t index, VornRuntimeObject** out) {
  VornRuntimeObject* control = WindowAllocateObject(window, RuntimeLookupClass(VORN_STR(kRectControl)));
  ASSERT_NE(control, nullptr);
  PackedStream stream;
  PackedBegin(&stream);
  PackedInteger(&stream, kPropControlIndex, index);
  RuntimeMassPropertySetter(control, PackedRecord(&stream));
  WindowAddControl(window, name, control);
  *out = control;
  RuntimeUnlockObject(control);
}

extern "C" void ReferenceWindowCreateControls(VornRuntimeObject* self) {
  AddRect(self, VORN_STR(kChart), static_cast<int32_t>(0x80000000), &gChart);
  AddRect(self, VORN_STR(kRow), 2, &gRow);
}

const VornClassMember kHandlers[] = {
    {"#CreateControls%%o<ReferenceWindow>", reinterpret_cast<void*>(&ReferenceWindowCreateControls), nullptr, 0}};

class ControlReferenceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs an X display";
    RuntimeInitExternalClasses();
    vorn::InitRuntimeWindowLayer();
    vorn::InstallWindowLoopHooks();
    vorn::SetRuntimeErrorPresenter(nullptr);
    VornClassRecord record = {};
    record.version = kVornClassRecordVersion;
    record.name = "ReferenceWindow";
    record.superName = "Window";
    record.instanceSize = VORN_WINDOW_INSTANCE_SIZE;
    record.eventImplementations = kHandlers;
    record.eventImplementationCount = 1;
    sClass = RuntimeNewClass(&record);
    ASSERT_NE(sClass, nullptr);
  }
  void SetUp() override {
    mWindow = RuntimeNewObject(sClass);
    ASSERT_NE(mWindow, nullptr);
    WindowDefaultConstructor(mWindow);
  }
  void TearDown() override {
    RuntimeCloseWindow(mWindow);
    RuntimeUnlockObject(mWindow);
    EXPECT_EQ(vorn::PendingException(), nullptr);
  }

  static VornRuntimeClass* sClass;
  VornRuntimeObject* mWindow = nullptr;
};

VornRuntimeClass* ControlReferenceTest::sClass = nullptr;

TEST_F(ControlReferenceTest, FindsAControlByItsNameWithAReferenceForTheCaller) {
  const int32_t before = gChart->refCount;
  VornRuntimeObject* found = RuntimeControlReference(mWindow, VORN_STR(kChart));
  EXPECT_EQ(found, gChart);
  EXPECT_EQ(gChart->refCount, before + 1);
  RuntimeUnlockObject(found);
  // Names compare without regard to letter case.
  found = RuntimeControlReference(mWindow, VORN_STR(kChartOtherCase));
  EXPECT_EQ(found, gChart);
  RuntimeUnlockObject(found);
}

TEST_F(ControlReferenceTest, MembersOfAControlArrayAreFoundByNameAndIndex) {
  VornRuntimeObject* found = RuntimeControlArrayItemReference(mWindow, VORN_STR(kRow), 2);
  EXPECT_EQ(found, gRow);
  RuntimeUnlockObject(found);
  EXPECT_EQ(RuntimeControlArrayItemReference(mWindow, VORN_STR(kRow), 1), nullptr);
  // The member is filed as Row$2, not as Row.
  EXPECT_EQ(RuntimeControlReference(mWindow, VORN_STR(kRow)), nullptr);
}

TEST_F(ControlReferenceTest, AnythingElseAnswersNil) {
  EXPECT_EQ(RuntimeControlReference(mWindow, VORN_STR(kMissing)), nullptr);
  EXPECT_EQ(RuntimeControlReference(mWindow, nullptr), nullptr);
  EXPECT_EQ(RuntimeControlReference(nullptr, VORN_STR(kChart)), nullptr);
  // A control is not a window.
  EXPECT_EQ(RuntimeControlReference(gChart, VORN_STR(kChart)), nullptr);
}

}  // namespace
