#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "graphics/graphics_object.h"
#include "graphics/support/recording_port.h"
#include "vorn/graphics_api.h"

using namespace vorn;
using vorn::testing::GraphicsObjectTest;
using vorn::testing::RecordingPort;
using vorn::testing::RecordingTarget;

namespace {

using Calls = std::vector<std::string>;

// A Graphics object over a recording port whose pane lies at (30, 40) in its window.
class GraphicsEntryPoints : public GraphicsObjectTest {
 protected:
  void SetUp() override {
    GraphicsObjectTest::SetUp();
    mPort = new RecordingPort(&mTarget);
    mGraphics = NewGraphicsObject(mPort);
    ASSERT_NE(mGraphics, nullptr);
  }
  void TearDown() override {
    RuntimeUnlockObject(mGraphics);
    GraphicsObjectTest::TearDown();
  }

  RecordingTarget mTarget{MakeRect(30, 40, 230, 140)};
  RecordingPort* mPort = nullptr;
  RuntimeObject* mGraphics = nullptr;
};

TEST_F(GraphicsEntryPoints, ShapesAreMovedByThePaneOrigin) {
  RuntimeObject* g = mGraphics;
  RuntimeGraphicsDrawRect(g, 0, 0, 10, 10);
  RuntimeGraphicsFillRect(g, 1, 2, 3, 4);
  RuntimeGraphicsClearRect(g, -5, -5, 5, 5);
  RuntimeGraphicsDrawOval(g, 10, 20, 30, 40);
  RuntimeGraphicsFillOval(g, 0, 0, 1, 1);
  RuntimeGraphicsDrawRoundRect(g, 0, 0, 20, 10, 6, 4);
  RuntimeGraphicsFillRoundRect(g, 5, 5, 20, 10, 8, 2);
  RuntimeGraphicsDrawFocusRing(g, 2, 2, 50, 20);
  RuntimeGraphicsDrawLine(g, 0, 0, 100, -10);
  EXPECT_EQ(mPort->mCalls, (Calls{
                               "DrawRect 30,40,40,50",
                               "FillRect 31,42,34,46",
                               "ClearRect 25,35,30,40",
                               "DrawOval 40,60,70,100",
                               "FillOval 30,40,31,41",
                               "DrawRoundRect 30,40,50,50 6x4",
                               "FillRoundRect 35,45,55,55 8x2",
                               "DrawFocusRing 32,42,82,62",
                               "MoveTo 30,40",
                               "LineTo 130,30",
                           }));
  EXPECT_TRUE(Reports().empty());
}

TEST_F(GraphicsEntryPoints, CoordinatesAtTheEndsOfTheRangeArePinned) {
  RuntimeGraphicsDrawLine(mGraphics, INT_MAX, INT_MIN, INT_MIN, INT_MAX);
  RuntimeGraphicsFillRect(mGraphics, INT_MAX - 5, 0, INT_MAX, INT_MIN);
  EXPECT_EQ(mPort->mCalls, (Calls{"MoveTo 2147483647,-2147483608", "LineTo -2147483618,2147483647",
                                  "FillRect 32767,40,32767,-32768"}));
}

TEST_F(GraphicsEntryPoints, DrawStringInItsThreeForms) {
  mPort->mDrawn.clear();
  const string keep("abcdefghij");  // 100 pixels on the fake port

  // No width: one line, y is the baseline.
  RuntimeGraphicsDrawStringCondensed(mGraphics, keep.Rep(), 10, 20, 0, 0);
  // Width 0 with condense: condensing needs a width, so one plain line again.
  RuntimeGraphicsDrawStringCondensed(mGraphics, keep.Rep(), 10, 20, 0, 1);
  ASSERT_EQ(mPort->mDrawn.size(), 2u);
  for (const auto& drawn : mPort->mDrawn) {
    EXPECT_EQ(drawn.text, "abcdefghij");
    EXPECT_EQ(drawn.h, 40);
    EXPECT_EQ(drawn.v, 60);
  }

  // A width without condense wraps; the first line's top lies one ascent (8) above y.
  RuntimeGraphicsDrawStringCondensed(mGraphics, keep.Rep(), 10, 20, 100, 0);
  RuntimeGraphicsDrawString(mGraphics, keep.Rep(), 0, 0, 50);
  EXPECT_EQ(mPort->mCalls, (Calls{"DrawWrappedText 'abcdefghij' 40,52,140,32767 0",
                                  "DrawWrappedText 'abcdefghij' 30,32,80,32767 0"}));

  // Condensed into 65 pixels: cut and ended with the ellipsis, all within the width.
  mPort->mDrawn.clear();
  RuntimeGraphicsDrawStringCondensed(mGraphics, keep.Rep(), 10, 20, 65, 1);
  ASSERT_FALSE(mPort->mDrawn.empty());
  std::string shown;
  for (const auto& drawn : mPort->mDrawn) shown += drawn.text;
  EXPECT_EQ(shown, "abc...");
  EXPECT_EQ(mPort->mDrawn.front().h, 40);
  EXPECT_EQ(mPort->mDrawn.front().v, 60);

  // A text that fits is drawn whole; a nil text draws nothing in any form.
  mPort->mDrawn.clear();
  RuntimeGraphicsDrawStringCondensed(mGraphics, keep.Rep(), 0, 0, 200, 1);
  ASSERT_EQ(mPort->mDrawn.size(), 1u);
  EXPECT_EQ(mPort->mDrawn[0].text, "abcdefghij");
  mPort->mDrawn.clear();
  mPort->mCalls.clear();
  RuntimeGraphicsDrawStringCondensed(mGraphics, nullptr, 0, 0, 0, 0);
  RuntimeGraphicsDrawStringCondensed(mGraphics, nullptr, 0, 0, 50, 0);
  RuntimeGraphicsDrawStringCondensed(mGraphics, nullptr, 0, 0, 50, 1);
  EXPECT_TRUE(mPort->mDrawn.empty());
  EXPECT_TRUE(mPort->mCalls.empty());
}

TEST_F(GraphicsEntryPoints, MeasuringTakesTheFontAsSetThroughTheProperties) {
  string text("abcd");
  EXPECT_EQ(RuntimeGraphicsStringWidth(mGraphics, text.Rep()), 40);
  EXPECT_EQ(RuntimeGraphicsStringWidth(mGraphics, nullptr), 0);
  EXPECT_EQ(RuntimeGraphicsStringHeight(mGraphics, text.Rep(), 0), 12);
  EXPECT_EQ(RuntimeGraphicsStringHeight(mGraphics, text.Rep(), 15), 36);
  EXPECT_EQ(RuntimeGraphicsStringHeight(mGraphics, nullptr, 15), 0);
  EXPECT_EQ(RuntimeGraphicsTextHeight(mGraphics), 12);
  EXPECT_EQ(RuntimeGraphicsTextAscent(mGraphics), 8);
  EXPECT_EQ(RuntimeGraphicsStringDirection(mGraphics, nullptr), kVornTextDirectionUnknown);
  EXPECT_EQ(RuntimeGraphicsStringDirection(mGraphics, text.Rep()), kVornTextDirectionUnknown);

  graphicsTextSizeSetter(mGraphics, 0, 18);
  string serif("Serif");
  graphicsTextFontSetter(mGraphics, 0, serif.Rep());
  EXPECT_EQ(mPort->TextSize(), 18);
  EXPECT_EQ(graphicsTextSizeGetter(mGraphics, 0), 18);
  string font = string::Adopt(graphicsTextFontGetter(mGraphics, 0));
  EXPECT_EQ(font.View(), "Serif");
  EXPECT_EQ(font.Rep()->refCount, 3) << "the getter hands out a reference of its own";
  graphicsTextFontSetter(mGraphics, 0, nullptr);
  EXPECT_TRUE(mPort->TextFont().IsEmpty());
  // Measuring prepares nothing and moves nothing.
  EXPECT_TRUE(mPort->mCalls.empty());
}

TEST_F(GraphicsEntryPoints, ForeColorAndPixelsConvertBetweenEightAndSixteenBits) {
  graphicsForeColorSetter(mGraphics, 0, 0x123456);
  EXPECT_EQ(mPort->ForeColor(), (RGB48{0x1212, 0x3434, 0x5656}));
  EXPECT_EQ(graphicsForeColorGetter(mGraphics, 0), 0x123456u);
  graphicsForeColorSetter(mGraphics, 0, 0xFF00FF80u);  // the top byte is not a colour
  EXPECT_EQ(graphicsForeColorGetter(mGraphics, 0), 0x00FF80u);

  mPort->mPixel = RGB48{0xAB01, 0xCDFF, 0x0010};
  EXPECT_EQ(graphicsPixelGetter(mGraphics, 3, 4), 0xABCD00u);
  graphicsPixelSetter(mGraphics, 5, 6, 0x0180FF);
  EXPECT_EQ(mPort->mCalls, (Calls{"GetPixel 33,44", "SetPixel 35,46 257,32896,65535"}));
}

TEST_F(GraphicsEntryPoints, StyleBitsChangeOneAtATime) {
  mPort->SetTextStyle(kStyleCondense);
  graphicsBoldSetter(mGraphics, 0, 1);
  graphicsItalicSetter(mGraphics, 0, 1);
  graphicsUnderlineSetter(mGraphics, 0, 2);  // any non-zero Boolean is True
  EXPECT_EQ(mPort->TextStyleBits(), kStyleCondense | kStyleBold | kStyleItalic | kStyleUnderline);
  graphicsBoldSetter(mGraphics, 0, 0);
  EXPECT_EQ(graphicsBoldGetter(mGraphics, 0), 0);
  EXPECT_EQ(graphicsItalicGetter(mGraphics, 0), 1);
  EXPECT_EQ(graphicsUnderlineGetter(mGraphics, 0), 1);
  graphicsItalicSetter(mGraphics, 0, 0);
  graphicsUnderlineSetter(mGraphics, 0, 0);
  EXPECT_EQ(mPort->TextStyleBits(), kStyleCondense);
}

TEST_F(GraphicsEntryPoints, PenSizesAndPaneSize) {
  graphicsPenWidthSetter(mGraphics, 0, 4);
  graphicsPenHeightSetter(mGraphics, 0, 7);
  graphicsPenWidthSetter(mGraphics, 0, 2);
  EXPECT_EQ(graphicsPenWidthGetter(mGraphics, 0), 2);
  EXPECT_EQ(graphicsPenHeightGetter(mGraphics, 0), 7);
  EXPECT_EQ(graphicsWidthGetter(mGraphics, 0), 200);
  EXPECT_EQ(graphicsHeightGetter(mGraphics, 0), 100);
  graphicsUseOldRendererSetter(mGraphics, 0, 1);
  EXPECT_EQ(graphicsUseOldRendererGetter(mGraphics, 0), 0);
}

TEST_F(GraphicsEntryPoints, IconsPageAndPolygons) {
  graphicsDrawStopIcon(mGraphics, 1, 2);
  graphicsDrawNoteIcon(mGraphics, 3, 4);
  graphicsDrawCautionIcon(mGraphics, 5, 6);
  RuntimeGraphicsNextPage(mGraphics);
  EXPECT_EQ(mTarget.mErased, 1);

  // Element 0 is not a coordinate; points are left for the port to place.
  const int32_t points[] = {99, 0, 0, 10, 0, 5, 8};
  DrawGraphicsPolygon(mGraphics, points, 6, false);
  DrawGraphicsPolygon(mGraphics, points, 6, true);
  DrawGraphicsPolygon(mGraphics, points, 0, true);
  DrawGraphicsPolygon(mGraphics, nullptr, 6, true);
  EXPECT_EQ(mPort->mCalls, (Calls{"DrawIcon 0 31,42 32x32", "DrawIcon 1 33,44 32x32", "DrawIcon 2 35,46 32x32",
                                  "DrawPolygon 0 0 10 0 5 8", "FillPolygon 0 0 10 0 5 8"}));
}

TEST_F(GraphicsEntryPoints, DrawablePanesArePreparedBeforeEveryDrawingOnly) {
  mTarget.mDrawable = true;
  string text("x");
  RuntimeGraphicsDrawRect(mGraphics, 0, 0, 1, 1);
  RuntimeGraphicsDrawLine(mGraphics, 0, 0, 1, 1);
  RuntimeGraphicsDrawString(mGraphics, text.Rep(), 0, 0, 0);
  graphicsPixelSetter(mGraphics, 0, 0, 0);
  EXPECT_EQ(mTarget.mPrepared, 4);
  graphicsPixelGetter(mGraphics, 0, 0);
  RuntimeGraphicsStringWidth(mGraphics, text.Rep());
  RuntimeGraphicsTextHeight(mGraphics);
  graphicsForeColorSetter(mGraphics, 0, 0xFF);
  EXPECT_EQ(mTarget.mPrepared, 4);
  mTarget.mDrawable = false;
  RuntimeGraphicsFillRect(mGraphics, 0, 0, 1, 1);
  EXPECT_EQ(mTarget.mPrepared, 4);
}

// Every entry point with a nil object, as compiled code might call it.
const std::vector<std::pair<const char*, std::function<int64_t()>>>& NilCalls() {
  static const std::vector<std::pair<const char*, std::function<int64_t()>>> calls = {
      {"ClearRect", [] { RuntimeGraphicsClearRect(nullptr, 0, 0, 1, 1); return 0; }},
      {"DrawRect", [] { RuntimeGraphicsDrawRect(nullptr, 0, 0, 1, 1); return 0; }},
      {"FillRect", [] { RuntimeGraphicsFillRect(nullptr, 0, 0, 1, 1); return 0; }},
      {"DrawOval", [] { RuntimeGraphicsDrawOval(nullptr, 0, 0, 1, 1); return 0; }},
      {"FillOval", [] { RuntimeGraphicsFillOval(nullptr, 0, 0, 1, 1); return 0; }},
      {"DrawRoundRect", [] { RuntimeGraphicsDrawRoundRect(nullptr, 0, 0, 1, 1, 1, 1); return 0; }},
      {"FillRoundRect", [] { RuntimeGraphicsFillRoundRect(nullptr, 0, 0, 1, 1, 1, 1); return 0; }},
      {"DrawLine", [] { RuntimeGraphicsDrawLine(nullptr, 0, 0, 1, 1); return 0; }},
      {"DrawFocusRing", [] { RuntimeGraphicsDrawFocusRing(nullptr, 0, 0, 1, 1); return 0; }},
      {"DrawStopIcon", [] { graphicsDrawStopIcon(nullptr, 0, 0); return 0; }},
      {"DrawNoteIcon", [] { graphicsDrawNoteIcon(nullptr, 0, 0); return 0; }},
      {"DrawCautionIcon", [] { graphicsDrawCautionIcon(nullptr, 0, 0); return 0; }},
      {"NextPage", [] { RuntimeGraphicsNextPage(nullptr); return 0; }},
      {"Pixel", [] { return int64_t{graphicsPixelGetter(nullptr, 0, 0)}; }},
      {"=Pixel", [] { graphicsPixelSetter(nullptr, 0, 0, 0); return 0; }},
      {"DrawStringCondensed", [] { RuntimeGraphicsDrawStringCondensed(nullptr, string("a").Rep(), 0, 0, 9, 1); return 0; }},
      {"DrawString", [] { RuntimeGraphicsDrawString(nullptr, nullptr, 0, 0, 0); return 0; }},
      {"StringWidth", [] { return int64_t{RuntimeGraphicsStringWidth(nullptr, string("a").Rep())}; }},
      {"StringHeight", [] { return int64_t{RuntimeGraphicsStringHeight(nullptr, string("a").Rep(), 9)}; }},
      {"StringDirection", [] { return int64_t{RuntimeGraphicsStringDirection(nullptr, nullptr)}; }},
      {"TextHeight", [] { return int64_t{RuntimeGraphicsTextHeight(nullptr)}; }},
      {"TextAscent", [] { return int64_t{RuntimeGraphicsTextAscent(nullptr)}; }},
      {"ForeColor", [] { return int64_t{graphicsForeColorGetter(nullptr, 0)}; }},
      {"=ForeColor", [] { graphicsForeColorSetter(nullptr, 0, 1); return 0; }},
      {"Width", [] { return int64_t{graphicsWidthGetter(nullptr, 0)}; }},
      {"Height", [] { return int64_t{graphicsHeightGetter(nullptr, 0)}; }},
      {"TextFont", [] { return int64_t{graphicsTextFontGetter(nullptr, 0) != nullptr}; }},
      {"=TextFont", [] { graphicsTextFontSetter(nullptr, 0, nullptr); return 0; }},
      {"TextSize", [] { return int64_t{graphicsTextSizeGetter(nullptr, 0)}; }},
      {"=TextSize", [] { graphicsTextSizeSetter(nullptr, 0, 9); return 0; }},
      {"Copies", [] { return int64_t{graphicsCopiesGetter(nullptr, 0)}; }},
      {"FirstPage", [] { return int64_t{graphicsFirstPageGetter(nullptr, 0)}; }},
      {"LastPage", [] { return int64_t{graphicsLastPageGetter(nullptr, 0)}; }},
      {"Bold", [] { return int64_t{graphicsBoldGetter(nullptr, 0)}; }},
      {"=Bold", [] { graphicsBoldSetter(nullptr, 0, 1); return 0; }},
      {"Italic", [] { return int64_t{graphicsItalicGetter(nullptr, 0)}; }},
      {"=Italic", [] { graphicsItalicSetter(nullptr, 0, 1); return 0; }},
      {"Underline", [] { return int64_t{graphicsUnderlineGetter(nullptr, 0)}; }},
      {"=Underline", [] { graphicsUnderlineSetter(nullptr, 0, 1); return 0; }},
      {"PenWidth", [] { return int64_t{graphicsPenWidthGetter(nullptr, 0)}; }},
      {"=PenWidth", [] { graphicsPenWidthSetter(nullptr, 0, 2); return 0; }},
      {"PenHeight", [] { return int64_t{graphicsPenHeightGetter(nullptr, 0)}; }},
      {"=PenHeight", [] { graphicsPenHeightSetter(nullptr, 0, 2); return 0; }},
      {"UseOldRenderer", [] { return int64_t{graphicsUseOldRendererGetter(nullptr, 0)}; }},
      {"=UseOldRenderer", [] { graphicsUseOldRendererSetter(nullptr, 0, 1); return 0; }},
  };
  return calls;
}

TEST_F(GraphicsEntryPoints, ANilObjectRaisesNilObjectExceptionAndAnswersZero) {
  for (const auto& [name, call] : NilCalls()) {
    EXPECT_EQ(call(), 0) << name;
    EXPECT_EQ(TakePendingClassName(), "NilObjectException") << name;
  }
  EXPECT_TRUE(mPort->mCalls.empty());
  EXPECT_TRUE(Reports().empty());
}

TEST_F(GraphicsEntryPoints, APortWithoutATargetIsReportedAndDrawsNothing) {
  RuntimeObject* g = NewGraphicsObjectForTarget(nullptr);
  ASSERT_NE(g, nullptr);
  RuntimeGraphicsFillRect(g, 0, 0, 10, 10);
  // The preparation and the origin lookup each report the missing pane.
  ASSERT_EQ(Reports().size(), 2u);
  for (const std::string& report : Reports()) EXPECT_NE(report.find("thePane"), std::string::npos) << report;
  EXPECT_EQ(graphicsWidthGetter(g, 0), 0);
  EXPECT_EQ(RuntimeGraphicsStringWidth(g, string("abc").Rep()), 0);
  EXPECT_EQ(RuntimeGraphicsTextHeight(g), 0);
  RuntimeGraphicsNextPage(g);
  EXPECT_EQ(TakePendingClassName(), "");
  RuntimeUnlockObject(g);
}

}  // namespace
