// Runs the real calculator executable on the current X display the way a user meets it: a
// private session bus with the accessibility bus, so its labels and sliders can be read back
// through the accessibility tree; the pointer and keys through xdotool; screenshots through
// ImageMagick's import; closing through the window manager's delete request.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace vorn::testing {

struct Accessible {
  std::string role;  // "label", "slider", "combo box", "frame"
  std::string name;
  int x = 0, y = 0, width = 0, height = 0;
  std::string value;
  int textX = -1, textWidth = 0;  // where a label's text is drawn, on the screen
  int CenterX() const { return x + width / 2; }
  int CenterY() const { return y + height / 2; }
};

class CalculatorSession {
 public:
  CalculatorSession();
  ~CalculatorSession();

  // Empty when the session is ready; otherwise why it cannot run here.
  const std::string& Problem() const { return mProblem; }

  // Starts the executable, with these "NAME=value" texts added to its environment; false (see
  // Problem) when it could not start.
  bool Launch(const std::string& executable, const std::vector<std::string>& environment = {});
  // The window id of the visible window with that title, 0 after the timeout.
  unsigned long WaitForWindow(const std::string& title, int timeoutMs);
  // What the program wrote on standard error so far.
  std::string ErrorOutput() const;

  std::vector<Accessible> Accessibles() const;
  // Polls the tree until a label's name starts with prefix (at least once); "" after the timeout.
  std::string WaitForLabel(const std::string& prefix, int timeoutMs) const;

  // Saves a region of the screen (x, y, width, height) as a PNG.
  static bool Screenshot(const std::string& path, int x, int y, int width, int height);
  // Number of pixels in which two images differ.
  static long DifferentPixels(const std::string& a, const std::string& b);

  // Asks the window to close as the window manager's close button would.
  static void RequestClose(unsigned long window);
  // Sends the program SIGTERM, as a session ending or `kill` does.
  void Terminate() const;
  // Waits for the program to end: its exit status, or -1 after the timeout (it is then killed).
  int WaitForExit(int timeoutMs);

 private:
  pid_t mBusPid = 0;
  pid_t mAccessibilityPid = 0;
  pid_t mProgramPid = 0;
  std::string mErrorPath;
  std::string mProblem;
};

// Calls condition every 100 ms until it holds (true) or timeoutMs have passed (false): the
// program and the X server answer at their own pace, above all on a loaded CI machine.
bool PollUntil(const std::function<bool()>& condition, int timeoutMs);

// Runs a shell command; its standard output.
std::string Run(const std::string& command);
void Pause(int milliseconds);

}  // namespace vorn::testing
