// The image addresses the runtime's classes by position, as compiled code does: packed property
// streams by property index, the composite slider's Changed by event index. These positions are
// checked here against the run-time classes themselves, so that a class that gains or loses a
// row breaks this test instead of silently setting the wrong property in the calculator.
#include <gtest/gtest.h>

#include <string>

#include "startup/class_registration.h"
#include "objects/class_registry.h"
#include "objects/runtime_class.h"
#include "windows/container_control.h"
#include "windows/window_class.h"

extern "C" {
#include "property_indices.h"
}

namespace vorn {
namespace {

class ClassTablesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterIntrinsicClasses();
    RegisterWindowClass();
    RegisterContainerControlClass();
  }

  static RuntimeClass* Class(const char* name) {
    RuntimeClass* cls = LookupClassByName(string(name));
    EXPECT_NE(cls, nullptr) << name;
    return cls;
  }

  // The property's name at that index, without its type; "" past the table.
  static std::string PropertyAt(const char* className, int32_t index) {
    RuntimeClass* cls = Class(className);
    if (!cls || index < 0 || index >= cls->PropertyCount()) return "";
    std::string signature(RepText(cls->mAccessors[static_cast<size_t>(index)].signature));
    return signature.substr(0, signature.find('%'));
  }
};

TEST_F(ClassTablesTest, ControlPropertiesTheImageSetsSitWhereItPacksThem) {
  for (const char* name : {"Slider", "StaticText", "GroupBox", "Canvas", "PopupMenu"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(PropertyAt(name, kPropControlIndex), "Index");
    EXPECT_EQ(PropertyAt(name, kPropControlVisible), "Visible");
    EXPECT_EQ(PropertyAt(name, kPropControlLeft), "Left");
    EXPECT_EQ(PropertyAt(name, kPropControlTop), "Top");
    EXPECT_EQ(PropertyAt(name, kPropControlWidth), "Width");
    EXPECT_EQ(PropertyAt(name, kPropControlHeight), "Height");
    EXPECT_EQ(PropertyAt(name, kPropControlEnabled), "Enabled");
  }
  EXPECT_EQ(PropertyAt("Slider", kPropSliderMinimum), "Minimum");
  EXPECT_EQ(PropertyAt("Slider", kPropSliderValue), "Value");
  EXPECT_EQ(PropertyAt("Slider", kPropSliderMaximum), "Maximum");
  EXPECT_EQ(PropertyAt("Slider", kPropSliderLineStep), "LineStep");
  EXPECT_EQ(PropertyAt("Slider", kPropSliderPageStep), "PageStep");
  EXPECT_EQ(PropertyAt("Slider", kPropSliderLiveScroll), "LiveScroll");
  EXPECT_EQ(PropertyAt("StaticText", kPropStaticText), "Text");
  EXPECT_EQ(PropertyAt("StaticText", kPropStaticTextAlign), "TextAlign");
  EXPECT_EQ(PropertyAt("StaticText", kPropStaticTextColor), "TextColor");
  EXPECT_EQ(PropertyAt("StaticText", kPropStaticTextSize), "TextSize");
  EXPECT_EQ(PropertyAt("StaticText", kPropStaticBold), "Bold");
  EXPECT_EQ(PropertyAt("GroupBox", kPropGroupCaption), "Caption");
  EXPECT_EQ(PropertyAt("GroupBox", kPropGroupBold), "Bold");
  EXPECT_EQ(PropertyAt("Canvas", kPropCanvasEraseBackground), "EraseBackground");
  EXPECT_EQ(PropertyAt("PopupMenu", kPropPopupListIndex), "ListIndex");
  EXPECT_EQ(PropertyAt("PopupMenu", kPropPopupInitialValue), "InitialValue");
}

TEST_F(ClassTablesTest, WindowAndContainerTablesEndWhereTheCompositeSliderBegins) {
  EXPECT_EQ(PropertyAt("Window", kPropWindowVisible), "Visible");
  EXPECT_EQ(PropertyAt("Window", kPropWindowLeft), "Left");
  EXPECT_EQ(PropertyAt("Window", kPropWindowTop), "Top");
  EXPECT_EQ(PropertyAt("Window", kPropWindowWidth), "Width");
  EXPECT_EQ(PropertyAt("Window", kPropWindowHeight), "Height");
  EXPECT_EQ(PropertyAt("Window", kPropWindowPlacement), "Placement");
  EXPECT_EQ(PropertyAt("Window", kPropWindowTitle), "Title");
  EXPECT_EQ(PropertyAt("Window", kPropWindowResizeable), "Resizeable");
  EXPECT_EQ(PropertyAt("Window", kPropWindowFrame), "Frame");
  RuntimeClass* window = Class("Window");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->PropertyCount(), kPropWindowCount);

  // A container is placed like a window: the same rows for its position and size.
  EXPECT_EQ(PropertyAt("ContainerControl", kPropWindowLeft), "Left");
  EXPECT_EQ(PropertyAt("ContainerControl", kPropWindowWidth), "Width");
  EXPECT_EQ(PropertyAt("ContainerControl", kPropWindowHeight), "Height");
  RuntimeClass* container = Class("ContainerControl");
  ASSERT_NE(container, nullptr);
  EXPECT_EQ(container->PropertyCount(), kPropContainerCount);
  // The composite slider's Changed is numbered right after the events it inherits.
  EXPECT_EQ(container->EventCount(), kWindowEventCount);
}

}  // namespace
}  // namespace vorn
