// One decider for the pointer's buttons and wheel in a window's content: the window's click
// order picks the pane, whatever GTK's own windows would pick. GDK stacks the widgets' input
// windows by when they were last shown, and controls drawn by the runtime have no window of
// their own, so GTK alone would hand a press to a control lying underneath.
#pragma once

union _GdkEvent;

namespace vorn {

// Deals with a press, double press, release or wheel event landing in a window's content:
// routes it through the window and hands it on to the routed pane's widget only. Answers false
// for what GTK is to dispatch as it came.
bool RoutePointerEvent(_GdkEvent* event);

}  // namespace vorn
