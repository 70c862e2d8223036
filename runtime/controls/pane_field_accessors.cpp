// Accessors of settings a control keeps in its object until the pane exists and that the pane
// then owns: reads come from the pane, writes go to both (so code reading the object field,
// such as the Line's bounds, never sees a stale value) and redraw the pane.
#include <cstring>

#include "controls/shape_classes.h"
#include "objects/runtime_object.h"
#include "vorn/controls2_api.h"

using namespace vorn;

namespace {

ShapePane* PaneOf(VornRuntimeObject* ctl) {
  ControlObject* c = AsControl(ctl);
  return c ? dynamic_cast<ShapePane*>(ControlPane(c)) : nullptr;
}

// The object field must lie past the control header and inside the object.
bool FieldFits(VornRuntimeObject* ctl, int32_t offset, size_t width) {
  if (!AsControl(ctl)) return false;
  RuntimeClass* cls = ClassOf(ctl);
  int32_t size = cls ? cls->mInstanceSize : 0;
  return offset >= static_cast<int32_t>(sizeof(VornControlObject)) &&
         static_cast<size_t>(offset) + width <= static_cast<size_t>(size);
}

template <typename T>
T LoadField(VornRuntimeObject* ctl, int32_t offset) {
  T value{};
  std::memcpy(&value, reinterpret_cast<const char*>(ctl) + offset, sizeof(T));
  return value;
}

template <typename T>
void StoreField(VornRuntimeObject* ctl, int32_t offset, T value) {
  std::memcpy(reinterpret_cast<char*>(ctl) + offset, &value, sizeof(T));
}

template <typename T>
int32_t Get(VornRuntimeObject* ctl, int32_t param) {
  if (ShapePane* pane = PaneOf(ctl)) return pane->GetField(PaneParamField(param));
  int32_t offset = PaneParamObjectOffset(param);
  return FieldFits(ctl, offset, sizeof(T)) ? LoadField<T>(ctl, offset) : 0;
}

template <typename T>
void Set(VornRuntimeObject* ctl, int32_t param, int32_t value) {
  int32_t offset = PaneParamObjectOffset(param);
  if (FieldFits(ctl, offset, sizeof(T))) StoreField<T>(ctl, offset, static_cast<T>(value));
  if (ShapePane* pane = PaneOf(ctl)) {
    pane->SetField(PaneParamField(param), value);
    pane->Invalidate(true);
  }
}

}  // namespace

extern "C" {

int32_t paneIntGetter(VornRuntimeObject* ctl, int32_t param) { return Get<int32_t>(ctl, param); }
void paneIntSetter(VornRuntimeObject* ctl, int32_t param, int32_t value) { Set<int32_t>(ctl, param, value); }
int32_t paneShortGetter(VornRuntimeObject* ctl, int32_t param) { return Get<int16_t>(ctl, param); }
void paneShortSetter(VornRuntimeObject* ctl, int32_t param, int32_t value) { Set<int16_t>(ctl, param, value); }

}  // extern "C"
