// TextEncoding objects: one shared object per encoding code, made on first use and kept in a
// cache, so that two requests for one code give the same object. The unknown encoding 0xFFFF
// has none (nil).
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"

namespace vorn {

struct TextEncodingObject {
  RuntimeObject header;
  uint32_t code;
};

ObjectDefinition* GetTextEncodingClassDefinition();
void RegisterTextEncodingClass();

namespace text_encoding {
extern ObjectDefinition* gDefinition;  // nil until the class is made
}  // namespace text_encoding

// Lets the cache's objects go (at shutdown, and between tests).
void ClearTextEncodingObjects();

}  // namespace vorn

extern "C" {
// The object for the code with one reference for the caller; nil for 0xFFFF.
VornRuntimeObject* GetTEObjectFromEncoding(uint32_t code);
// The code the object stands for; 0xFFFF for nil or an object of another class.
uint32_t GetEncodingFromTEObject(VornRuntimeObject* object);
int32_t textEncodingBaseGetter(VornRuntimeObject* self, int32_t unused);
int32_t textEncodingVariantGetter(VornRuntimeObject* self, int32_t unused);
int32_t textEncodingFormatGetter(VornRuntimeObject* self, int32_t unused);
VornStringRecord* textEncodingInternetName(VornRuntimeObject* self, int32_t unused);
VornStringRecord* TextEncodingChr(VornRuntimeObject* self, int32_t codePoint);
uint8_t TextEncodingEquals(VornRuntimeObject* self, VornRuntimeObject* other);
}

namespace vorn {

// GetEncodingFromTEObject where it is asked for every line a stream reads: a TextEncoding itself
// is told at once, a subclass through the general check.
inline uint32_t EncodingCodeOf(RuntimeObject* object) {
  const ObjectDefinition* plain = text_encoding::gDefinition;
  if (plain && object && object->classPtr && object->classPtr->mDefinition == plain) {
    return reinterpret_cast<TextEncodingObject*>(object)->code;
  }
  return GetEncodingFromTEObject(object);
}

}  // namespace vorn
