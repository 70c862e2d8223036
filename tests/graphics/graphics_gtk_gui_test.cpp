#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include <memory>

#include "graphics/colors.h"
#include "graphics/graphics_gtk.h"
#include "graphics/graphics_state.h"
#include "graphics/support/pixmap_target.h"

using vorn::Graphics;
using vorn::GraphicsGTK;
using vorn::MakeRect;
using vorn::RGB48;
using vorn::string;
using vorn::testing::PixmapTarget;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

class GdkPort : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!vorn::testing::EnsureGtk()) GTEST_SKIP() << "no display";
    mTarget = std::make_unique<PixmapTarget>(120, 80);
    mPort.reset(static_cast<GraphicsGTK*>(vorn::NewGraphics(mTarget.get())));
  }

  uint32_t Pixel(int x, int y) { return mTarget->PixelAt(x, y); }
  // Rows [top, bottom] of the ink (non-white) inside columns [left, right), or -1s.
  std::pair<int, int> InkRows(int left, int right) {
    mTarget->Snapshot();
    int top = -1, bottom = -1;
    for (int y = 0; y < mTarget->Height(); ++y) {
      for (int x = left; x < right; ++x) {
        if (Pixel(x, y) != kWhite) {
          if (top < 0) top = y;
          bottom = y;
          break;
        }
      }
    }
    return {top, bottom};
  }
  int InkCount(int left, int top, int right, int bottom) {
    mTarget->Snapshot();
    int count = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) count += Pixel(x, y) != kWhite;
    return count;
  }

  std::unique_ptr<PixmapTarget> mTarget;
  std::unique_ptr<GraphicsGTK> mPort;
};

TEST_F(GdkPort, FramedRectangleCoversTheSamePixelsAsAFilledOne) {
  mPort->DrawRect(MakeRect(0, 0, 10, 10));
  mTarget->Snapshot();
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(Pixel(i, 0), kBlack) << i;
    EXPECT_EQ(Pixel(i, 9), kBlack) << i;
    EXPECT_EQ(Pixel(0, i), kBlack) << i;
    EXPECT_EQ(Pixel(9, i), kBlack) << i;
  }
  EXPECT_EQ(Pixel(10, 5), kWhite);
  EXPECT_EQ(Pixel(5, 10), kWhite);
  EXPECT_EQ(Pixel(5, 5), kWhite);

  mPort->FillRect(MakeRect(20, 0, 30, 10));
  EXPECT_EQ(InkCount(20, 0, 31, 11), 100);

  // A frame with the corners given the wrong way round is the same frame; an empty one draws
  // nothing (GDK would take a negative size as the whole pixmap).
  mPort->DrawRect(MakeRect(50, 10, 40, 0));
  mPort->DrawRect(MakeRect(60, 60, 60, 70));
  mPort->FillRect(MakeRect(70, 60, 70, 70));
  EXPECT_EQ(InkCount(40, 0, 51, 11), 36);
  EXPECT_EQ(InkCount(0, 20, 120, 80), 0);
}

TEST_F(GdkPort, PenWidthWidensLines) {
  mPort->MoveTo(10, 20);
  mPort->LineTo(60, 20);
  EXPECT_EQ(InkRows(20, 50), std::make_pair(20, 20));
  mPort->SetForeColor(vorn::ColorToRGB48(kWhite));
  mPort->FillRect(MakeRect(0, 0, 120, 80));
  mPort->SetForeColor(vorn::ColorToRGB48(kBlack));
  mPort->SetPenSize(3, 3);
  mPort->MoveTo(10, 40);
  mPort->LineTo(60, 40);
  EXPECT_EQ(InkRows(20, 50), std::make_pair(39, 41));
}

