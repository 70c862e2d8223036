// Fuzzes packed property streams against a control-like class whose properties cover every
// value form, direct fields and setter functions, read-only and unknown types. The stream sits
// in a buffer of exactly its size, so a sanitizer build catches any read past it, and every
// store goes through the bounds-checked accessors of the object.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "windows/control.h"
#include "windows/packed_properties.h"
#include "windows/rect_control.h"

namespace {

using namespace vorn;

struct FuzzControl {
  VornControlObject base;
  double minimum;
  float ratio;
  int32_t color;
  int16_t small;
  StringRep* caption;
  uint8_t flag;
  uint32_t weird;
  double scale;
};

constexpr int32_t Off(size_t offset) { return static_cast<int32_t>(offset); }

void RatioSetter(RuntimeObject* o, int32_t, float v) { reinterpret_cast<FuzzControl*>(o)->ratio = v; }
void ScaleSetter(RuntimeObject* o, int32_t, double v) { reinterpret_cast<FuzzControl*>(o)->scale = v; }
void ColorSetter(RuntimeObject* o, int32_t, int32_t v) { reinterpret_cast<FuzzControl*>(o)->color = v; }

const PropertyRow kRows[] = {
    {0, "Minimum", "f8", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr, Off(offsetof(FuzzControl, minimum)), 0},
    {0, "Ratio", "f4", DirectFieldMarker(), nullptr, reinterpret_cast<void*>(&RatioSetter), nullptr, 0, 0},
    {0, "FillColor", "c", DirectFieldMarker(), nullptr, reinterpret_cast<void*>(&ColorSetter), nullptr, 0, 0},
    {0, "Small", "i2", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr, Off(offsetof(FuzzControl, small)), 0},
    {0, "Caption", "s", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr, Off(offsetof(FuzzControl, caption)), 0},
    {0, "Flag", "b", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr, Off(offsetof(FuzzControl, flag)), 0},
    {0, "Weird", "u4", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr, Off(offsetof(FuzzControl, weird)), 0},
    {0, "Scale", "f8", DirectFieldMarker(), nullptr, reinterpret_cast<void*>(&ScaleSetter), nullptr, 0, 0},
    {0, "Precise", "d", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr, Off(offsetof(FuzzControl, scale)), 0},
    {0, "Empty", "", DirectFieldMarker(), nullptr, DirectFieldMarker(), nullptr, Off(offsetof(FuzzControl, flag)), 0},
};

void FuzzFinalizer(RuntimeObject* o) {
  auto* c = reinterpret_cast<FuzzControl*>(o);
  RuntimeUnlockString(c->caption);
  c->caption = nullptr;
}

ObjectDefinition* FuzzDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("FuzzControl");
    d->mSuper = GetRectControlClassDefinition();
    d->mInstanceSize = static_cast<int32_t>(sizeof(FuzzControl));
    d->mFinalizer = {reinterpret_cast<void*>(&FuzzFinalizer), nullptr};
    d->SetInstanceVariables(BuildPropertyList(kRows, static_cast<int32_t>(std::size(kRows))));
    return d;
  }();
  return definition;
}

bool Quiet(const std::string&) { return true; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  SetRuntimeErrorPresenter(Quiet);
  RuntimeObject* ctl = CreateInstanceFromDefinition(FuzzDefinition());
  // Exactly the stream's bytes, in a buffer of their own: any read past them is caught.
  auto* bytes = static_cast<uint8_t*>(std::malloc(size ? size : 1));
  if (size) std::memcpy(bytes, data, size);
  ApplyPackedProperties(ctl, bytes, size);
  std::free(bytes);
  if (RuntimeObject* pending = TakePendingException()) RuntimeUnlockObject(pending);
  RuntimeUnlockObject(ctl);
  return 0;
}
