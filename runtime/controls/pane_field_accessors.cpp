// Accessors of settings a control keeps in its object until the pane exists and that the pane
// then owns: reads come from the pane, writes go to both (so code reading the object field,
// such as the Line's bounds, never sees a stale value) and redraw the pane. Panes keep number
// fields only: a string or object setting lives in the object, which every write updates, so it
// is read from there and a write still redraws the pane.
#include <cstring>

#include "controls/shape_classes.h"
#include "objects/accessors.h"
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

// Stores a held value (string or object) in the object through its shared setter and redraws.
template <typename T>
void SetHeld(VornRuntimeObject* ctl, int32_t param, T value, void (*setter)(VornRuntimeObject*, int32_t, T)) {
  const int32_t offset = PaneParamObjectOffset(param);
  if (FieldFits(ctl, offset, sizeof(T))) setter(ctl, offset, value);
  if (ShapePane* pane = PaneOf(ctl)) pane->Invalidate(true);
}

template <typename T>
T GetHeld(VornRuntimeObject* ctl, int32_t param, T (*getter)(VornRuntimeObject*, int32_t)) {
  const int32_t offset = PaneParamObjectOffset(param);
  return FieldFits(ctl, offset, sizeof(T)) ? getter(ctl, offset) : nullptr;
}

}  // namespace

extern "C" {

int32_t paneIntGetter(VornRuntimeObject* ctl, int32_t param) { return Get<int32_t>(ctl, param); }
void paneIntSetter(VornRuntimeObject* ctl, int32_t param, int32_t value) { Set<int32_t>(ctl, param, value); }
int32_t paneShortGetter(VornRuntimeObject* ctl, int32_t param) { return Get<int16_t>(ctl, param); }
void paneShortSetter(VornRuntimeObject* ctl, int32_t param, int32_t value) { Set<int16_t>(ctl, param, value); }
uint8_t paneBoolGetter(VornRuntimeObject* ctl, int32_t param) { return Get<uint8_t>(ctl, param) != 0; }
void paneBoolSetter(VornRuntimeObject* ctl, int32_t param, uint8_t value) { Set<uint8_t>(ctl, param, value != 0); }
VornStringRecord* paneStringGetter(VornRuntimeObject* ctl, int32_t param) { return GetHeld(ctl, param, &stringGetter); }
void paneStringSetter(VornRuntimeObject* ctl, int32_t param, VornStringRecord* value) {
  SetHeld(ctl, param, value, &stringSetter);
}
VornRuntimeObject* paneObjGetter(VornRuntimeObject* ctl, int32_t param) { return GetHeld(ctl, param, &objGetter); }
void paneObjSetter(VornRuntimeObject* ctl, int32_t param, VornRuntimeObject* value) {
  SetHeld(ctl, param, value, &objSetter);
}

}  // extern "C"
