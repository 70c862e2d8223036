#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/reloc_entry.h"
#include "graphics/graphics_object.h"
#include "graphics/support/recording_port.h"
#include "objects/accessors.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "vorn/graphics_api.h"
#include "vorn/shapes_api.h"

using namespace vorn;
using vorn::testing::GraphicsObjectTest;
using vorn::testing::RecordingPort;
using vorn::testing::RecordingTarget;

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

RuntimeClass* GraphicsClass() { return RuntimeClassFromDefinition(GetGraphicsClassDefinition()); }

class GraphicsClassTest : public GraphicsObjectTest {};

TEST_F(GraphicsClassTest, LayoutPutsThePortRightAfterTheHeader) {
  ObjectDefinition* definition = GetGraphicsClassDefinition();
  EXPECT_EQ(definition, GetGraphicsClassDefinition());
  EXPECT_EQ(std::string(definition->mName.View()), "Graphics");
  EXPECT_EQ(definition->mSuper, nullptr);
  EXPECT_EQ(definition->mInstanceSize, static_cast<int32_t>(sizeof(GraphicsObject)));
  EXPECT_EQ(kGraphicsPortOffset, VORN_OBJECT_HEADER_SIZE);
  EXPECT_LT(kGraphicsPortOffset, kGraphicsCopiesOffset);
  EXPECT_LT(kGraphicsCopiesOffset, kGraphicsFirstPageOffset);
  EXPECT_LT(kGraphicsFirstPageOffset, kGraphicsLastPageOffset);
  EXPECT_EQ(definition->mFinalizer.function, Fn(&RuntimeGraphicsDestructor));
  EXPECT_STREQ(definition->mFinalizer.entryName, "RuntimeGraphicsDestructor");
}

TEST_F(GraphicsClassTest, PropertiesInDeclarationOrderWithTheirAccessors) {
  struct Expected {
    const char* signature;
    void* getter;
    void* setter;
  };
  const std::vector<Expected> expected = {
      {"ForeColor%c%", Fn(&graphicsForeColorGetter), Fn(&graphicsForeColorSetter)},
      {"Width%i4%", Fn(&graphicsWidthGetter), nullptr},
      {"Height%i4%", Fn(&graphicsHeightGetter), nullptr},
      {"TextFont%s%", Fn(&graphicsTextFontGetter), Fn(&graphicsTextFontSetter)},
      {"TextSize%i4%", Fn(&graphicsTextSizeGetter), Fn(&graphicsTextSizeSetter)},
      {"Copies%i4%", Fn(&graphicsCopiesGetter), nullptr},
      {"FirstPage%i4%", Fn(&graphicsFirstPageGetter), nullptr},
      {"LastPage%i4%", Fn(&graphicsLastPageGetter), nullptr},
      {"Bold%b%", Fn(&graphicsBoldGetter), Fn(&graphicsBoldSetter)},
      {"Italic%b%", Fn(&graphicsItalicGetter), Fn(&graphicsItalicSetter)},
      {"Underline%b%", Fn(&graphicsUnderlineGetter), Fn(&graphicsUnderlineSetter)},
      {"PenWidth%i4%", Fn(&graphicsPenWidthGetter), Fn(&graphicsPenWidthSetter)},
      {"PenHeight%i4%", Fn(&graphicsPenHeightGetter), Fn(&graphicsPenHeightSetter)},
      {"UseOldRenderer%b%", Fn(&graphicsUseOldRendererGetter), Fn(&graphicsUseOldRendererSetter)},
  };
  RuntimeClass* cls = GraphicsClass();
  ASSERT_NE(cls, nullptr);
  ASSERT_EQ(cls->mAccessors.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const PropertyEntry& entry = cls->mAccessors[i];
    EXPECT_EQ(RepText(entry.signature), expected[i].signature) << i;
    EXPECT_EQ(entry.getter, expected[i].getter) << expected[i].signature;
    EXPECT_EQ(entry.setter, expected[i].setter) << expected[i].signature;
  }
}

