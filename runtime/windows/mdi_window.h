// The frame window of a multiple-document interface. This desktop has none, so an MDIWindow
// only keeps the values a program gives it; its methods do nothing and its events never fire.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "strings/rect.h"
#include "vorn/object_abi.h"

namespace vorn {

struct MDIWindowObject {
  VornRuntimeObject header;
  Rect bounds;
  int16_t minWidth;
  int16_t minHeight;
  int16_t maxWidth;
  int16_t maxHeight;
  uint8_t visible;
  int32_t handle;  // never set
};

// Selectors of MDIWindowPosGetter and MDIWindowPosSetter.
enum MDIWindowPosition : int32_t { kMDILeft = 0, kMDITop = 1, kMDIWidth = 2, kMDIHeight = 3 };

ObjectDefinition* GetMDIWindowClassDefinition();

}  // namespace vorn

extern "C" {
void MDIWindowConstructor(VornRuntimeObject* window);
void MDIWindowDestructor(VornRuntimeObject* window);
int32_t MDIWindowPosGetter(VornRuntimeObject* window, int32_t selector);
void MDIWindowPosSetter(VornRuntimeObject* window, int32_t selector, int32_t value);
VornStringRecord* MDIWindowTitleGetter(VornRuntimeObject* window, int32_t);
void MDIWindowTitleSetter(VornRuntimeObject* window, int32_t, VornStringRecord* title);
uint8_t MDIWindowVisibleGetter(VornRuntimeObject* window, int32_t);
void MDIWindowVisibleSetter(VornRuntimeObject* window, int32_t, uint8_t visible);
int32_t MDIWindowHandleGetter(VornRuntimeObject* window, int32_t);
void MDIWindowMaximize(VornRuntimeObject* window);
void MDIWindowMinimize(VornRuntimeObject* window);
void MDIWindowRestore(VornRuntimeObject* window);
}
