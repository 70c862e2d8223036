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

#include "app/support/calculator_session.h"

extern "C" {
#include "calculator_parameters.h"
#include "limit_model.h"
}

namespace {

using vorn::testing::Accessible;
using vorn::testing::CalculatorSession;
using vorn::testing::Pause;

const char kTitle[] = "Telescope Limiting Magnitude";

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

std::vector<const Accessible*> ByRole(const std::vector<Accessible>& all, const std::string& role) {
  std::vector<const Accessible*> found;
  for (const auto& a : all) {
    if (a.role == role) found.push_back(&a);
  }
  std::sort(found.begin(), found.end(), [](auto* l, auto* r) { return l->x < r->x; });
  return found;
}

class CalculatorGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gdk_init_check(nullptr, nullptr)) << "needs an X display"; }

  // Shows the chart region (relative to the window's content) in a new screenshot.
  std::string ShootChart(const Accessible& frame, const std::string& name) {
    std::string path = ::testing::TempDir() + "calculator-" + name + ".png";
    EXPECT_TRUE(CalculatorSession::Screenshot(path, frame.x + 10, frame.y + 306, 880, 454));
    return path;
  }
};

TEST_F(CalculatorGuiTest, AUserSetsTheParametersReadsTheResultAndChangesTheChart) {
  CalculatorSession session;
  if (!session.Problem().empty()) GTEST_SKIP() << session.Problem();
  ASSERT_TRUE(session.Launch(VORN_BINARY_DIR "/calculator")) << session.Problem();

  // The window appears with its title.
  unsigned long window = session.WaitForWindow(kTitle, 20000);
  if (window == 0 && session.ErrorOutput().find("was not exported") != std::string::npos) {
    GTEST_SKIP() << "the runtime does not export everything the calculator calls yet:\n" << session.ErrorOutput();
  }
  ASSERT_NE(window, 0u) << session.ErrorOutput();

  // The result reads what the model gives for the defaults.
  EXPECT_EQ(session.WaitForLabel("Limiting magnitude:", 10000), ResultText(150));
  auto all = session.Accessibles();
  const Accessible* frame = Find(all, "frame", kTitle);
  const Accessible* title = Find(all, "label", "Aperture (mm)");
  ASSERT_TRUE(frame && title) << "window or aperture title missing from the accessibility tree";
  const Accessible* slider = SliderUnder(all, *title);
  const Accessible* caption = CaptionBeside(all, *title);
  ASSERT_TRUE(slider && caption);
  EXPECT_EQ(caption->name, "150");
  Pause(500);
  std::string chartBefore = ShootChart(*frame, "before");

  // Dragging the aperture slider's thumb to the right changes the value caption, the result
  // (to what the model gives for the new aperture) and the chart.
  const int thumbLength = 31;  // GTK 2's default scale slider
  const double fraction = (150.0 - 25.0) / (600.0 - 25.0);
  const int thumbX = slider->x + thumbLength / 2 + static_cast<int>(fraction * (slider->width - thumbLength));
  const int y = slider->CenterY();
  vorn::testing::Run("xdotool mousemove --sync " + std::to_string(thumbX) + " " + std::to_string(y) +
                     " mousedown 1");
  for (int dx = 10; dx <= 90; dx += 10) {
    vorn::testing::Run("xdotool mousemove --sync " + std::to_string(thumbX + dx) + " " + std::to_string(y));
    Pause(30);
  }
  vorn::testing::Run("xdotool mouseup 1");
  Pause(600);
  all = session.Accessibles();
  caption = CaptionBeside(all, *Find(all, "label", "Aperture (mm)"));
  ASSERT_NE(caption, nullptr);
  const double aperture = std::atof(caption->name.c_str());
  EXPECT_GT(aperture, 150) << caption->name;
  EXPECT_LE(aperture, 600);
  EXPECT_EQ(session.WaitForLabel("Limiting magnitude:", 3000), ResultText(aperture));
  std::string chartDragged = ShootChart(*frame, "dragged");
  EXPECT_GT(CalculatorSession::DifferentPixels(chartBefore, chartDragged), 20);

  // Another X-Axis row, then a Curves row: the chart is drawn anew each time.
  auto menus = ByRole(all, "combo box");
  ASSERT_EQ(menus.size(), 2u);
  const std::string centre[2] = {std::to_string(menus[0]->CenterX()) + " " + std::to_string(menus[0]->CenterY()),
                                 std::to_string(menus[1]->CenterX()) + " " + std::to_string(menus[1]->CenterY())};
  vorn::testing::Run("xdotool mousemove --sync " + centre[0] + " click 1");
  Pause(400);
  vorn::testing::Run("xdotool key Down Return");
  Pause(600);
  std::string chartXAxis = ShootChart(*frame, "xaxis");
  EXPECT_GT(CalculatorSession::DifferentPixels(chartDragged, chartXAxis), 200);

  vorn::testing::Run("xdotool mousemove --sync " + centre[1] + " click 1");
  Pause(400);
  vorn::testing::Run("xdotool key Down Down Down Down Down Return");  // None -> Telescope type
  Pause(600);
  std::string chartCurves = ShootChart(*frame, "curves");
  EXPECT_GT(CalculatorSession::DifferentPixels(chartXAxis, chartCurves), 200);
  all = session.Accessibles();
  menus = ByRole(all, "combo box");
  ASSERT_EQ(menus.size(), 2u);
  EXPECT_EQ(menus[0]->name, "Magnification");
  EXPECT_EQ(menus[1]->name, "Telescope type");

  // Closing the window ends the program with status 0.
  CalculatorSession::RequestClose(window);
  EXPECT_EQ(session.WaitForExit(10000), 0) << session.ErrorOutput();
}

}  // namespace
