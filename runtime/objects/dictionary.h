// The language's Dictionary: Variant keys to Variant values (objects/variant_table.h). A
// missing key raises KeyNotFoundException, an index outside the entries OutOfBoundsException.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/variant_table.h"
#include "vorn/array_abi.h"

namespace vorn {

struct DictionaryObject {
  RuntimeObject header;
  VariantTable* table;  // made by the constructor, freed by the destructor
};

ObjectDefinition* GetDictionaryClassDefinition();
void RegisterDictionaryClass();

}  // namespace vorn

extern "C" {
void dictionaryConstructor(VornRuntimeObject* self);
void dictionaryDestructor(VornRuntimeObject* self);
VornRuntimeObject* dictionaryValueGetter(VornRuntimeObject* self, VornRuntimeObject* key);
void dictionaryValueSetter(VornRuntimeObject* self, VornRuntimeObject* key, VornRuntimeObject* value);
uint8_t dictionaryHasKey(VornRuntimeObject* self, VornRuntimeObject* key);
void dictionaryRemove(VornRuntimeObject* self, VornRuntimeObject* key);
void dictionaryRemoveAll(VornRuntimeObject* self);
int32_t dictionaryCount(VornRuntimeObject* self);
VornRuntimeObject* dictionaryKey(VornRuntimeObject* self, int32_t index);
VornRuntimeObject* dictionaryValueByIndex(VornRuntimeObject* self, int32_t index);
VornArray* dictionaryKeys(VornRuntimeObject* self);
VornArray* dictionaryValues(VornRuntimeObject* self);
VornRuntimeObject* DictionaryLookup(VornRuntimeObject* self, VornRuntimeObject* key, VornRuntimeObject* defaultValue);
int32_t dictionaryGetBins(VornRuntimeObject* self, int32_t unused);
void dictionarySetBins(VornRuntimeObject* self, int32_t unused, int32_t bins);
}
