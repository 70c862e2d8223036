// The calculator as a user meets it, on the X display the GUI tests run on (Xvfb): the real
// executable with its image. Texts are read back through the accessibility tree (GTK's atk
// bridge on a private session bus), the pointer and keys are xdotool's, the chart is compared
// in screenshots.
#include <gtest/gtest.h>
#include <gdk/gdk.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/support/calculator_session.h"
#include "support/gui_support.h"
#include "support/process_locale.h"

extern "C" {
#include "calculator_parameters.h"
#include "limit_model.h"
}

namespace {

using vorn::testing::Accessible;
using vorn::testing::CalculatorSession;
using vorn::test::kWaitLimitMs;

const char kTitle[] = "Telescope Limiting Magnitude";

// In the process locale, as the calculator started with the same environment writes it.
std::string ResultText(double apertureMM) {
  double values[kParamCount];
  for (int i = 0; i < kParamCount; ++i) values[i] = kCalculatorParameters[i].defaultValue;
  values[kParamAperture] = apertureMM;
  char text[64];
  std::snprintf(text, sizeof text, "Limiting magnitude: %.2f", EvaluateParameters(values));
  return text;
}

const Accessible* Find(const std::vector<Accessible>& all, const std::string& role, const std::string& name) {
  for (const auto& a : all) {
    if (a.role == role && a.name == name) return &a;
  }
  return nullptr;
}

// The slider right below a title, and the value caption on the title's line.
const Accessible* SliderUnder(const std::vector<Accessible>& all, const Accessible& title) {
  const Accessible* best = nullptr;
  for (const auto& a : all) {
    if (a.role != "slider" || a.y < title.y || std::abs(a.x - title.x) > 20) continue;
    if (!best || a.y < best->y) best = &a;
  }
  return best;
}

const Accessible* CaptionBeside(const std::vector<Accessible>& all, const Accessible& title) {
  for (const auto& a : all) {
    if (a.role == "label" && std::abs(a.y - title.y) <= 3 && a.x > title.x && a.x < title.x + 300) return &a;
  }
  return nullptr;
}

// A popup menu as the tree shows it: the combo box and the entry that shows its row.
struct Menu {
  Accessible box;
  std::string row;
};

std::vector<Menu> Menus(const std::vector<Accessible>& all) {
  std::vector<Menu> menus;
  for (const auto& a : all) {
    if (a.role == "combo box") menus.push_back({a, ""});
    if (a.role == "text" && !menus.empty() && a.y == menus.back().box.y) menus.back().row = a.value;
  }
  std::sort(menus.begin(), menus.end(), [](const Menu& l, const Menu& r) { return l.box.x < r.box.x; });
  return menus;
}

// A dropped-down row of that name under the menu: one with real extents (hidden rows have
// none), in the menu's column (both menus have rows of the same names).
const Accessible* ShownRow(const std::vector<Accessible>& all, const Accessible& menu, const std::string& name) {
  for (const auto& a : all) {
    if (a.role == "list item" && a.name == name && a.width > 1 && a.x >= menu.x && a.x < menu.x + menu.width &&
        a.y > menu.y) {
      return &a;
    }
  }
  return nullptr;
}

class CalculatorGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gdk_init_check(nullptr, nullptr)) << "needs an X display"; }

  // The chart: the part of the window below the menus, in a new screenshot.
  std::string ShootChart(const Accessible& frame, const Accessible& menu, const std::string& name) {
    std::string path = ::testing::TempDir() + "calculator-" + name + "-" + std::to_string(++mShots) + ".png";
    const int top = menu.y + menu.height + 4;
    EXPECT_TRUE(CalculatorSession::Screenshot(path, frame.x, top, frame.width, frame.y + frame.height - top));
    return path;
  }

  // Polls until the chart differs from `before` in more than `pixels` pixels; the last shot.
  std::string WaitForChartChange(const Accessible& frame, const Accessible& menu, const std::string& before,
                                 long pixels, const std::string& name) {
    std::string shot;
    bool changed = vorn::testing::PollUntil(
        [&] {
          shot = ShootChart(frame, menu, name);
          return CalculatorSession::DifferentPixels(before, shot) > pixels;
        },
        kWaitLimitMs);
    EXPECT_TRUE(changed) << "the chart stayed as it was: " << shot;
    return shot;
  }

  // Drops the menu's list down with its arrow button and clicks the row.
  void ChooseRow(CalculatorSession& session, const Menu& menu, const std::string& row) {
    const Accessible& box = menu.box;
    const Accessible* shown = nullptr;
    std::vector<Accessible> all;
    ASSERT_TRUE(vorn::testing::PollUntil(
        [&] {
          vorn::test::ClickScreenPoint(box.x + box.width - 10, box.CenterY());
          vorn::testing::PollUntil(
              [&] {
                all = session.Accessibles();
                return (shown = ShownRow(all, box, row)) != nullptr;
              },
              3000);
          return shown != nullptr;
        },
        15000))
        << "the list of rows did not drop down";
    vorn::test::ClickScreenPoint(shown->CenterX(), shown->CenterY());
  }

  int mShots = 0;
};