TEST_F(GdkPort, ForeColourReadsBackExactly) {
  mPort->SetForeColor(vorn::ColorToRGB48(0x123456));
  mPort->FillRect(MakeRect(0, 0, 4, 4));
  mTarget->Snapshot();
  EXPECT_EQ(Pixel(2, 2), 0x123456u);
  RGB48 read{};
  mPort->GetPixel(1, 1, &read);
  EXPECT_EQ(vorn::RGB48ToColor(read), 0x123456u);
  EXPECT_EQ(read, vorn::ColorToRGB48(0x123456));

  RGB48 untouched{7, 7, 7};
  mPort->GetPixel(-1, 0, &untouched);
  mPort->GetPixel(120, 79, &untouched);
  EXPECT_EQ(untouched, (RGB48{7, 7, 7}));

  mPort->SetPixel(50, 50, vorn::ColorToRGB48(0xFF8000));
  EXPECT_EQ(mPort->ForeColor(), vorn::ColorToRGB48(0x123456));
  mTarget->Snapshot();
  EXPECT_EQ(Pixel(50, 50), 0xFF8000u);
  EXPECT_EQ(Pixel(51, 50), kWhite);
}

TEST_F(GdkPort, OriginMovesEverythingAndClearingKeepsTheColour) {
  mPort->SetOrigin(5, 5);
  mPort->FillRect(MakeRect(5, 5, 10, 10));
  EXPECT_EQ(InkCount(0, 0, 120, 80), 25);
  EXPECT_EQ(Pixel(0, 0), kBlack);
  EXPECT_EQ(Pixel(4, 4), kBlack);

  mPort->MoveTo(15, 25);
  mPort->LineTo(35, 25);
  EXPECT_EQ(mPort->PenH(), 35);
  mTarget->Snapshot();
  EXPECT_EQ(Pixel(10, 20), kBlack);
  EXPECT_EQ(Pixel(30, 20), kBlack);
  EXPECT_EQ(Pixel(31, 20), kWhite);

  mPort->SetForeColor(vorn::ColorToRGB48(0x00FF00));
  mPort->ClearRect(MakeRect(0, 0, 200, 200));
  EXPECT_EQ(InkCount(0, 0, 120, 80), 0);
  EXPECT_EQ(mPort->ForeColor(), vorn::ColorToRGB48(0x00FF00));
}

TEST_F(GdkPort, PolygonUsesElementsOneToTheLastFullPair) {
  // Upper bound 5: points (1, 2) -> (20, 2); element 0 and element 5 are not used.
  const int32_t elements[] = {99, 10, 2, 20, 2, 70};
  mPort->DrawPolygon(elements, 5, false);
  mTarget->Snapshot();
  EXPECT_EQ(Pixel(15, 2), kBlack);
  EXPECT_EQ(InkCount(0, 3, 120, 80), 0);

  const int32_t triangle[] = {0, 30, 30, 60, 30, 45, 60};
  mPort->DrawPolygon(triangle, 6, true);
  mTarget->Snapshot();
  EXPECT_EQ(Pixel(45, 40), kBlack);
  EXPECT_EQ(Pixel(31, 50), kWhite);
  mPort->DrawPolygon(triangle, 1, true);  // no point
}

TEST_F(GdkPort, TextSitsOnItsBaseline) {
  mPort->SetTextSize(30);
  const int32_t ascent = mPort->FontAscent();
  ASSERT_GT(ascent, 5);
  EXPECT_EQ(mPort->TextHeight(), ascent + mPort->FontDescent());
  const int32_t baseline = 50;
  mPort->DrawText(string("HH"), 10, baseline, 0);
  const auto [top, bottom] = InkRows(0, 120);
  // Capital letters stand on the baseline and reach most of the ascent above it.
  EXPECT_GE(bottom, baseline - 1);
  EXPECT_LE(bottom, baseline + 1);
  EXPECT_GE(top, baseline - ascent - 1);
  EXPECT_LT(top, baseline - ascent / 2);
  // The ink starts at the given left edge, a bearing at most.
  mTarget->Snapshot();
  int left = -1;
  for (int x = 0; x < 120 && left < 0; ++x)
    for (int y = top; y <= bottom; ++y)
      if (Pixel(x, y) != kWhite) {
        left = x;
        break;
      }
  EXPECT_GE(left, 10);
  EXPECT_LE(left, 14);
  EXPECT_GT(mPort->StringWidth(string("HH")), mPort->StringWidth(string("H")));
}

