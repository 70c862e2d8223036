#include "windows/screen_class.h"

#include "objects/runtime_object.h"
#include "vorn/window_api.h"
#include "windows/screen.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

#define VORN_SCREEN_FIELD(name, getter, field) \
  {0, name, "i4", Fn(&getter), #getter, nullptr, nullptr, Offset(offsetof(ScreenObject, field)), 0}

// Every row is read-only: a Screen describes the display, assigning to it would change nothing.
const PropertyRow kScreenProperties[] = {
    VORN_SCREEN_FIELD("Left", screenLeftGetter, left),
    VORN_SCREEN_FIELD("Top", screenTopGetter, top),
    VORN_SCREEN_FIELD("Width", screenWidthGetter, width),
    VORN_SCREEN_FIELD("Height", screenHeightGetter, height),
    VORN_SCREEN_FIELD("Depth", screenDepthGetter, depth),
    VORN_SCREEN_FIELD("AvailableLeft", intGetter, availableLeft),
    VORN_SCREEN_FIELD("AvailableTop", intGetter, availableTop),
    VORN_SCREEN_FIELD("AvailableWidth", intGetter, availableWidth),
    VORN_SCREEN_FIELD("AvailableHeight", intGetter, availableHeight),
};

#undef VORN_SCREEN_FIELD

ObjectDefinition* BuildScreenDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("Screen");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(ScreenObject));
  definition->SetInstanceVariables(
      BuildPropertyList(kScreenProperties, static_cast<int32_t>(std::size(kScreenProperties))));
  return definition;
}

// Nil for nil and for objects of other classes, so a getter never reads past a foreign object.
ScreenObject* ScreenFields(VornRuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetScreenClassDefinition())) return nullptr;
  return reinterpret_cast<ScreenObject*>(object);
}

int32_t FieldOf(VornRuntimeObject* object, int32_t ScreenObject::*field) {
  ScreenObject* screen = ScreenFields(object);
  return screen ? screen->*field : 0;
}

}  // namespace

ObjectDefinition* GetScreenClassDefinition() {
  static ObjectDefinition* definition = BuildScreenDefinition();
  return definition;
}

}  // namespace vorn

using vorn::ScreenObject;

extern "C" {

int32_t screenLeftGetter(VornRuntimeObject* screen, int32_t) { return vorn::FieldOf(screen, &ScreenObject::left); }
int32_t screenTopGetter(VornRuntimeObject* screen, int32_t) { return vorn::FieldOf(screen, &ScreenObject::top); }
int32_t screenWidthGetter(VornRuntimeObject* screen, int32_t) { return vorn::FieldOf(screen, &ScreenObject::width); }
int32_t screenHeightGetter(VornRuntimeObject* screen, int32_t) {
  return vorn::FieldOf(screen, &ScreenObject::height);
}
int32_t screenDepthGetter(VornRuntimeObject* screen, int32_t) { return vorn::FieldOf(screen, &ScreenObject::depth); }

VornRuntimeObject* getScreen(int32_t index) {
  vorn::ScreenInfo info;
  if (!vorn::GetScreenInfo(index, &info)) return nullptr;
  vorn::RuntimeObject* object = vorn::CreateInstanceFromDefinition(vorn::GetScreenClassDefinition());
  if (!object) return nullptr;
  auto* screen = reinterpret_cast<ScreenObject*>(object);
  screen->left = info.left;
  screen->top = info.top;
  screen->width = info.width;
  screen->height = info.height;
  screen->depth = info.depth;
  screen->availableLeft = info.availableLeft;
  screen->availableTop = info.availableTop;
  screen->availableWidth = info.availableWidth;
  screen->availableHeight = info.availableHeight;
  return object;
}

}  // extern "C"
