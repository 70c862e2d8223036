// The plug-in API's services over strings, objects and class members: plug-ins reach the
// members of any class (compiled, intrinsic or their own) by name, through the same property
// entries and method tables compiled code uses.
#include "objects/plugin_object_services.h"

#include <cstdint>
#include <string_view>

#include "objects/accessors.h"
#include "objects/class_registry.h"
#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "objects/runtime_object.h"
#include "strings/mnemonics.h"
#include "strings/vstring.h"
#include "vorn/plugin_api.h"

namespace vorn {
namespace {

std::string_view NamePart(std::string_view signature) {
  size_t percent = signature.find('%');
  return percent == std::string_view::npos ? signature : signature.substr(0, percent);
}

// The newest entry of that name, so that a subclass's property hides its base's.
const PropertyEntry* FindProperty(RuntimeObject* object, const char* name) {
  if (object == nullptr || object->classPtr == nullptr || name == nullptr) return nullptr;
  const auto& entries = object->classPtr->mAccessors;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (SameName(NamePart(RepText(it->signature)), name)) return &*it;
  }
  return nullptr;
}

template <typename Read>
uint8_t GetValue(RuntimeObject* object, const char* name, Read read) {
  const PropertyEntry* entry = FindProperty(object, name);
  PropertyValue value;
  if (entry == nullptr || !GetPropertyValue(object, *entry, &value)) return 0;
  read(value);
  return 1;
}

uint8_t SetValue(RuntimeObject* object, const char* name, const PropertyValue& value) {
  const PropertyEntry* entry = FindProperty(object, name);
  return entry != nullptr && SetPropertyValue(object, *entry, value) ? 1 : 0;
}

}  // namespace

