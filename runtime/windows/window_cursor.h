// Which cursor a window shows under the pointer.
#pragma once

#include <cstdint>

namespace vorn {

class Window;
struct MouseCursor;

// The application's cursor when it has one; else that of the topmost shown pane under the
// point (window coordinates) that has its own; else the current cursor of the last
// AdjustCursor pass; else the window's own. Nil means the default arrow.
const MouseCursor* ChooseWindowCursor(Window* window, int32_t h, int32_t v);
// Puts the chosen cursor on the window's content when it is not already there.
void ShowWindowCursor(Window* window, int32_t h, int32_t v);

}  // namespace vorn
