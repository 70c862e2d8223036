#include "objects/text_encoding_object.h"

#include <cstring>
#include <iterator>
#include <string>

#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "strings/int_map.h"
#include "strings/utf8.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The cache holds one reference to each object it made. It is never destroyed: objects still
// held at exit stay reachable instead of being orphaned by the map's own destructor.
IntMap<RuntimeObject*>& Cache() {
  static auto* cache = new IntMap<RuntimeObject*>;
  return *cache;
}

TextEncodingObject* EncodingOf(RuntimeObject* self) {
  if (!self) RuntimeRaiseNilObjectException();
  return self ? reinterpret_cast<TextEncodingObject*>(self) : nullptr;
}

// The name the character set is registered under for use on the Internet.
std::string InternetName(EncodingCode code) {
  const char* iconv = IconvNameForEncoding(code);
  if (!iconv) return "";
  std::string name = iconv;
  if (code == kEncodingUTF16) return "UTF-16";
  if (code == kEncodingUTF32) return "UTF-32";
  if (name == "MACINTOSH") return "macintosh";
  if (name.rfind("WINDOWS-", 0) == 0) return "windows-" + name.substr(8);
  return name;
}

const PropertyRow kProperties[] = {
    {0, "Base", "i4", Fn(&textEncodingBaseGetter), "textEncodingBaseGetter", nullptr, nullptr, 0, 0},
    {0, "Variant", "i4", Fn(&textEncodingVariantGetter), "textEncodingVariantGetter", nullptr, nullptr, 0, 0},
    {0, "Format", "i4", Fn(&textEncodingFormatGetter), "textEncodingFormatGetter", nullptr, nullptr, 0, 0},
    {0, "InternetName", "s", Fn(&textEncodingInternetName), "textEncodingInternetName", nullptr, nullptr, 0, 0},
};

const ParamRow kCodePoint[] = {{"codePoint", "i4", 0, 0}};
const ParamRow kOther[] = {{"other", "o<TextEncoding>", 0, 0}};
const MethodRow kMethods[] = {
    {"Chr", "s", kCodePoint, 1, Fn(&TextEncodingChr), "TextEncodingChr", nullptr, nullptr, 0, 0},
    {"Equals", "b", kOther, 1, Fn(&TextEncodingEquals), "TextEncodingEquals", nullptr, nullptr, 0, 0},
};

}  // namespace

namespace text_encoding {
ObjectDefinition* gDefinition = nullptr;
}  // namespace text_encoding

ObjectDefinition* GetTextEncodingClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("TextEncoding");
    definition.mInstanceSize = sizeof(TextEncodingObject);
    definition.SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
    SetMethodList(&definition, kMethods, static_cast<int32_t>(std::size(kMethods)));
    text_encoding::gDefinition = &definition;
  }
  return &definition;
}

void RegisterTextEncodingClass() {
  RegisterIntrinsicClass("TextEncoding", &GetTextEncodingClassDefinition);
}

void ClearTextEncodingObjects() {
  std::vector<RuntimeObject*> objects;
  Cache().ForEach([&](intptr_t, RuntimeObject* object) { objects.push_back(object); });
  Cache().Clear();
  for (RuntimeObject* object : objects) RuntimeUnlockObject(object);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* GetTEObjectFromEncoding(uint32_t code) {
  if (code == kEncodingUnknown) return nullptr;
  RuntimeObject* object = nullptr;
  if (!Cache().GetEntry(static_cast<intptr_t>(code), &object)) {
    object = CreateInstanceFromDefinition(GetTextEncodingClassDefinition());
    if (!object) return nullptr;
    reinterpret_cast<TextEncodingObject*>(object)->code = code;
    Cache().SetEntry(static_cast<intptr_t>(code), object);
  }
  RuntimeLockObject(object);
  return object;
}

uint32_t GetEncodingFromTEObject(VornRuntimeObject* object) {
  if (!RuntimeObjectIsaDefinition(object, GetTextEncodingClassDefinition())) return kEncodingUnknown;
  return reinterpret_cast<TextEncodingObject*>(object)->code;
}

int32_t textEncodingBaseGetter(VornRuntimeObject* self, int32_t) {
  TextEncodingObject* e = EncodingOf(self);
  return e ? static_cast<int32_t>(e->code & 0xFFFF) : 0;
}

int32_t textEncodingVariantGetter(VornRuntimeObject* self, int32_t) {
  TextEncodingObject* e = EncodingOf(self);
  return e ? static_cast<int32_t>((e->code >> 16) & 0x3FF) : 0;
}

int32_t textEncodingFormatGetter(VornRuntimeObject* self, int32_t) {
  TextEncodingObject* e = EncodingOf(self);
  return e ? static_cast<int32_t>(e->code >> 26) : 0;
}

VornStringRecord* textEncodingInternetName(VornRuntimeObject* self, int32_t) {
  TextEncodingObject* e = EncodingOf(self);
  return e ? string(InternetName(e->code), kEncodingASCII).GetRetainedRep() : nullptr;
}

VornStringRecord* TextEncodingChr(VornRuntimeObject* self, int32_t codePoint) {
  TextEncodingObject* e = EncodingOf(self);
  return e ? CodePointToString(static_cast<uint32_t>(codePoint), e->code).GetRetainedRep() : nullptr;
}

uint8_t TextEncodingEquals(VornRuntimeObject* self, VornRuntimeObject* other) {
  TextEncodingObject* e = EncodingOf(self);
  return e && GetEncodingFromTEObject(other) == e->code ? 1 : 0;
}

}  // extern "C"
