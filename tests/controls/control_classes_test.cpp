// The concrete control classes without a display: property indices packed streams rely on,
// event tables, entry points bound by name, and every accessor working on stored fields
// before a pane exists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/canvas_class.h"
#include "controls/embedded_window_control.h"
#include "controls/group_box_class.h"
#include "controls/scroller_class.h"
#include "controls/static_text_class.h"
#include "base/reloc_entry.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "support/class_test.h"
#include "vorn/controls_api.h"

namespace vorn {
namespace {

class ControlClassesTest : public test::IntrinsicClassTest {};

TEST_F(ControlClassesTest, OwnPropertiesStartAt26InTheOrderPackedStreamsUse) {
  EXPECT_EQ(OwnProperties(GetSliderClassDefinition()),
            (std::vector<std::string>{"Minimum%i4%", "Value%i4%", "Maximum%i4%", "LineStep%i4%", "PageStep%i4%",
                                      "LiveScroll%b%"}));
  EXPECT_EQ(OwnProperties(GetScrollBarClassDefinition()).back(), "AcceptFocus%b%");
  EXPECT_EQ(OwnProperties(GetStaticTextClassDefinition()),
            (std::vector<std::string>{"Text%s%", "Caption%s%", "TextAlign%i4%", "TextColor%c%", "TextFont%s%",
                                      "TextSize%i4%", "Bold%b%", "Italic%b%", "Underline%b%", "MultiLine%b%",
                                      "DataSource%s%", "DataField%s%"}));
  EXPECT_EQ(OwnProperties(GetCanvasClassDefinition()),
            (std::vector<std::string>{"Graphics%o<Graphics>%", "Backdrop%o<Picture>%", "AcceptFocus%b%",
                                      "AcceptTabs%b%", "UseFocusRing%b%", "EraseBackground%b%"}));
  EXPECT_EQ(OwnProperties(GetEmbeddedWindowControlClassDefinition()), OwnProperties(GetCanvasClassDefinition()));
  EXPECT_EQ(OwnProperties(GetGroupBoxClassDefinition()),
            (std::vector<std::string>{"Caption%s%", "TextFont%s%", "TextSize%i4%", "Bold%b%", "Italic%b%",
                                      "Underline%b%"}));
}

TEST_F(ControlClassesTest, ClassesAreRegisteredAndTheirEntryPointsBoundByName) {
  for (const char* name : {"ScrollBar", "Slider", "StaticText", "Canvas", "EmbeddedWindowControl", "GroupBox"}) {
    EXPECT_NE(LookupIntrinsicClass(string(name)), nullptr) << name;
  }
  test::ExpectEntryPointsBound({
      {"SliderCreatePane", reinterpret_cast<void*>(&SliderCreatePane)},
      {"scrollerPropGetter", reinterpret_cast<void*>(&scrollerPropGetter)},
      {"SliderLiveScrollSetter", reinterpret_cast<void*>(&SliderLiveScrollSetter)},
      {"staticCaptionSetter", reinterpret_cast<void*>(&staticCaptionSetter)},
      {"canvasGraphicsGetter", reinterpret_cast<void*>(&canvasGraphicsGetter)},
      {"canvasScroll", reinterpret_cast<void*>(&canvasScroll)},
      {"EmbeddedWindowControlFinalizer", reinterpret_cast<void*>(&EmbeddedWindowControlFinalizer)},
      {"groupCaptionSetter", reinterpret_cast<void*>(&groupCaptionSetter)},
      {"groupUnderlineGetter", reinterpret_cast<void*>(&groupUnderlineGetter)},
  });
  // The container's forwarders reach the directory through the class.
  RelocEntry* paint = LookupRelocEntry(string("ewcPaint"));
  ASSERT_NE(paint, nullptr);
  EXPECT_NE(paint->code, nullptr);
}

TEST_F(ControlClassesTest, CreatePaneAndInheritedEventsAreTheClassesOwn) {
  RuntimeObject* slider = New(GetSliderClassDefinition());
  EXPECT_EQ(slider->eventTable[kControlEventCreatePane].handler, reinterpret_cast<void*>(&SliderCreatePane));
  RuntimeObject* container = New(GetEmbeddedWindowControlClassDefinition());
  EXPECT_EQ(container->eventTable[kControlEventCreatePane].handler, reinterpret_cast<void*>(&CanvasCreatePane));
  RuntimeClass* cls = container->classPtr;
  int forwarded = 0;
  for (int32_t i = 0; i < cls->EventCount(); ++i) {
    std::string_view name = RepText(cls->mEvents[i].name);
    if (name == "Paint" || name == "KeyDown" || name == "MouseDown" || name == "MouseWheel" || name == "Close") {
      EXPECT_NE(container->eventTable[i].handler, nullptr) << name;
      ++forwarded;
    }
  }
  EXPECT_EQ(forwarded, 5);
  EXPECT_EQ(AsControl(container)->enabled, 1);
  EXPECT_EQ(AsControl(container)->autoDeactivate, 1);
}

TEST_F(ControlClassesTest, ScrollerAccessorsWorkOnFieldsBeforeThePane) {
  RuntimeObject* slider = New(GetSliderClassDefinition());
  scrollerPropSetter(slider, kScrollerMinimum, -5);
  scrollerPropSetter(slider, kScrollerMaximum, 500);
  scrollerPropSetter(slider, kScrollerValue, 7);
  scrollerPropSetter(slider, 6, 99);
  scrollerPropSetter(slider, -1, 99);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerMinimum), -5);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerMaximum), 500);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerValue), 7);
  EXPECT_EQ(scrollerPropGetter(slider, 6), 0);
  EXPECT_EQ(scrollerPropGetter(slider, kScrollerLineStep), 0);
  SliderLiveScrollSetter(slider, 0, 1);
  EXPECT_EQ(AsScrollerObject(slider)->fields.liveScroll, 1);
  // A Boolean arrives in the low byte; the rest of the word is not the caller's.
  RuntimeObject* bar = New(GetScrollBarClassDefinition());
  scrollerPropSetter(bar, kScrollerAcceptFocus, 0x7F00);
  EXPECT_EQ(scrollerPropGetter(bar, kScrollerAcceptFocus), 0);
  scrollerPropSetter(bar, kScrollerAcceptFocus, 1);
  EXPECT_EQ(scrollerPropGetter(bar, kScrollerAcceptFocus), 1);
  // Other objects are left alone.
  RuntimeObject* text = New(GetStaticTextClassDefinition());
  scrollerPropSetter(text, kScrollerValue, 3);
  EXPECT_EQ(scrollerPropGetter(text, kScrollerValue), 0);
  EXPECT_EQ(scrollerPropGetter(nullptr, kScrollerValue), 0);
}