TEST_F(CalculatorGuiTest, AUserSetsTheParametersReadsTheResultAndChangesTheChart) {
  CalculatorSession session;
  if (!session.Problem().empty()) GTEST_SKIP() << session.Problem();
  ASSERT_TRUE(session.Launch(VORN_BINARY_DIR "/calculator")) << session.Problem();

  // The window appears with its title.
  unsigned long window = session.WaitForWindow(kTitle, kWaitLimitMs);
  ASSERT_NE(window, 0u) << session.ErrorOutput();

  // The result reads what the model gives for the defaults.
  EXPECT_EQ(session.WaitForLabel("Limiting magnitude:", kWaitLimitMs), ResultText(150)) << session.ErrorOutput();
  std::vector<Accessible> all;
  const Accessible *frame = nullptr, *title = nullptr, *slider = nullptr, *caption = nullptr;
  ASSERT_TRUE(vorn::testing::PollUntil(
      [&] {
        all = session.Accessibles();
        frame = Find(all, "frame", kTitle);
        title = Find(all, "label", "Aperture (mm)");
        slider = title ? SliderUnder(all, *title) : nullptr;
        caption = title ? CaptionBeside(all, *title) : nullptr;
        return frame && slider && caption && Menus(all).size() == 2 && slider->width > 1;
      },
      kWaitLimitMs))
      << "window, aperture controls or menus missing from the accessibility tree";
  EXPECT_EQ(caption->name, "150");
  const Accessible frameBox = *frame;
  const Accessible menuBox = Menus(all)[0].box;
  std::string chartBefore = ShootChart(frameBox, menuBox, "before");

  // Dragging the aperture slider's thumb to the right changes the value caption, the result
  // (to what the model gives for the new aperture) and the chart.
  const int thumbLength = 31;  // GTK 2's scale slider
  const double fraction = (150.0 - 25.0) / (600.0 - 25.0);
  const int thumbX = slider->x + thumbLength / 2 + static_cast<int>(fraction * (slider->width - thumbLength));
  const int y = slider->CenterY();
  vorn::test::MovePointer(thumbX, y, "mousedown 1");
  for (int dx = 10; dx <= 90; dx += 10) vorn::test::MovePointer(thumbX + dx, y);
  vorn::test::Shell("xdotool mouseup 1");
  double aperture = 0;
  ASSERT_TRUE(vorn::testing::PollUntil(
      [&] {
        all = session.Accessibles();
        const Accessible* t = Find(all, "label", "Aperture (mm)");
        const Accessible* c = t ? CaptionBeside(all, *t) : nullptr;
        aperture = c ? std::atof(c->name.c_str()) : 0;
        return aperture > 150;
      },
      kWaitLimitMs))
      << "the aperture caption did not follow the drag";
  EXPECT_LE(aperture, 600);
  std::string expected = ResultText(aperture);
  EXPECT_TRUE(vorn::testing::PollUntil([&] { return session.WaitForLabel("Limiting magnitude:", 0) == expected; },
                                       kWaitLimitMs))
      << "expected " << expected << ", read " << session.WaitForLabel("Limiting magnitude:", 0);
  std::string chartDragged = WaitForChartChange(frameBox, menuBox, chartBefore, 20, "dragged");

  // Another X-Axis row, then a Curves row: the chart is drawn anew each time.
  auto menus = Menus(all);
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0].row, "Aperture (mm)");
  EXPECT_EQ(menus[1].row, "None");
  ChooseRow(session, menus[0], "Magnification");
  std::string chartXAxis = WaitForChartChange(frameBox, menuBox, chartDragged, 200, "xaxis");
  ChooseRow(session, menus[1], "Telescope type");
  std::string chartCurves = WaitForChartChange(frameBox, menuBox, chartXAxis, 200, "curves");
  EXPECT_TRUE(vorn::testing::PollUntil(
      [&] {
        menus = Menus(session.Accessibles());
        return menus.size() == 2 && menus[0].row == "Magnification" && menus[1].row == "Telescope type";
      },
      kWaitLimitMs))
      << "the menus do not show the chosen rows";

  // Closing the window ends the program with status 0.
  CalculatorSession::RequestClose(window);
  EXPECT_EQ(session.WaitForExit(20000), 0) << session.ErrorOutput();
}

