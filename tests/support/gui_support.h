// What every test on a real display needs: the display itself, run-loop steps, a window that
// records what reaches it, and driving the X server from outside with xdotool.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "support/wait_limit.h"
#include "windows/native_types.h"
#include "windows/window.h"

namespace vorn::test {

// Opens the display and sets up the GTK helper once; false without a display.
bool EnsureDisplay();

// Runs GTK until nothing is pending, then one run-loop step of the window layer.
void RunLoopIteration();
// Dispatches what the server sent so far, after a round trip: input that an external tool
// such as xdotool made before it ended is then handled, however slow the machine.
void DeliverInput();
// Dispatches events for a while (X round trips of external tools need time).
void PumpFor(int milliseconds);
// Runs a shell command and answers its standard output.
std::string Shell(const std::string& command);

// Runs a picture tool's command ("import ...", "convert ...") in the C locale, whatever the
// test's: the tool reads format names ("info:", "PICT:") by case rules a Turkish locale changes,
// and would take "info:" for a file's name there.
std::string PictureTool(const std::string& command);

// The X id of a window's GtkWindow.
unsigned long XidOf(Window* window);
// Whether the server shows the window. GTK calls a window mapped once it asked for that, and a
// window manager maps it only after placing it in its frame: a point on it is known only then.
bool ViewableOnServer(Window* window);
// Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
void SendDeleteWindowMessage(Window* window);
// Gives the keyboard to whichever window is under the pointer, as a display without a window
// manager does until a program hands it to a window of its own.
void LetFocusFollowPointer();
// Shows the window, waits for it to map and gives it the keyboard.
void ShowAndSettle(Window* window);
// Screen position of a point of the window's content.
void ScreenPoint(Window* window, int32_t h, int32_t v, int32_t* x, int32_t* y);
// Presses the first button at a point of the window's content and moves the pointer `steps`
// times by `stepX` pixels, the button still down; ReleaseMouse lets it go.
void PressAndDrag(Window* window, int32_t h, int32_t v, int32_t stepX, int steps);
void ReleaseMouse();
// Clicks the first button at a point of the window's content, then lets GTK and the run loop
// see the click.
void ClickAt(Window* window, int32_t h, int32_t v);
// Moves the pointer to a point of the screen, then does `then` there (xdotool's words, such as
// "mousedown 1"; nothing for a move alone) in the same call, so the server takes the move
// first. Without --sync, which waits for the pointer to leave where it is: 15 s when an earlier
// run left it on this very spot. Whoever needs the pointer there waits for what follows from it.
void MovePointer(int32_t x, int32_t y, const std::string& then = "");
// Clicks the first button at a point of the screen, in windows of this or another process.
void ClickScreenPoint(int32_t x, int32_t y);
// Dispatches events (by `pump`, a few milliseconds at a time) until `done` holds (true) or the
// deadline passes (false).
bool PumpUntil(const std::function<bool()>& done, int milliseconds = kWaitLimitMs, void (*pump)(int) = &PumpFor);
// Rests the pointer on the middle of a realized widget, then clicks the first button there
// (a menu picks the row under the pointer on motion) and lets GTK see the click.
void ClickWidget(NativeWidget widget);
// Types keys by their X names ("space", "Return", "Escape") into the focused window.
void PressKeys(const std::string& keys);

class TestWindow : public Window {
 public:
  TestWindow(const Rect& screenBounds, int32_t kind = 0, bool resizable = true);
  bool CloseBoxClicked() override;
  void WindowMoved() override { ++moved; }
  void WindowResized() override { ++resized; }
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;

  int moved = 0;
  int resized = 0;
  int closeBoxClicks = 0;
  bool keepOpen = true;
  int mouseDowns = 0;
};

}  // namespace vorn::test
