// GTK services that windows and controls share: placing a pane's widget in its window's
// GtkFixed, the pointer position in a window, the menu-bar height, and the signal handlers for
// button presses, focus grabs and exposes that every control connects.
#pragma once

#include <cstdint>

#include "windows/native_types.h"

struct _GdkEventButton;

namespace vorn {

class SubPane;
class Window;

// Puts the pane's widget into its window's GtkFixed at the pane's position and size.
void AddPaneToWindow(SubPane* pane, bool show);
// Moves and sizes an already placed widget to the pane's bounds.
void MovePaneInWindow(SubPane* pane);

// Pointer position in the window's content (below any menu bar).
void GetWindowMouseLocation(Window* window, int32_t* h, int32_t* v);
// A screen point in the window's content (below any menu bar).
void GetWindowPoint(Window* window, int32_t screenH, int32_t screenV, int32_t* h, int32_t* v);
int32_t GetMenuBarHeight(Window* window);

// Connects the shared handlers to the pane's widget with the pane as user data.
void ConnectButtonPressHandler(SubPane* pane);
void ConnectGrabFocusHandler(SubPane* pane);
void ConnectExposeHandler(SubPane* pane);

// Button-press routing for a pane's window, by where the press happened: ContextualClick for
// button 3, MouseDown for the others, each press (by time stamp) once. Answers whether GTK should
// stop the event.
bool RoutePanePress(SubPane* pane, const _GdkEventButton& press);
// Marks the press (by time stamp) as heard; false when something heard it already.
bool ClaimPress(const _GdkEventButton& press);
// Gives a pending mouse capture its MouseUp, where the release happened.
void DeliverMouseUp(SubPane* pane, const _GdkEventButton& release);

// Modifier word of the last click.
int32_t GetLastClickModifiers();
// Classic modifier bits for a GDK state.
int32_t ModifiersFromGdkState(uint32_t state);

}  // namespace vorn
