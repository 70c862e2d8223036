#include "objects/accessors.h"

#include <cstring>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "objects/variant_scalar.h"

namespace vorn {

namespace {

// The field of `width` bytes at the offset, or nil (with the matching exception pending)
// for a nil object or a field outside the object's own fields.
uint8_t* FieldAt(RuntimeObject* object, int32_t offset, int32_t width) {
  if (!object) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  if (offset < VORN_OBJECT_HEADER_SIZE || offset > object->classPtr->mInstanceSize - width) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return reinterpret_cast<uint8_t*>(object) + offset;
}

template <typename T>
T Load(RuntimeObject* object, int32_t offset) {
  T value{};
  if (uint8_t* field = FieldAt(object, offset, sizeof(T))) std::memcpy(&value, field, sizeof(T));
  return value;
}

template <typename T>
void Store(RuntimeObject* object, int32_t offset, T value) {
  if (uint8_t* field = FieldAt(object, offset, sizeof(T))) std::memcpy(field, &value, sizeof(T));
}

template <typename R>
R CallGetter(void* getter, RuntimeObject* object, int32_t param) {
  return reinterpret_cast<R (*)(RuntimeObject*, int32_t)>(getter)(object, param);
}

template <typename V>
void CallSetter(void* setter, RuntimeObject* object, int32_t param, V value) {
  reinterpret_cast<void (*)(RuntimeObject*, int32_t, V)>(setter)(object, param, value);
}

}  // namespace

ValueKind ValueKindOfTypeCode(std::string_view code) {
  if (code.empty()) return ValueKind::kNone;
  switch (code[0]) {
    case 'b': return ValueKind::kBoolean;
    case 'c': return ValueKind::kColor;
    case 'd': return ValueKind::kDouble;
    case 'f': return code == "f8" ? ValueKind::kDouble : ValueKind::kSingle;
    case 'i': return code == "i2" ? ValueKind::kShort : ValueKind::kInteger;
    case 'u': return ValueKind::kUInteger;
    case 's': return ValueKind::kString;
    case 'o': return ValueKind::kObject;
    case 'p': return ValueKind::kPointer;
    case 'A': return ValueKind::kArray;
    default: return ValueKind::kNone;
  }
}

ValueKind ValueKindOfSignature(std::string_view signature) {
  return ValueKindOfTypeCode(SignatureResultText(signature));
}

PropertyValue::~PropertyValue() { RuntimeUnlockObject(mObject); }

void PropertyValue::AdoptDouble(double value) {
  mDouble = value;
  mInteger = SaturateToInt32(value);
}

PropertyValue::PropertyValue(PropertyValue&& other) noexcept
    : mInteger(other.mInteger),
      mDouble(other.mDouble),
      mString(std::move(other.mString)),
      mObject(other.mObject),
      mPointer(other.mPointer) {
  other.mObject = nullptr;
}

PropertyValue PropertyValue::Boolean(bool value) {
  PropertyValue v;
  v.AdoptInteger(value ? 1 : 0);
  return v;
}

PropertyValue PropertyValue::Integer(int32_t value) {
  PropertyValue v;
  v.AdoptInteger(value);
  return v;
}

PropertyValue PropertyValue::Double(double value) {
  PropertyValue v;
  v.AdoptDouble(value);
  return v;
}

PropertyValue PropertyValue::String(const string& value) {
  PropertyValue v;
  v.mString = value;
  return v;
}

PropertyValue PropertyValue::Object(RuntimeObject* value) {
  PropertyValue v;
  RuntimeLockObject(value);
  v.mObject = value;
  return v;
}

PropertyValue PropertyValue::Pointer(void* value) {
  PropertyValue v;
  v.mPointer = value;
  return v;
}

void PropertyValue::AdoptObject(RuntimeObject* object) {
  RuntimeUnlockObject(mObject);
  mObject = object;
}

bool GetPropertyValue(RuntimeObject* object, const PropertyEntry& entry, PropertyValue* out) {
  void* getter = entry.getter;
  if (!getter || !out) return false;
  if (IsDirectField(getter)) getter = nullptr;
  const int32_t param = entry.param;
  switch (ValueKindOfSignature(RepText(entry.signature))) {
    case ValueKind::kBoolean:
      out->AdoptInteger(getter ? CallGetter<uint8_t>(getter, object, param) : boolGetter(object, param));
      return true;
    case ValueKind::kInteger:
    case ValueKind::kUInteger:
    case ValueKind::kColor:
      out->AdoptInteger(getter ? CallGetter<int32_t>(getter, object, param) : intGetter(object, param));
      return true;
    case ValueKind::kShort:
      out->AdoptInteger(getter ? CallGetter<int32_t>(getter, object, param) : shortGetter(object, param));
      return true;
    case ValueKind::kSingle:
      out->AdoptDouble(getter ? CallGetter<float>(getter, object, param) : singleGetter(object, param));
      return true;
    case ValueKind::kDouble:
      out->AdoptDouble(getter ? CallGetter<double>(getter, object, param) : doubleGetter(object, param));
      return true;
    case ValueKind::kString:
      out->AdoptString(getter ? CallGetter<StringRep*>(getter, object, param) : stringGetter(object, param));
      return true;
    case ValueKind::kObject:
      out->AdoptObject(getter ? CallGetter<RuntimeObject*>(getter, object, param) : objGetter(object, param));
      return true;
    case ValueKind::kPointer:
      out->AdoptPointer(getter ? CallGetter<void*>(getter, object, param) : Load<void*>(object, param));
      return true;
    default:
      return false;
  }
}

bool SetPropertyValue(RuntimeObject* object, const PropertyEntry& entry, const PropertyValue& value) {
  void* setter = entry.setter;
  if (!setter) return false;
  if (IsDirectField(setter)) setter = nullptr;
  const int32_t param = entry.param;
  switch (ValueKindOfSignature(RepText(entry.signature))) {
    case ValueKind::kBoolean: {
      uint8_t b = value.AsBoolean() ? 1 : 0;
      setter ? CallSetter<uint8_t>(setter, object, param, b) : boolSetter(object, param, b);
      return true;
    }
    case ValueKind::kInteger:
    case ValueKind::kUInteger:
    case ValueKind::kColor:
      setter ? CallSetter<int32_t>(setter, object, param, value.AsInteger()) : intSetter(object, param, value.AsInteger());
      return true;
    case ValueKind::kShort:
      setter ? CallSetter<int32_t>(setter, object, param, value.AsInteger()) : shortSetter(object, param, value.AsInteger());
      return true;
    case ValueKind::kSingle: {
      float f = static_cast<float>(value.AsDouble());
      setter ? CallSetter<float>(setter, object, param, f) : singleSetter(object, param, f);
      return true;
    }
    case ValueKind::kDouble:
      setter ? CallSetter<double>(setter, object, param, value.AsDouble()) : doubleSetter(object, param, value.AsDouble());
      return true;
    case ValueKind::kString:
      setter ? CallSetter<StringRep*>(setter, object, param, value.AsString().Rep())
             : stringSetter(object, param, value.AsString().Rep());
      return true;
    case ValueKind::kObject:
      setter ? CallSetter<RuntimeObject*>(setter, object, param, value.AsObject()) : objSetter(object, param, value.AsObject());
      return true;
    case ValueKind::kPointer:
      setter ? CallSetter<void*>(setter, object, param, value.AsPointer()) : Store<void*>(object, param, value.AsPointer());
      return true;
    default:
      return false;
  }
}

}  // namespace vorn

