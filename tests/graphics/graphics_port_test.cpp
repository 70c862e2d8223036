#include <gtest/gtest.h>

#include <array>

#include "graphics/graphics.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"
#include "graphics/support/fake_port.h"

using vorn::Graphics;
using vorn::MakeRect;
using vorn::Rect;
using vorn::RGB48;
using vorn::string;
using vorn::testing::FakePort;
using vorn::testing::FakeTarget;

namespace {

std::array<uint8_t, 8> EffectivePattern(const Graphics& port) {
  std::array<uint8_t, 8> rows{};
  for (int i = 0; i < 8; ++i) rows[i] = port.EffectivePattern()[i];
  return rows;
}

TEST(GraphicsPort, NewPortStartsWithTheDocumentedState) {
  FakeTarget target;
  FakePort port(&target);
  EXPECT_EQ(string(port.TextFont()).CompareBinary(string("System")), 0);
  EXPECT_EQ(port.TextFont().Encoding(), vorn::kEncodingASCII);
  EXPECT_EQ(port.TextSize(), 12);
  EXPECT_EQ(port.TextStyleBits(), 0);
  EXPECT_EQ(port.PenWidth(), 1);
  EXPECT_EQ(port.PenHeight(), 1);
  EXPECT_EQ(port.ForeColor(), vorn::kBlack48);
  EXPECT_EQ(port.BackColor(), vorn::kWhite48);
  EXPECT_EQ(port.OriginH(), 0);
  EXPECT_EQ(port.OriginV(), 0);
  EXPECT_EQ(port.PenH(), 0);
  EXPECT_EQ(port.PenV(), 0);
  EXPECT_FLOAT_EQ(port.Opacity(), 1.0f);
  EXPECT_FALSE(port.SupportsTranslucency());
}

TEST(GraphicsPort, StandardPatternsFollowTheOriginAndPhase) {
  FakeTarget target;
  FakePort port(&target);
  port.SetStandardPattern(vorn::kPatternGrey);
  EXPECT_EQ(EffectivePattern(port), (std::array<uint8_t, 8>{0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}));
  // One pixel to the right rotates every row left by one bit.
  port.SetOrigin(1, 0);
  EXPECT_EQ(EffectivePattern(port), (std::array<uint8_t, 8>{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}));

  port.SetOrigin(0, 0);
  port.SetStandardPattern(vorn::kPatternHorizontal);
  port.SetOrigin(0, 1);  // one row down: rows start one later
  EXPECT_EQ(EffectivePattern(port), (std::array<uint8_t, 8>{0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF}));
  // Origin and phase add; a shift of 8 is no shift, -1 is 7.
  port.SetPatternOffset(0, 7);
  EXPECT_EQ(EffectivePattern(port), (std::array<uint8_t, 8>{0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}));

  const uint8_t single[8] = {0x81, 0, 0, 0, 0, 0, 0, 0x01};
  port.SetPatternOffset(0, 0);
  port.SetOrigin(-1, 0);  // rotation by 7 = rotation right by one
  port.SetPattern(single);
  EXPECT_EQ(port.EffectivePattern()[0], 0xC0);
  EXPECT_EQ(port.EffectivePattern()[7], 0x80);
  EXPECT_EQ(port.Pattern()[0], 0x81);  // the pattern as set stays

  port.SetStandardPattern(3);
  port.SetOrigin(0, 0);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(port.EffectivePattern()[i], 0xAA);
  port.SetStandardPattern(99);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(port.EffectivePattern()[i], 0xFF);
}

TEST(GraphicsPort, StateRestoresOnceAndOnlyWhenSaved) {
  FakeTarget target;
  FakePort port(&target);
  port.SetForeColor(RGB48{1, 2, 3});
  port.SetOrigin(4, 5);
  port.SetPenSize(2, 3);
  port.SetModeValue(7);
  port.SetTextFont(string("Serif"));
  port.SetTextSize(14);
  port.SetTextStyle(vorn::kStyleBold);
  port.SetOpacity(0.5f);

  vorn::GraphicsState state;
  state.Save(&port);
  port.SetForeColor(RGB48{9, 9, 9});
  port.SetBackColor(RGB48{8, 8, 8});
  port.SetOrigin(0, 0);
  port.SetPenSize(1, 1);
  port.SetModeValue(0);
  port.SetTextFont(string("Mono"));
  port.SetTextSize(20);
  port.SetTextStyle(vorn::kStyleItalic);
  port.SetOpacity(1.0f);
  state.Restore();

  EXPECT_EQ(port.ForeColor(), (RGB48{1, 2, 3}));
  EXPECT_EQ(port.BackColor(), (RGB48{8, 8, 8}));  // not part of the state
  EXPECT_EQ(port.OriginH(), 4);
  EXPECT_EQ(port.OriginV(), 5);
  EXPECT_EQ(port.PenWidth(), 2);
  EXPECT_EQ(port.PenHeight(), 3);
  EXPECT_EQ(port.ModeValue(), 7);
  EXPECT_EQ(port.TextFont().CompareBinary(string("Serif")), 0);
  EXPECT_EQ(port.TextSize(), 14);
  EXPECT_EQ(port.TextStyleBits(), vorn::kStyleBold);
  EXPECT_FLOAT_EQ(port.Opacity(), 0.5f);
  EXPECT_FALSE(state.IsSaved());

  port.SetTextSize(30);
  state.Restore();  // already restored: nothing
  EXPECT_EQ(port.TextSize(), 30);

  state.Save(&port);
  state.Clear();
  port.SetTextSize(40);
  state.Restore();
  EXPECT_EQ(port.TextSize(), 40);

  vorn::GraphicsState unsaved;
  unsaved.Save(nullptr);
  EXPECT_FALSE(unsaved.IsSaved());
  unsaved.Restore();
}

TEST(GraphicsPort, ClipSaverGivesBackTheClipOrNone) {
  FakeTarget target;
  FakePort port(&target);
  { vorn::ClipSaver saver(&port); }
  ASSERT_EQ(port.mRestoredClips.size(), 1u);
  EXPECT_EQ(port.mRestoredClips[0], (Rect{-1, -1, -1, -1}));  // nil: no clip

  port.SetClipRect(MakeRect(1, 2, 30, 40));
  {
    vorn::ClipSaver saver(&port);
    port.SetClipRect(MakeRect(0, 0, 5, 5));
  }
  ASSERT_EQ(port.mRestoredClips.size(), 2u);
  EXPECT_EQ(port.mRestoredClips[1], MakeRect(1, 2, 30, 40));
}

TEST(GraphicsPort, PaneRectTakesTheOriginOff) {
  FakeTarget target;
  FakePort port(&target);
  port.SetOrigin(10, -20);
  Rect out;
  vorn::GraphicsToPaneRect(&port, &out, MakeRect(15, 5, 50, 25));
  EXPECT_EQ(out, MakeRect(5, 25, 40, 45));
}

TEST(GraphicsPort, BaseMeasuresAndDirectionsAreUnknown) {
  Graphics port(nullptr);
  EXPECT_EQ(port.StringWidth(string("abc")), -1);
  EXPECT_EQ(port.StringDirection(string("abc")), -1);
  EXPECT_EQ(port.StringDirection(string()), -1);
  EXPECT_EQ(port.FontAscent(), -1);
  EXPECT_EQ(port.TextHeight(), -1);
  port.MoveTo(3, 4);
  EXPECT_EQ(port.PenH(), 3);
  EXPECT_EQ(port.PenV(), 4);
}

TEST(GraphicsPort, TextStyleReachesThePortAsBits) {
  FakeTarget target;
  FakePort port(&target);
  vorn::TextStyle style;
  style.mFontName = string("Serif");
  style.mSize = 9;
  style.mItalic = 1;
  style.mUnderline = 1;
  port.SetTextFontFrom(style);
  EXPECT_EQ(port.TextFont().CompareBinary(string("Serif")), 0);
  EXPECT_EQ(port.TextSize(), 9);
  EXPECT_EQ(port.TextStyleBits(), vorn::kStyleItalic | vorn::kStyleUnderline);
}

class CountingPages : public vorn::PageHandler {
 public:
  explicit CountingPages(bool* deleted) : mDeleted(deleted) {}
  ~CountingPages() override { *mDeleted = true; }
  int32_t HeaderHeight() override { return 5; }
  int32_t FooterHeight() override { return 10; }
  void StartNewPage(Graphics*, int32_t usable) override { mUsable.push_back(usable); }
  bool* mDeleted;
  std::vector<int32_t> mUsable;
};

TEST(GraphicsPort, DyingPortReleasesWhatItOwns) {
  bool targetDeleted = false, pagesDeleted = false;
  auto* port = new FakePort(new FakeTarget(MakeRect(0, 0, 10, 10), &targetDeleted));
  port->SetOwnsPane(true);
  port->SetPageHandler(new CountingPages(&pagesDeleted));
  vorn::SetCurrentDrawingPort(port);
  vorn::DisposeGraphics(port);
  EXPECT_TRUE(targetDeleted);
  EXPECT_TRUE(pagesDeleted);
  EXPECT_EQ(vorn::GetCurrentDrawingPort(), nullptr);
  vorn::DisposeGraphics(nullptr);

  bool kept = false;
  FakeTarget target(MakeRect(0, 0, 10, 10), &kept);
  { FakePort borrowed(&target); }
  EXPECT_FALSE(kept);
}

TEST(GraphicsPort, PrintedLinesBreakToANewPage) {
  bool pagesDeleted = false;
  FakeTarget target(MakeRect(0, 0, 100, 50));
  FakePort port(&target);
  auto* pages = new CountingPages(&pagesDeleted);
  port.SetPageHandler(pages);
  // Usable height 50 - 10 footer; lines 12 high: three fit (36), the fourth starts a page.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(vorn::PrintTextLine(&port, string("line"), 2, 0), 12);
  EXPECT_EQ(target.mErased, 0);
  EXPECT_EQ(port.mDrawn[2].v, 24 + 8);  // pen v + ascent
  vorn::PrintTextLine(&port, string("next"), 2, 0);
  EXPECT_EQ(target.mErased, 1);
  ASSERT_EQ(pages->mUsable.size(), 1u);
  EXPECT_EQ(pages->mUsable[0], 40);
  EXPECT_EQ(port.mDrawn[3].v, 5 + 8);  // below the header
  EXPECT_EQ(port.PenV(), 5 + 12);
}

// A GDK port with no target draws nothing, measures 0 and leaves out-values alone.
TEST(GraphicsPort, GdkPortWithoutTargetIsInert) {
  Graphics* port = vorn::NewGraphics(nullptr);
  EXPECT_EQ(port->StringWidth(string("abc")), 0);
  EXPECT_EQ(port->StringHeight(string("abc"), 10), 0);
  EXPECT_EQ(port->TextHeight(), 0);
  RGB48 color{1, 2, 3};
  port->GetPixel(0, 0, &color);
  EXPECT_EQ(color, (RGB48{1, 2, 3}));
  port->FillRect(MakeRect(0, 0, 5, 5));
  port->DrawText(string("x"), 0, 0, 0);
  port->LineTo(7, 8);
  EXPECT_EQ(port->PenH(), 0);  // no target: the pen stays
  port->SetClipRect(MakeRect(0, 0, 5, 5));
  EXPECT_FALSE(port->HasClip());
  vorn::DisposeGraphics(port);
}

}  // namespace