TEST_F(GdkPort, UnderlineDoesNotOutliveItsText) {
  mPort->SetTextSize(20);
  mPort->SetTextStyle(vorn::kStyleUnderline);
  mPort->DrawText(string("ace"), 5, 30, 0);
  mPort->SetTextStyle(0);
  mPort->DrawText(string("ace"), 65, 30, 0);
  // "ace" has no descender: below the baseline only an underline leaves ink.
  EXPECT_GT(InkCount(5, 32, 60, 45), 0);
  EXPECT_EQ(InkCount(65, 32, 120, 45), 0);
}

TEST_F(GdkPort, LayoutIsRebuiltOnlyWhenTheFontChanges) {
  mPort->StringWidth(string("x"));
  const int32_t builds = mPort->LayoutBuildCount();
  mPort->SetTextSize(mPort->TextSize());
  mPort->SetTextFont(string("SYSTEM"));  // same name in another case
  mPort->SetTextStyle(vorn::kStyleCondense | vorn::kStyleUnderline);
  mPort->StringWidth(string("x"));
  EXPECT_EQ(mPort->LayoutBuildCount(), builds);
  mPort->SetTextSize(18);
  mPort->StringWidth(string("x"));
  EXPECT_EQ(mPort->LayoutBuildCount(), builds + 1);
  mPort->SetTextStyle(vorn::kStyleBold);
  EXPECT_GT(mPort->StringWidth(string("mmmm")), 0);
  EXPECT_EQ(mPort->LayoutBuildCount(), builds + 2);
}

// Texts are shaped once and kept; a kept shape never outlives its font, and more texts than
// are kept still measure and draw as they should.
TEST_F(GdkPort, KeptTextShapesFollowTheFont) {
  const string text("Measured");
  mPort->SetTextSize(10);
  const int32_t small = mPort->StringWidth(text);
  mPort->SetTextSize(20);
  const int32_t large = mPort->StringWidth(text);
  EXPECT_GT(large, small + small / 2);
  mPort->SetTextStyle(vorn::kStyleBold);
  EXPECT_GT(mPort->StringWidth(text), large);
  mPort->SetTextStyle(0);
  mPort->SetTextSize(10);
  EXPECT_EQ(mPort->StringWidth(text), small);
  for (int i = 0; i < 100; ++i) mPort->StringWidth(string(std::to_string(i).c_str()));
  EXPECT_EQ(mPort->StringWidth(text), small) << "after many other texts";
  EXPECT_GT(mPort->StringWidth(string("Measured and more")), small);
  // Drawn after being measured, a text shows exactly as it does drawn fresh.
  mPort->DrawText(text, 5, 30, 0);
  std::unique_ptr<Graphics> fresh(vorn::NewGraphics(mTarget.get()));
  fresh->SetTextSize(10);
  fresh->DrawText(text, 5, 60, 0);
  EXPECT_GT(InkCount(5, 18, 80, 34), 0);
  EXPECT_EQ(InkCount(5, 18, 80, 34), InkCount(5, 48, 80, 64));
}

TEST_F(GdkPort, ClipLimitsDrawingAndComesBackWhereItWas) {
  mPort->SetOrigin(10, 10);
  mPort->SetClipRect(MakeRect(10, 10, 30, 30));  // pixels 0..19
  EXPECT_TRUE(mPort->HasClip());
  {
    vorn::ClipSaver saver(mPort.get());
    mPort->SetOrigin(0, 0);
    mPort->SetClipRect(MakeRect(50, 50, 60, 60));
  }
  mPort->SetOrigin(0, 0);
  mPort->FillRect(MakeRect(0, 0, 120, 80));
  EXPECT_EQ(InkCount(0, 0, 120, 80), 400);
  EXPECT_EQ(Pixel(19, 19), kBlack);

  mPort->RestoreClip(nullptr);
  EXPECT_FALSE(mPort->HasClip());
  mPort->FillRect(MakeRect(100, 60, 110, 70));
  EXPECT_EQ(InkCount(100, 60, 110, 70), 100);
}