TEST_F(ControlClassesTest, GroupBoxAccessorsStoreAndReportANilControl) {
  RuntimeObject* group = New(GetGroupBoxClassDefinition());
  EXPECT_EQ(groupCaptionGetter(group, 0), nullptr) << "an empty caption is nil";
  EXPECT_EQ(groupTextFontGetter(group, 0), nullptr);
  groupCaptionSetter(group, 0, string("Telescope").Rep());
  groupTextSizeSetter(group, 0, -3);
  groupBoldSetter(group, 0, 2);
  StringRep* caption = groupCaptionGetter(group, 0);
  EXPECT_EQ(RepText(caption), "Telescope");
  RuntimeUnlockString(caption);
  EXPECT_EQ(groupTextSizeGetter(group, 0), -3) << "sizes widen with their sign";
  EXPECT_EQ(groupBoldGetter(group, 0), 1);
  EXPECT_EQ(groupItalicGetter(group, 0), 0);
  groupCaptionSetter(group, 0, string("").Rep());
  EXPECT_EQ(groupCaptionGetter(group, 0), nullptr);

  EXPECT_EQ(groupCaptionGetter(nullptr, 0), nullptr);
  groupCaptionSetter(nullptr, 0, string("x").Rep());
  ASSERT_EQ(Reports().size(), 2u);
  EXPECT_NE(Reports()[0].find("GroupBox"), std::string::npos);
  // Setting the font the control holds keeps it alive.
  groupTextFontSetter(group, 0, string("Sans").Rep());
  StringRep* font = groupTextFontGetter(group, 0);
  groupTextFontSetter(group, 0, font);
  RuntimeUnlockString(font);
  StringRep* again = groupTextFontGetter(group, 0);
  EXPECT_EQ(RepText(again), "Sans");
  RuntimeUnlockString(again);
}

TEST_F(ControlClassesTest, CanvasWithoutPaneHasNoGraphicsAndScrollsNothing) {
  RuntimeObject* canvas = New(GetCanvasClassDefinition());
  EXPECT_EQ(canvasGraphicsGetter(canvas, 0), nullptr);
  canvasScroll(canvas, 4, 4, 0, 0, -10000, -10000, 1);
  RuntimeObject* picture = New(GetCanvasClassDefinition());  // any object stands for a picture
  int32_t before = picture->refCount;
  canvasBackdropSetter(canvas, 0, picture);
  EXPECT_EQ(picture->refCount, before + 1) << "the backdrop is held";
  canvasBackdropSetter(canvas, 0, nullptr);
  EXPECT_EQ(picture->refCount, before);
  canvasBackdropSetter(canvas, 0, picture);  // released by the destructor
}

TEST_F(ControlClassesTest, AContainerLetsItsTemplateWindowGoWhenItDies) {
  RuntimeObject* container = CreateInstanceFromDefinition(GetEmbeddedWindowControlClassDefinition());
  RuntimeObject* window = CreateInstanceFromDefinition(GetCanvasClassDefinition());  // stands for a window
  SetEmbeddedTemplateWindow(container, window);
  EXPECT_EQ(EmbeddedTemplateWindow(container), window);
  EXPECT_EQ(window->refCount, 2);
  RuntimeUnlockObject(window);
  RuntimeUnlockObject(container);  // the template goes with it
}

}  // namespace
}  // namespace vorn