// On a decimal-comma desktop the result keeps its digits; its format shows the comma.
TEST_F(CalculatorGuiTest, UnderADecimalCommaLocaleTheNumbersKeepTheirDigits) {
  CalculatorSession session;
  if (!session.Problem().empty()) GTEST_SKIP() << session.Problem();
  ASSERT_TRUE(session.Launch(VORN_BINARY_DIR "/calculator", vorn::test::LocaleEnvironment("de_DE.UTF-8")))
      << session.Problem();
  ASSERT_NE(session.WaitForWindow(kTitle, kWaitLimitMs), 0u) << session.ErrorOutput();
  std::string result = ResultText(150);
  std::replace(result.begin(), result.end(), '.', ',');
  EXPECT_EQ(session.WaitForLabel("Limiting magnitude:", kWaitLimitMs), result) << session.ErrorOutput();
  session.Terminate();
  EXPECT_EQ(session.WaitForExit(20000), 0) << session.ErrorOutput();
}

// On a desktop written right to left the controls keep their places and alignments: a
// left-aligned label and a right-aligned one beside it keep their order, each text at its own
// side, instead of running together ("Aperture (mm)150", "25600").
TEST_F(CalculatorGuiTest, UnderARightToLeftLocaleLabelsKeepTheirSidesAndOrder) {
  CalculatorSession session;
  if (!session.Problem().empty()) GTEST_SKIP() << session.Problem();
  ASSERT_TRUE(session.Launch(VORN_BINARY_DIR "/calculator", vorn::test::LocaleEnvironment("ar_EG.UTF-8")))
      << session.Problem();
  ASSERT_NE(session.WaitForWindow(kTitle, kWaitLimitMs), 0u) << session.ErrorOutput();
  ASSERT_NE(session.WaitForLabel("Limiting magnitude:", kWaitLimitMs), "") << session.ErrorOutput();
  const std::pair<const char*, const char*> pairs[] = {{"Aperture (mm)", "150"}, {"25", "600"}, {"-0.50", "2.00"}};
  for (const auto& [leftName, rightName] : pairs) {
    std::vector<Accessible> all;
    const Accessible *left = nullptr, *right = nullptr;
    vorn::testing::PollUntil(
        [&] {
          all = session.Accessibles();
          left = Find(all, "label", leftName);
          right = nullptr;
          for (const auto& a : all) {
            bool beside = left && std::abs(a.y - left->y) <= 3 && a.x > left->x;
            if (beside && a.role == "label" && a.name == rightName) right = &a;
          }
          return left && right && left->textWidth > 0 && right->textWidth > 0;
        },
        kWaitLimitMs);
    ASSERT_TRUE(left && right) << rightName << " beside " << leftName;
    EXPECT_LE(left->textX - left->x, 2) << leftName << " starts at the left of its box";
    EXPECT_LE(right->x + right->width - (right->textX + right->textWidth), 2) << rightName << " ends at its right";
    EXPECT_LT(left->textX + left->textWidth, right->textX) << leftName << " runs into " << rightName;
  }
  session.Terminate();
  EXPECT_EQ(session.WaitForExit(20000), 0) << session.ErrorOutput();
}

// SIGTERM runs the quit sequence: every window closes, the container controls with their
// template windows included, and the program ends with status 0 instead of hanging.
TEST_F(CalculatorGuiTest, TerminationClosesTheWindowAndEndsTheProgram) {
  CalculatorSession session;
  if (!session.Problem().empty()) GTEST_SKIP() << session.Problem();
  ASSERT_TRUE(session.Launch(VORN_BINARY_DIR "/calculator")) << session.Problem();
  ASSERT_NE(session.WaitForWindow(kTitle, kWaitLimitMs), 0u) << session.ErrorOutput();
  EXPECT_EQ(session.WaitForLabel("Limiting magnitude:", kWaitLimitMs), ResultText(150));
  session.Terminate();
  EXPECT_EQ(session.WaitForExit(20000), 0) << session.ErrorOutput();
}

}  // namespace