void SplitAtFirstPercent(const string& signature, string* name, string* rest) {
  std::string_view text = signature.View();
  size_t percent = text.find('%');
  size_t cut = percent == std::string_view::npos ? text.size() : percent;
  size_t after = percent == std::string_view::npos ? text.size() : percent + 1;
  if (name) *name = string(text.substr(0, cut), signature.Encoding());
  if (rest) *rest = string(text.substr(after), signature.Encoding());
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornStringRecord* VORNBuildString(const char* text, int32_t length) {
  if (text == nullptr || length < 0) return nullptr;
  return string(text, length, kEncodingUTF8).GetRetainedRep();
}

void VORNLockString(VornStringRecord* text) { RuntimeLockString(text); }
void VORNUnlockString(VornStringRecord* text) { RuntimeUnlockString(text); }
void VORNLockObject(VornRuntimeObject* object) { RuntimeLockObject(object); }
void VORNUnlockObject(VornRuntimeObject* object) { RuntimeUnlockObject(object); }

// Retags the text without converting it (the record is the caller's to change).
void VORNSetStringEncoding(VornStringRecord* text, uint32_t encoding) {
  if (text) text->encoding = encoding;
}

// The text converted to the encoding, one reference for the caller.
VornStringRecord* VORNConvertString(VornStringRecord* text, uint32_t encoding) {
  return text ? ConvertTextEncoding(string::Share(text), encoding).GetRetainedRep() : nullptr;
}

// A caption without its mnemonic marks ("&&" stays one "&"); one reference for the caller.
VornStringRecord* VORNStripAmpersands(VornStringRecord* caption) {
  return caption ? StripAmpersandsCopy(string::Share(caption)).GetRetainedRep() : nullptr;
}

uint32_t VORNGetStringEncoding(VornStringRecord* text) { return text ? text->encoding : kEncodingASCII; }

VornRuntimeObject* PluginNewInstance(const char* className) {
  if (className == nullptr) return nullptr;
  RuntimeClass* cls = LookupClassByName(string(className));
  return cls ? RuntimeNewObject(cls) : nullptr;
}

VornRuntimeObject* PluginNewOfSameClass(VornRuntimeObject* object) {
  return object && object->classPtr ? RuntimeNewObject(object->classPtr) : nullptr;
}

uint8_t VORNGetPropValueInt(VornRuntimeObject* object, const char* name, int32_t* out) {
  return GetValue(object, name, [&](const PropertyValue& v) { if (out) *out = v.AsInteger(); });
}
uint8_t VORNGetPropValueDouble(VornRuntimeObject* object, const char* name, double* out) {
  return GetValue(object, name, [&](const PropertyValue& v) { if (out) *out = v.AsDouble(); });
}
uint8_t VORNGetPropValueBool(VornRuntimeObject* object, const char* name, uint8_t* out) {
  return GetValue(object, name, [&](const PropertyValue& v) { if (out) *out = v.AsBoolean(); });
}
// The string and object come with one reference for the caller.
uint8_t VORNGetPropValueString(VornRuntimeObject* object, const char* name, VornStringRecord** out) {
  return GetValue(object, name, [&](const PropertyValue& v) { if (out) *out = v.AsString().GetRetainedRep(); });
}
uint8_t VORNGetPropValueObject(VornRuntimeObject* object, const char* name, VornRuntimeObject** out) {
  return GetValue(object, name, [&](const PropertyValue& v) {
    if (!out) return;
    *out = v.AsObject();
    if (*out) RuntimeLockObject(*out);
  });
}

uint8_t VORNSetPropValueInt(VornRuntimeObject* object, const char* name, int32_t value) {
  return SetValue(object, name, PropertyValue::Integer(value));
}
uint8_t VORNSetPropValueDouble(VornRuntimeObject* object, const char* name, double value) {
  return SetValue(object, name, PropertyValue::Double(value));
}
uint8_t VORNSetPropValueBoolean(VornRuntimeObject* object, const char* name, uint8_t value) {
  return SetValue(object, name, PropertyValue::Boolean(value != 0));
}
uint8_t VORNSetPropValueString(VornRuntimeObject* object, const char* name, VornStringRecord* value) {
  return SetValue(object, name, PropertyValue::String(string::Share(value)));
}
uint8_t VORNSetPropValueObject(VornRuntimeObject* object, const char* name, VornRuntimeObject* value) {
  return SetValue(object, name, PropertyValue::Object(value));
}

// The function in the object's method table under that name (overrides included); nil when
// the class has none.
void* VORNLoadObjectMethod(VornRuntimeObject* object, const char* name) {
  if (object == nullptr || object->classPtr == nullptr || name == nullptr) return nullptr;
  int32_t slot = FindMethodSlot(object->classPtr, name);
  return slot < 0 ? nullptr : object->classPtr->mMethodTable[static_cast<size_t>(slot)];
}

int32_t VORNCountClassProperties(VornRuntimeClass* cls) { return cls ? cls->PropertyCount() : 0; }
int32_t VORNCountClassMethods(VornRuntimeClass* cls) { return cls ? cls->MethodCount() : 0; }

// Property i of the class (0 first, base entries first): its name (one reference for the
// caller) and accessors; 0 when i is outside.
uint8_t VORNGetClassProperty(VornRuntimeClass* cls, int32_t index, VornStringRecord** name,
                             void** getter, void** setter) {
  if (cls == nullptr || index < 0 || index >= cls->PropertyCount()) return 0;
  const PropertyEntry& entry = cls->mAccessors[static_cast<size_t>(index)];
  string first;
  SplitAtFirstPercent(string::Share(entry.signature), &first, nullptr);
  if (name) *name = first.GetRetainedRep();
  if (getter) *getter = entry.getter;
  if (setter) *setter = entry.setter;
  return 1;
}

uint8_t VORNGetClassMethod(VornRuntimeClass* cls, int32_t index, VornStringRecord** name, void** function) {
  if (cls == nullptr || index < 0 || index >= cls->MethodCount()) return 0;
  const std::string& text = cls->mMethodNames[static_cast<size_t>(index)];
  if (name) *name = string(std::string_view(text), kEncodingASCII).GetRetainedRep();
  if (function) *function = cls->mMethodTable[static_cast<size_t>(index)];
  return 1;
}

}  // extern "C"
