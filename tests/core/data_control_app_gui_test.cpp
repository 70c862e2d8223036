// The real runtime runs an application with a DataControl over 20 rows and three bound
// controls: the window opens on row 1, and a click on the navigation pane's next button shows
// row 2 in every bound control; a click on its last button quits from the Reposition handler.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "datacontrols/nav_geometry.h"
#include "support/gui_support.h"
#include "support/program_run.h"

namespace {

using namespace vorn::programtest;

// The visible window with this title, waited for as long as any wait; "" when none came.
std::string WindowNamed(const std::string& title) {
  std::string window;
  for (double until = Now() + vorn::test::kWaitLimitSeconds; window.empty() && Now() < until; usleep(20 * 1000)) {
    window = vorn::test::Shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | head -1");
  }
  return window;
}

// Clicks a navigation button of the "People" window; false when the window never showed.
bool ClickNavButton(int32_t button) {
  std::string window = WindowNamed("People");
  if (window.empty()) return false;
  std::string geometry = vorn::test::Shell("xdotool getwindowgeometry --shell " + window);
  const int x = std::atoi(geometry.substr(geometry.find("X=") + 2).c_str());
  const int y = std::atoi(geometry.substr(geometry.find("Y=") + 2).c_str());
  const vorn::Rect r = vorn::NavButtonRect(vorn::MakeRect(10, 120, 390, 150), button);
  vorn::test::ClickScreenPoint(x + r.left + 5, y + r.top + 5);
  return true;
}

TEST(DataControlAppTest, TheNextButtonShowsRowTwoInEveryBoundControl) {
  ASSERT_TRUE(vorn::test::EnsureDisplay());
  bool clicked = false;
  // The window is titled "People 2" once row 2 is shown; the program is ended after that.
  Outcome outcome = RunProgram(ImagePath("data_control_app"), {}, SIGTERM, "Row1:", [&](const std::string&) {
    clicked = ClickNavButton(vorn::kNavNext) && !WindowNamed("People 2").empty();
  });
  EXPECT_TRUE(clicked) << "the click reached the next button: " << outcome.log;
  EXPECT_TRUE(outcome.exited && outcome.status == 0) << outcome.log;
  const std::string events = EventsOf(outcome.log);
  EXPECT_NE(events.find("Row1:Person 1|true|green;"), std::string::npos) << events;
  EXPECT_NE(events.find("Row2:Person 2|false|blue;"), std::string::npos) << events;
}

TEST(DataControlAppTest, QuitFromTheRepositionOfAClickEndsTheRunLoop) {
  ASSERT_TRUE(vorn::test::EnsureDisplay());
  Outcome outcome = RunProgram(ImagePath("data_control_app"), {}, 0, "Row1:",
                               [](const std::string&) { ClickNavButton(vorn::kNavLast); });
  EXPECT_TRUE(outcome.exited && outcome.status == 0) << outcome.log;
  EXPECT_NE(EventsOf(outcome.log).find("Row20:Person 20|false|blue;Quit;End;"), std::string::npos) << outcome.log;
}

}  // namespace
