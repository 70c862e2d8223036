#include "windows/mdi_window.h"

#include <algorithm>
#include <cstddef>

#include "objects/class_registry.h"
#include "objects/runtime_object.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

#define POSITION(name, selector) \
  {0, name, "i4", Fn(&MDIWindowPosGetter), "MDIWindowPosGetter", Fn(&MDIWindowPosSetter), "MDIWindowPosSetter", selector, 0}
#define LIMIT(name, field) \
  {0, name, "i4", Fn(&shortGetter), "shortGetter", Fn(&shortSetter), "shortSetter", Offset(offsetof(MDIWindowObject, field)), 0}

const PropertyRow kProperties[] = {
    POSITION("Left", kMDILeft),
    POSITION("Top", kMDITop),
    POSITION("Width", kMDIWidth),
    POSITION("Height", kMDIHeight),
    LIMIT("MinWidth", minWidth),
    LIMIT("MinHeight", minHeight),
    LIMIT("MaxWidth", maxWidth),
    LIMIT("MaxHeight", maxHeight),
    {0, "Title", "s", Fn(&MDIWindowTitleGetter), "MDIWindowTitleGetter", Fn(&MDIWindowTitleSetter),
     "MDIWindowTitleSetter", 0, 0},
    {0, "Visible", "b", Fn(&MDIWindowVisibleGetter), "MDIWindowVisibleGetter", Fn(&MDIWindowVisibleSetter),
     "MDIWindowVisibleSetter", 0, 0},
    {0, "Handle", "i4", Fn(&MDIWindowHandleGetter), "MDIWindowHandleGetter", nullptr, nullptr, 0, 0},
};

#undef POSITION
#undef LIMIT

const MethodRow kMethods[] = {
    {"Maximize", "", nullptr, 0, Fn(&MDIWindowMaximize), "MDIWindowMaximize", nullptr, nullptr, 0, 0},
    {"Minimize", "", nullptr, 0, Fn(&MDIWindowMinimize), "MDIWindowMinimize", nullptr, nullptr, 0, 0},
    {"Restore", "", nullptr, 0, Fn(&MDIWindowRestore), "MDIWindowRestore", nullptr, nullptr, 0, 0},
};

EventRow sEvents[] = {
    {0, "Open", "", "", nullptr, 0},     {0, "Resized", "", "", nullptr, 0},  {0, "Moved", "", "", nullptr, 0},
    {0, "Minimize", "", "", nullptr, 0}, {0, "Maximize", "", "", nullptr, 0}, {0, "Restore", "", "", nullptr, 0},
};

MDIWindowObject* Fields(VornRuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetMDIWindowClassDefinition())) return nullptr;
  return reinterpret_cast<MDIWindowObject*>(object);
}

// The bounds are 16-bit; a value past their range is held at its edge rather than wrapped.
int16_t Coordinate(int64_t value) {
  return static_cast<int16_t>(std::clamp<int64_t>(value, INT16_MIN, INT16_MAX));
}

}  // namespace

ObjectDefinition* GetMDIWindowClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("MDIWindow");
    d->mInstanceSize = static_cast<int32_t>(sizeof(MDIWindowObject));
    d->mInitializer = {Fn(&MDIWindowConstructor), "MDIWindowConstructor"};
    d->mFinalizer = {Fn(&MDIWindowDestructor), "MDIWindowDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
    SetMethodList(d, kMethods, RowCount(kMethods));
    SetEventList(d, sEvents, RowCount(sEvents));
    return d;
  }();
  return definition;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void MDIWindowConstructor(VornRuntimeObject* window) {
  MDIWindowObject* f = Fields(window);
  if (!f) return;
  f->bounds = Rect{};
  f->minWidth = 64;
  f->minHeight = 64;
  f->maxWidth = 32000;
  f->maxHeight = 32000;
  f->visible = 1;
}

void MDIWindowDestructor(VornRuntimeObject*) {}

int32_t MDIWindowPosGetter(VornRuntimeObject* window, int32_t selector) {
  MDIWindowObject* f = Fields(window);
  if (!f) return 0;
  switch (selector) {
    case kMDILeft: return f->bounds.left;
    case kMDITop: return f->bounds.top;
    case kMDIWidth: return f->bounds.Width();
    case kMDIHeight: return int32_t{f->bounds.bottom} - f->bounds.top;
    default: return 0;
  }
}

void MDIWindowPosSetter(VornRuntimeObject* window, int32_t selector, int32_t value) {
  MDIWindowObject* f = Fields(window);
  if (!f) return;
  Rect& r = f->bounds;
  const int64_t width = r.Width();
  const int64_t height = int64_t{r.bottom} - r.top;
  switch (selector) {
    case kMDILeft:
      r.left = Coordinate(value);
      r.right = Coordinate(r.left + width);
      break;
    case kMDITop:
      r.top = Coordinate(value);
      r.bottom = Coordinate(r.top + height);
      break;
    case kMDIWidth: r.right = Coordinate(int64_t{r.left} + value); break;
    case kMDIHeight: r.bottom = Coordinate(int64_t{r.top} + value); break;
    default: break;
  }
}

VornStringRecord* MDIWindowTitleGetter(VornRuntimeObject*, int32_t) { return nullptr; }
void MDIWindowTitleSetter(VornRuntimeObject*, int32_t, VornStringRecord*) {}

uint8_t MDIWindowVisibleGetter(VornRuntimeObject* window, int32_t) {
  MDIWindowObject* f = Fields(window);
  return f ? f->visible : 0;
}

void MDIWindowVisibleSetter(VornRuntimeObject* window, int32_t, uint8_t visible) {
  if (MDIWindowObject* f = Fields(window)) f->visible = visible ? 1 : 0;
}

int32_t MDIWindowHandleGetter(VornRuntimeObject* window, int32_t) {
  MDIWindowObject* f = Fields(window);
  return f ? f->handle : 0;
}

void MDIWindowMaximize(VornRuntimeObject*) {}
void MDIWindowMinimize(VornRuntimeObject*) {}
void MDIWindowRestore(VornRuntimeObject*) {}

}  // extern "C"