TEST_F(GraphicsClassTest, MethodSignaturesAndDefaults) {
  const std::vector<std::string> expected = {
      "ClearRect%%o<Graphics>i4i4i4i4",
      "DrawLine%%o<Graphics>i4i4i4i4",
      "DrawOval%%o<Graphics>i4i4i4i4",
      "DrawRect%%o<Graphics>i4i4i4i4",
      "DrawRoundRect%%o<Graphics>i4i4i4i4i4i4",
      "FillOval%%o<Graphics>i4i4i4i4",
      "FillRect%%o<Graphics>i4i4i4i4",
      "FillRoundRect%%o<Graphics>i4i4i4i4i4i4",
      "DrawPicture%%o<Graphics>o<Picture>i4i4i4i4i4i4i4i4",
      "DrawString%%o<Graphics>si4i4i4b",
      "DrawObject%%o<Graphics>o<Object2D>i4i4",
      "StringWidth%i4%o<Graphics>s",
      "StringHeight%i4%o<Graphics>si4",
      "StringDirection%i4%o<Graphics>s",
      "TextHeight%i4%o<Graphics>",
      "TextAscent%i4%o<Graphics>",
      "NextPage%%o<Graphics>",
      "DrawStopIcon%%o<Graphics>i4i4",
      "DrawNoteIcon%%o<Graphics>i4i4",
      "DrawCautionIcon%%o<Graphics>i4i4",
      "Pixel%c%o<Graphics>i4i4",
      "DrawPolygon%%o<Graphics>A1i4",
      "FillPolygon%%o<Graphics>A1i4",
      "_DrawFocusRing%%o<Graphics>i4i4i4i4",
  };
  const ObjectDefinition* definition = GetGraphicsClassDefinition();
  ASSERT_EQ(definition->mMethods.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(definition->mMethods[i].signature, expected[i]);

  const ObjectMethod& drawPicture = definition->mMethods[8];
  EXPECT_EQ(drawPicture.function, Fn(&RuntimeGraphicsDrawPicture));
  ASSERT_EQ(drawPicture.params.size(), 9u);
  const std::vector<intptr_t> pictureDefaults = {-10000, -10000, 0, 0, -10000, -10000};
  for (size_t p = 3; p < 9; ++p) {
    EXPECT_TRUE(drawPicture.params[p].flags & kParamHasDefault) << p;
    EXPECT_EQ(drawPicture.params[p].defaultValue, pictureDefaults[p - 3]) << p;
  }

  const ObjectMethod& drawString = definition->mMethods[9];
  EXPECT_EQ(drawString.function, Fn(&RuntimeGraphicsDrawStringCondensed));
  ASSERT_EQ(drawString.params.size(), 5u);
  for (size_t p = 0; p < 3; ++p) EXPECT_FALSE(drawString.params[p].flags & kParamHasDefault) << p;
  for (size_t p = 3; p < 5; ++p) {
    EXPECT_TRUE(drawString.params[p].flags & kParamHasDefault) << p;
    EXPECT_EQ(drawString.params[p].defaultValue, 0) << p;
  }

  // Pixel is the one assignable member: its setter is a slot of its own.
  RuntimeClass* cls = GraphicsClass();
  const int32_t getSlot = FindMethodSlot(cls, "Pixel");
  const int32_t setSlot = FindMethodSlot(cls, "=pixel");
  ASSERT_GE(getSlot, 0);
  ASSERT_GE(setSlot, 0);
  EXPECT_EQ(cls->mMethodTable[getSlot], Fn(&graphicsPixelGetter));
  EXPECT_EQ(cls->mMethodTable[setSlot], Fn(&graphicsPixelSetter));
  ASSERT_GE(FindMethodSlot(cls, "DrawPicture"), 0);
  EXPECT_EQ(cls->mMethodTable[FindMethodSlot(cls, "DrawPicture")], Fn(&RuntimeGraphicsDrawPicture));
  ASSERT_GE(FindMethodSlot(cls, "DrawObject"), 0);
  EXPECT_EQ(cls->mMethodTable[FindMethodSlot(cls, "DrawObject")], Fn(&RuntimeGraphicsDrawObjectXY));
}

TEST_F(GraphicsClassTest, RegistrationBindsEveryMemberByName) {
  RegisterGraphicsClass();
  RegisterGraphicsClass();  // a second registration is harmless
  EXPECT_EQ(LookupIntrinsicClass(string("GRAPHICS")), GetGraphicsClassDefinition());
  EXPECT_TRUE(Reports().empty()) << Reports().front();

  const std::vector<std::pair<const char*, void*>> bound = {
      {"RuntimeGraphicsDrawRect", Fn(&RuntimeGraphicsDrawRect)},
      {"RuntimeGraphicsDrawStringCondensed", Fn(&RuntimeGraphicsDrawStringCondensed)},
      {"RuntimeGraphicsDrawString", Fn(&RuntimeGraphicsDrawString)},
      {"RuntimeGraphicsTextAscent", Fn(&RuntimeGraphicsTextAscent)},
      {"graphicsTextFontSetter", Fn(&graphicsTextFontSetter)},
      {"graphicsPixelSetter", Fn(&graphicsPixelSetter)},
      {"graphicsDrawPolygon", Fn(&graphicsDrawPolygon)},
      {"graphicsFillPolygon", Fn(&graphicsFillPolygon)},
      {"graphicsUseOldRendererSetter", Fn(&graphicsUseOldRendererSetter)},
      {"RuntimeGraphicsDestructor", Fn(&RuntimeGraphicsDestructor)},
      {"RuntimeGraphicsDrawPicture", Fn(&RuntimeGraphicsDrawPicture)},
  };
  for (const auto& [name, function] : bound) {
    RelocEntry* entry = LookupRelocEntry(string(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry->code, function) << name;
  }
  for (const auto& [name, function] : std::vector<std::pair<const char*, void*>>{
           {"RuntimeGraphicsDrawObject", Fn(&RuntimeGraphicsDrawObject)},
           {"RuntimeGraphicsDrawObjectXY", Fn(&RuntimeGraphicsDrawObjectXY)}}) {
    RelocEntry* entry = LookupRelocEntry(string(name));
    ASSERT_NE(entry, nullptr) << name;
    EXPECT_EQ(entry->code, function) << name;
  }
}

TEST_F(GraphicsClassTest, PropertiesWorkThroughTheGenericAccessCalls) {
  RecordingTarget target(MakeRect(0, 0, 64, 48));
  RuntimeObject* g = NewGraphicsObject(new RecordingPort(&target));
  ASSERT_NE(g, nullptr);
  const auto& accessors = ClassOf(g)->mAccessors;
  auto entry = [&](std::string_view name) -> const PropertyEntry& {
    for (const PropertyEntry& e : accessors)
      if (RepText(e.signature).starts_with(std::string(name) + "%")) return e;
    ADD_FAILURE() << name;
    return accessors.front();
  };

  EXPECT_TRUE(SetPropertyValue(g, entry("ForeColor"), PropertyValue::Integer(0x123456)));
  EXPECT_TRUE(SetPropertyValue(g, entry("TextFont"), PropertyValue::String(string("Serif"))));
  EXPECT_TRUE(SetPropertyValue(g, entry("Italic"), PropertyValue::Boolean(true)));
  EXPECT_TRUE(SetPropertyValue(g, entry("PenHeight"), PropertyValue::Integer(3)));
  EXPECT_FALSE(SetPropertyValue(g, entry("Width"), PropertyValue::Integer(5)));

  PropertyValue color, font, italic, pen, width, height;
  EXPECT_TRUE(GetPropertyValue(g, entry("ForeColor"), &color));
  EXPECT_TRUE(GetPropertyValue(g, entry("TextFont"), &font));
  EXPECT_TRUE(GetPropertyValue(g, entry("Italic"), &italic));
  EXPECT_TRUE(GetPropertyValue(g, entry("PenHeight"), &pen));
  EXPECT_TRUE(GetPropertyValue(g, entry("Width"), &width));
  EXPECT_TRUE(GetPropertyValue(g, entry("Height"), &height));
  EXPECT_EQ(static_cast<uint32_t>(color.AsInteger()), 0x123456u);
  EXPECT_EQ(font.AsString().View(), "Serif");
  EXPECT_TRUE(italic.AsBoolean());
  EXPECT_EQ(pen.AsInteger(), 3);
  EXPECT_EQ(width.AsInteger(), 64);
  EXPECT_EQ(height.AsInteger(), 48);
  RuntimeUnlockObject(g);
}

TEST_F(GraphicsClassTest, TheObjectOwnsItsPortUntilAControlTakesItBack) {
  RecordingTarget target;
  bool firstGone = false, secondGone = false, thirdGone = false;
  auto* first = new RecordingPort(&target, &firstGone);
  RuntimeObject* g = NewGraphicsObject(first);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(std::string(ClassOf(g)->mName.View()), "Graphics");
  EXPECT_EQ(GraphicsObjectPort(g), first);

  auto* second = new RecordingPort(&target, &secondGone);
  SetGraphicsObjectPort(g, second);
  EXPECT_TRUE(firstGone);
  SetGraphicsObjectPort(g, second);  // the same port again is kept, not disposed
  EXPECT_FALSE(secondGone);

  EXPECT_EQ(DetachGraphicsObjectPort(g), second);
  EXPECT_EQ(GraphicsObjectPort(g), nullptr);
  RuntimeGraphicsDrawRect(g, 0, 0, 5, 5);  // no port: nothing drawn, nothing raised
  EXPECT_EQ(RuntimeGraphicsStringWidth(g, string("abc").Rep()), 0);
  EXPECT_TRUE(second->mCalls.empty());

  SetGraphicsObjectPort(g, new RecordingPort(&target, &thirdGone));
  RuntimeUnlockObject(g);
  EXPECT_TRUE(thirdGone);
  EXPECT_FALSE(secondGone);
  delete second;

  // Objects of other classes are left alone.
  RuntimeObject* other = CreateInstanceFromDefinition(GetNilObjectExceptionClassDefinition());
  EXPECT_EQ(GraphicsObjectPort(other), nullptr);
  EXPECT_EQ(DetachGraphicsObjectPort(other), nullptr);
  SetGraphicsPageRange(other, 1, 2, 3);
  RuntimeUnlockObject(other);
}

TEST_F(GraphicsClassTest, PageRangeReadsBackThroughTheProperties) {
  RecordingTarget target;
  RuntimeObject* g = NewGraphicsObjectForTarget(&target);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(graphicsCopiesGetter(g, 0), 0);
  SetGraphicsPageRange(g, 2, 3, 9);
  EXPECT_EQ(graphicsCopiesGetter(g, 0), 2);
  EXPECT_EQ(graphicsFirstPageGetter(g, 0), 3);
  EXPECT_EQ(graphicsLastPageGetter(g, 0), 9);
  // They stay readable when the port is gone.
  DisposeGraphics(DetachGraphicsObjectPort(g));
  EXPECT_EQ(graphicsLastPageGetter(g, 0), 9);
  RuntimeUnlockObject(g);
}

}  // namespace