using vorn::Load;
using vorn::Store;

extern "C" {

int32_t intGetter(VornRuntimeObject* object, int32_t offset) { return Load<int32_t>(object, offset); }
void intSetter(VornRuntimeObject* object, int32_t offset, int32_t value) { Store(object, offset, value); }
uint8_t boolGetter(VornRuntimeObject* object, int32_t offset) { return Load<uint8_t>(object, offset); }
void boolSetter(VornRuntimeObject* object, int32_t offset, uint8_t value) {
  Store<uint8_t>(object, offset, value ? 1 : 0);
}
int32_t shortGetter(VornRuntimeObject* object, int32_t offset) { return Load<int16_t>(object, offset); }
void shortSetter(VornRuntimeObject* object, int32_t offset, int32_t value) {
  Store(object, offset, static_cast<int16_t>(value));
}
float singleGetter(VornRuntimeObject* object, int32_t offset) { return Load<float>(object, offset); }
void singleSetter(VornRuntimeObject* object, int32_t offset, float value) { Store(object, offset, value); }
double doubleGetter(VornRuntimeObject* object, int32_t offset) { return Load<double>(object, offset); }
void doubleSetter(VornRuntimeObject* object, int32_t offset, double value) { Store(object, offset, value); }

VornStringRecord* stringGetter(VornRuntimeObject* object, int32_t offset) {
  VornStringRecord* value = Load<VornStringRecord*>(object, offset);
  RuntimeLockString(value);
  return value;
}

void stringSetter(VornRuntimeObject* object, int32_t offset, VornStringRecord* value) {
  uint8_t* field = vorn::FieldAt(object, offset, sizeof(VornStringRecord*));
  if (!field) return;
  VornStringRecord* old;
  std::memcpy(&old, field, sizeof old);
  RuntimeLockString(value);
  std::memcpy(field, &value, sizeof value);
  RuntimeUnlockString(old);
}

VornRuntimeObject* objGetter(VornRuntimeObject* object, int32_t offset) {
  VornRuntimeObject* value = Load<VornRuntimeObject*>(object, offset);
  RuntimeLockObject(value);
  return value;
}

void objSetter(VornRuntimeObject* object, int32_t offset, VornRuntimeObject* value) {
  uint8_t* field = vorn::FieldAt(object, offset, sizeof(VornRuntimeObject*));
  if (!field) return;
  VornRuntimeObject* old;
  std::memcpy(&old, field, sizeof old);
  RuntimeLockObject(value);
  std::memcpy(field, &value, sizeof value);
  RuntimeUnlockObject(old);
}

}  // extern "C"
