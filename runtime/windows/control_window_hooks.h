// What the control code asks of the window objects that hold controls. The runtime window
// layer owns the window object's layout and registers these operations at start-up; tests
// register their own. A missing operation answers nil, zero or false, and its step is left
// out, so controls without windows keep working on their stored values.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/runtime_class.h"
#include "strings/string_map.h"
#include "windows/rect.h"

namespace vorn {

class Window;
struct MouseCursor;

using ControlMap = StringMap<RuntimeObject*>;

struct ControlWindowHooks {
  // The window object's controls by key (name, or name$index for array members).
  ControlMap* (*controlMap)(RuntimeObject* window) = nullptr;
  // The window an embedded window sits in; nil for a window of its own.
  RuntimeObject* (*containingWindow)(RuntimeObject* window) = nullptr;
  // The window object's bounds: for an embedded window, its rectangle inside the containing
  // window (its top-left is its origin there).
  Rect (*windowBounds)(RuntimeObject* window) = nullptr;
  void (*setWindowBounds)(RuntimeObject* window, const Rect& bounds) = nullptr;
  // The window's native window pane (nil while it has none) and its full-screen state.
  Window* (*nativeWindow)(RuntimeObject* window) = nullptr;
  bool (*isFullScreen)(RuntimeObject* window) = nullptr;
  // WindowMove of the Window class: the method `_Move` of an embedded window.
  void (*windowMove)(RuntimeObject* window, int32_t left, int32_t top, int32_t width,
                     int32_t height) = nullptr;
  // Every control of the window and of the windows embedded in it, for closing.
  void (*collectWindowControls)(RuntimeObject* window, std::vector<RuntimeObject*>* out) = nullptr;

  // The embedded-window control class and its template window.
  bool (*isEmbeddedWindowControl)(RuntimeObject* control) = nullptr;
  RuntimeObject* (*templateWindow)(RuntimeObject* control) = nullptr;
};

void SetControlWindowHooks(const ControlWindowHooks& hooks);
const ControlWindowHooks& GetControlWindowHooks();

// The hooks' answers, with the defaults of a missing hook.
ControlMap* WindowControlMap(RuntimeObject* window);
RuntimeObject* ContainingWindowOf(RuntimeObject* window);
bool IsEmbeddedWindowControl(RuntimeObject* control);
RuntimeObject* TemplateWindowOf(RuntimeObject* control);

}  // namespace vorn
