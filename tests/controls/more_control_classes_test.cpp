// The progress bar, shape and panel classes without a display: the property indices packed
// streams rely on, entry points bound by name, and accessors on stored fields before a pane.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/panel_classes.h"
#include "controls/progress_bar_class.h"
#include "controls/shape_classes.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "support/class_test.h"
#include "vorn/controls2_api.h"

namespace vorn {
namespace {

class MoreControlClassesTest : public test::IntrinsicClassTest {};

TEST_F(MoreControlClassesTest, OwnPropertiesStartAt26InTheDocumentedOrder) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(OwnProperties(GetProgressBarClassDefinition()), (Names{"Value%i4%", "Maximum%i4%"}));
  EXPECT_EQ(OwnProperties(GetRectangleClassDefinition()),
            (Names{"FillColor%c%", "BorderWidth%i4%", "TopLeftColor%c%", "BottomRightColor%c%"}));
  EXPECT_EQ(OwnProperties(GetRoundRectangleClassDefinition()),
            (Names{"FillColor%c%", "BorderWidth%i4%", "BorderColor%c%", "OvalWidth%i4%", "OvalHeight%i4%"}));
  EXPECT_EQ(OwnProperties(GetOvalClassDefinition()), (Names{"FillColor%c%", "BorderWidth%i4%", "BorderColor%c%"}));
  EXPECT_EQ(OwnProperties(GetLineClassDefinition()),
            (Names{"X1%i4%", "X2%i4%", "Y1%i4%", "Y2%i4%", "BorderWidth%i4%", "LineColor%c%"}));
  EXPECT_EQ(OwnProperties(GetPagePanelClassDefinition()), (Names{"Enabled%b%", "Value%i4%", "PanelCount%i4%"}));
  EXPECT_EQ(OwnProperties(GetTabPanelClassDefinition(), 29),
            (Names{"Enabled%b%", "TabDefinition%s%", "Value%i4%", "Facing%i4%", "SmallTabs%b%", "TextFont%s%",
                   "TextSize%i4%", "Bold%b%", "Italic%b%", "Underline%b%"}));
}

TEST_F(MoreControlClassesTest, ClassesAreRegisteredAndTheirEntryPointsBoundByName) {
  for (const char* name : {"ProgressBar", "Rectangle", "RoundRectangle", "Oval", "Line", "PagePanel", "TabPanel"}) {
    EXPECT_NE(LookupIntrinsicClass(string(name)), nullptr) << name;
  }
  test::ExpectEntryPointsBound({
      {"ProgressBarCreatePane", reinterpret_cast<void*>(&ProgressBarCreatePane)},
      {"progressMaximumSetter", reinterpret_cast<void*>(&progressMaximumSetter)},
      {"RectCreatePane", reinterpret_cast<void*>(&RectCreatePane)},
      {"LineCreatePane", reinterpret_cast<void*>(&LineCreatePane)},
      {"linePosSetter", reinterpret_cast<void*>(&linePosSetter)},
      {"paneShortSetter", reinterpret_cast<void*>(&paneShortSetter)},
      {"paneBoolGetter", reinterpret_cast<void*>(&paneBoolGetter)},
      {"paneStringSetter", reinterpret_cast<void*>(&paneStringSetter)},
      {"paneObjGetter", reinterpret_cast<void*>(&paneObjGetter)},
      {"PagePanelValueSetter", reinterpret_cast<void*>(&PagePanelValueSetter)},
      {"tabPanelCaptionSetter", reinterpret_cast<void*>(&tabPanelCaptionSetter)},
      {"TabPanelTabClickedOn", reinterpret_cast<void*>(&TabPanelTabClickedOn)},
      {"tabPanelDestructor", reinterpret_cast<void*>(&tabPanelDestructor)},
  });
}

TEST_F(MoreControlClassesTest, ShapeAccessorsWorkOnTheObjectBeforeThePane) {
  RuntimeObject* rect = New(GetRectangleClassDefinition());
  const int32_t fill = PaneFieldParam(offsetof(RectangleObject, fillColor), kShapeFillColor);
  const int32_t border = PaneFieldParam(offsetof(RectangleObject, borderWidth), kShapeBorderWidth);
  paneIntSetter(rect, fill, 0x123456);
  paneShortSetter(rect, border, -2);
  EXPECT_EQ(paneIntGetter(rect, fill), 0x123456);
  EXPECT_EQ(paneShortGetter(rect, border), -2);
  EXPECT_EQ(reinterpret_cast<RectangleObject*>(rect)->borderWidth, -2);
  // A width kept in 16 bits, and an offset outside the object touches nothing.
  paneShortSetter(rect, border, 0x12345);
  EXPECT_EQ(paneShortGetter(rect, border), 0x2345);
  paneIntSetter(rect, PaneFieldParam(1000, kShapeFillColor), 7);
  EXPECT_EQ(paneIntGetter(rect, PaneFieldParam(1000, kShapeFillColor)), 0);
  EXPECT_EQ(paneIntGetter(nullptr, fill), 0);

  // Booleans as a byte; strings and objects held by the object (here in the two colour words).
  paneBoolSetter(rect, fill, 5);
  EXPECT_EQ(paneBoolGetter(rect, fill), 1);
  const int32_t slot = PaneFieldParam(offsetof(RectangleObject, fillColor), kShapeFillColor);
  ASSERT_EQ(offsetof(RectangleObject, fillColor) % alignof(void*), 0u);
  reinterpret_cast<RectangleObject*>(rect)->fillColor = 0;  // an empty slot: nothing to release
  reinterpret_cast<RectangleObject*>(rect)->topLeftColor = 0;
  paneStringSetter(rect, slot, string("Seeing").Rep());
  StringRep* text = paneStringGetter(rect, slot);
  EXPECT_EQ(RepText(text), "Seeing");
  RuntimeUnlockString(text);
  paneStringSetter(rect, slot, nullptr);
  RuntimeObject* other = New(GetOvalClassDefinition());
  paneObjSetter(rect, slot, other);
  RuntimeObject* got = paneObjGetter(rect, slot);
  EXPECT_EQ(got, other);
  RuntimeUnlockObject(got);
  paneObjSetter(rect, slot, nullptr);
  EXPECT_EQ(paneObjGetter(rect, PaneFieldParam(1000, kShapeFillColor)), nullptr);
}

TEST_F(MoreControlClassesTest, LineEndPointsMoveItsBoundsWithTheBorder) {
  RuntimeObject* line = New(GetLineClassDefinition());
  auto* fields = reinterpret_cast<LineObject*>(line);
  paneShortSetter(line, PaneFieldParam(offsetof(LineObject, borderWidth), kShapeBorderWidth), 3);
  linePosSetter(line, static_cast<int32_t>(offsetof(LineObject, x1)), 10);
  linePosSetter(line, static_cast<int32_t>(offsetof(LineObject, y1)), 20);
  linePosSetter(line, static_cast<int32_t>(offsetof(LineObject, x2)), 60);
  linePosSetter(line, static_cast<int32_t>(offsetof(LineObject, y2)), 20);
  EXPECT_EQ(fields->x2, 60);
  Rect bounds = GetControlBounds(AsControl(line));
  EXPECT_EQ(bounds.left, 9);
  EXPECT_EQ(bounds.top, 19);
  EXPECT_EQ(bounds.right, 62);
  EXPECT_EQ(bounds.bottom, 22);
  // Only the end points can be set this way; another field stays as it was.
  linePosSetter(line, static_cast<int32_t>(offsetof(LineObject, lineColor)), 0x00FF00);
  linePosSetter(line, 0, 1);
  EXPECT_EQ(fields->lineColor, 0);
  EXPECT_EQ(GetControlBounds(AsControl(line)).right, 62);
}

TEST_F(MoreControlClassesTest, ProgressAndPanelValuesAreKeptWithoutAPane) {
  RuntimeObject* bar = New(GetProgressBarClassDefinition());
  progressMaximumSetter(bar, 0, 100);
  progressValueSetter(bar, 0, 140);
  EXPECT_EQ(progressValueGetter(bar, 0), 140) << "the object keeps what was set";
  EXPECT_EQ(progressMaximumGetter(bar, 0), 100);
  EXPECT_EQ(progressValueGetter(nullptr, 0), 0);

  RuntimeObject* tabs = New(GetTabPanelClassDefinition());
  tabPanelValueSetter(tabs, 0, 2);
  EXPECT_EQ(tabPanelValueGetter(tabs, 0), 2);
  EXPECT_EQ(PagePanelCountGetter(tabs, 0), 0);
  EXPECT_EQ(TabPanelTabClickedOn(tabs, 5, 5), -1);
  EXPECT_EQ(tabPanelCaptionGetter(tabs, 0), nullptr);
  tabPanelTextFontSetter(tabs, 0, string("Serif").Rep());
  tabPanelBoldSetter(tabs, 0, 7);
  auto* fields = reinterpret_cast<TabPanelObject*>(tabs);
  EXPECT_EQ(RepText(fields->textFont), "Serif");
  EXPECT_EQ(fields->bold, 1);
  EXPECT_EQ(PendingException(), nullptr) << "nothing to check against without a pane";
}

}  // namespace
}  // namespace vorn
