// Generic property access through a class's property entries. x86-64 passes doubles and
// singles in other registers than integers and pointers, so every call goes through the
// exact prototype chosen by the property's type code:
//   getter (object, param) -> uint8_t | int32_t | float | double | StringRep* | RuntimeObject* | void*
//   setter (object, param, value of the same type)
// Short ("i2") accessors pass the value as a sign-extended int32_t, as shortGetter does.
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"
#include "objects/signature.h"

namespace vorn {

// How a property's value travels: the first letters of its type code decide.
enum class ValueKind : uint8_t { kNone, kBoolean, kInteger, kShort, kUInteger, kColor, kSingle, kDouble, kString, kObject, kPointer, kArray };

ValueKind ValueKindOfTypeCode(std::string_view typeCode);
ValueKind ValueKindOfSignature(std::string_view signature);

// A property value; holds its own reference to a string or object.
class PropertyValue {
 public:
  PropertyValue() = default;
  ~PropertyValue();
  PropertyValue(PropertyValue&& other) noexcept;
  PropertyValue(const PropertyValue&) = delete;
  PropertyValue& operator=(const PropertyValue&) = delete;

  static PropertyValue Boolean(bool value);
  static PropertyValue Integer(int32_t value);
  static PropertyValue Double(double value);
  static PropertyValue String(const string& value);
  static PropertyValue Object(RuntimeObject* value);  // retained
  static PropertyValue Pointer(void* value);

  bool AsBoolean() const { return mInteger != 0; }
  int32_t AsInteger() const { return mInteger; }
  double AsDouble() const { return mDouble; }
  const string& AsString() const { return mString; }
  RuntimeObject* AsObject() const { return mObject; }
  void* AsPointer() const { return mPointer; }

  // Fills in a getter's result, taking over the reference the getter handed out.
  void AdoptInteger(int32_t value) { mInteger = value; mDouble = value; }
  // The integer view saturates, as every Double-to-Integer conversion does: a plain cast of a
  // value out of range (a date's TotalSeconds) is undefined.
  void AdoptDouble(double value);
  void AdoptString(StringRep* rep) { mString = string::Adopt(rep); }
  void AdoptObject(RuntimeObject* object);
  void AdoptPointer(void* pointer) { mPointer = pointer; }

 private:
  int32_t mInteger = 0;
  double mDouble = 0;
  string mString;
  RuntimeObject* mObject = nullptr;
  void* mPointer = nullptr;
};

// Calls the entry's getter (or reads the field for a direct property); false when the
// property is write-only or its type cannot be read this way (arrays).
bool GetPropertyValue(RuntimeObject* object, const PropertyEntry& entry, PropertyValue* out);
// Calls the entry's setter (or stores into the field); false when read-only or untyped.
bool SetPropertyValue(RuntimeObject* object, const PropertyEntry& entry, const PropertyValue& value);

}  // namespace vorn
