// The keyboard focus pane and the mouse-capture pane. The run loop reads them every iteration;
// panes change them as the user clicks, tabs and closes.
#pragma once

namespace vorn {

class SubPane;
struct MouseCursor;

SubPane* GetFocusPane();
// Focus goes to the pane's owner: the old focus pane hears LostFocus, then the new one GotFocus,
// unless LostFocus already moved the focus elsewhere or closed the new pane or its window. A
// closing pane (or one in a closing window) is never given the focus.
void SetFocusPane(SubPane* pane);

SubPane* GetMouseCapturePane();
// A closing pane (or one in a closing window) does not become the capture pane.
void SetMouseCapturePane(SubPane* pane);
void ClearMouseCapturePane();

}  // namespace vorn

namespace vorn {

// No focus pane, and the front window's GTK focus is dropped too.
void ClearFocusPane();

// The cursor chosen by the last AdjustCursor pass; the window's pointer-motion handler shows
// it. The slot keeps its own copy of the record; nil, or a record without cursor, leaves none.
MouseCursor* GetCurrentCursorRecord();
void SetCurrentCursorRecord(MouseCursor* cursor);

}  // namespace vorn