TEST_F(GdkPort, CondensedStringStaysInsideItsWidth) {
  vorn::DrawCondensedString(mPort.get(), string("a rather long label"), 10, 40, 50,
                            string("..."), 0);
  EXPECT_GT(InkCount(10, 0, 60, 80), 0);
  EXPECT_EQ(InkCount(61, 0, 120, 80), 0);
  vorn::DrawNumberInWidth(mPort.get(), 123456789.0, 2, 0, 70, 12);
  EXPECT_GT(InkCount(0, 55, 12, 80), 0);  // the overflow marker
}

TEST_F(GdkPort, ShapesAndIconsStayInTheirBoxes) {
  mPort->FillOval(MakeRect(0, 0, 20, 20));
  mPort->DrawOval(MakeRect(30, 0, 50, 20));
  mPort->FillRoundRect(MakeRect(60, 0, 80, 20), 8, 8);
  mPort->DrawRoundRect(MakeRect(90, 0, 110, 20), 8, 8);
  mPort->DrawFocusRing(MakeRect(0, 30, 20, 50));
  mPort->DrawIcon(vorn::kIconCaution, 40, 30, 32, 32);
  mPort->DrawIcon(7, 80, 30, 32, 32);  // no such icon
  mTarget->Snapshot();
  EXPECT_EQ(Pixel(10, 10), kBlack);
  EXPECT_EQ(Pixel(0, 0), kWhite);   // outside the oval
  EXPECT_EQ(Pixel(40, 10), kWhite);  // inside the frame
  EXPECT_EQ(Pixel(70, 10), kBlack);
  EXPECT_EQ(Pixel(60, 0), kWhite);  // a rounded corner
  EXPECT_EQ(Pixel(100, 0), kBlack);
  EXPECT_EQ(InkCount(0, 20, 120, 30), 0);
  EXPECT_GT(InkCount(40, 30, 72, 62), 50);
  EXPECT_EQ(InkCount(72, 30, 120, 80), 0);

  const std::string path = std::string(VORN_BINARY_DIR) + "/graphics_shapes.png";
  mPort->SetTextSize(12);
  mPort->DrawText(string("vorn"), 2, 75, 0);
  EXPECT_TRUE(mTarget->SavePNG(path));
}

// The colour dialog answers the colour picked on OK and leaves it alone otherwise.
struct DialogAnswer {
  GdkColor color;
  gint response;
};

gboolean AnswerDialog(gpointer data) {
  auto* answer = static_cast<DialogAnswer*>(data);
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next) {
    if (!GTK_IS_COLOR_SELECTION_DIALOG(w->data)) continue;
    GtkWidget* selection = gtk_color_selection_dialog_get_color_selection(
        GTK_COLOR_SELECTION_DIALOG(w->data));
    gtk_color_selection_set_current_color(GTK_COLOR_SELECTION(selection), &answer->color);
    gtk_dialog_response(GTK_DIALOG(w->data), answer->response);
    g_list_free(windows);
    return FALSE;
  }
  g_list_free(windows);
  return TRUE;  // not shown yet: try again
}

TEST(ColorDialog, AnswersThePickedColourOnlyOnOK) {
  if (!vorn::testing::EnsureGtk()) GTEST_SKIP() << "no display";
  VORN_LITERAL(kPrompt, "Pick a colour");
  DialogAnswer ok{{0, 0x1212, 0x3434, 0x5656}, GTK_RESPONSE_OK};
  g_timeout_add(50, AnswerDialog, &ok);
  uint32_t color = 0xABCDEF;
  EXPECT_EQ(selectColor(&color, VORN_STR(kPrompt)), 1);
  EXPECT_EQ(color, 0x123456u);

  DialogAnswer cancel{{0, 0, 0, 0}, GTK_RESPONSE_CANCEL};
  g_timeout_add(50, AnswerDialog, &cancel);
  EXPECT_EQ(selectColor(&color, nullptr), 0);
  EXPECT_EQ(color, 0x123456u);
}

}  // namespace
