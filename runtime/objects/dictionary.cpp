#include "objects/dictionary.h"

#include <iterator>
#include <new>

#include "base/reloc_entry.h"
#include "objects/arrays.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The table of a dictionary, or nil with NilObjectException pending.
VariantTable* TableOf(RuntimeObject* self) {
  if (!self) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  VariantTable* table = reinterpret_cast<DictionaryObject*>(self)->table;
  if (!table) RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
  return table;
}

VornArray* EntriesArray(RuntimeObject* self, bool keys) {
  VariantTable* table = TableOf(self);
  if (!table) return nullptr;
  VornArray* array = CreateArray(kVornArrayObject, 1, table->Count() - 1);
  for (int32_t i = 0; array && i < table->Count(); ++i) {
    RuntimeObject *key, *value;
    table->EntryAt(i, &key, &value);
    ArraySetObject(array, i, keys ? key : value);
  }
  return array;
}

const ParamRow kKeyParam[] = {{"key", "o<Variant>", 0, 0}};
const ParamRow kIndexParam[] = {{"index", "i4", 0, 0}};
const ParamRow kLookupParams[] = {{"key", "o<Variant>", 0, 0}, {"defaultValue", "o<Variant>", 0, 0}};

const MethodRow kMethods[] = {
    {"Value", "o<Variant>", kKeyParam, 1, Fn(&dictionaryValueGetter), "dictionaryValueGetter",
     Fn(&dictionaryValueSetter), "dictionaryValueSetter", 0, 0},
    {"HasKey", "b", kKeyParam, 1, Fn(&dictionaryHasKey), "dictionaryHasKey", nullptr, nullptr, 0, 0},
    {"Remove", "", kKeyParam, 1, Fn(&dictionaryRemove), "dictionaryRemove", nullptr, nullptr, 0, 0},
    {"Clear", "", nullptr, 0, Fn(&dictionaryRemoveAll), "dictionaryRemoveAll", nullptr, nullptr, 0, 0},
    {"Count", "i4", nullptr, 0, Fn(&dictionaryCount), "dictionaryCount", nullptr, nullptr, 0, 0},
    {"Key", "o<Variant>", kIndexParam, 1, Fn(&dictionaryKey), "dictionaryKey", nullptr, nullptr, 0, 0},
    {"Keys", "A1o<Variant>", nullptr, 0, Fn(&dictionaryKeys), "dictionaryKeys", nullptr, nullptr, 0, 0},
    {"Values", "A1o<Variant>", nullptr, 0, Fn(&dictionaryValues), "dictionaryValues", nullptr, nullptr, 0, 0},
    {"Lookup", "o<Variant>", kLookupParams, 2, Fn(&DictionaryLookup), "DictionaryLookup", nullptr, nullptr, 0, 0},
};

const PropertyRow kProperties[] = {
    {0, "BinCount", "i4", Fn(&dictionaryGetBins), "dictionaryGetBins", Fn(&dictionarySetBins), "dictionarySetBins", 0, 0},
};

}  // namespace

ObjectDefinition* GetDictionaryClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("Dictionary");
    definition.mInstanceSize = sizeof(DictionaryObject);
    definition.mInitializer = {Fn(&dictionaryConstructor), "dictionaryConstructor"};
    definition.mFinalizer = {Fn(&dictionaryDestructor), "dictionaryDestructor"};
    definition.SetInstanceVariables(BuildPropertyList(kProperties, static_cast<int32_t>(std::size(kProperties))));
    SetMethodList(&definition, kMethods, static_cast<int32_t>(std::size(kMethods)));
    // Reached by index from compiled code, though it is no member of the class.
    AddRelocEntry("dictionaryValueByIndex", Fn(&dictionaryValueByIndex));
  }
  return &definition;
}

void RegisterDictionaryClass() {
  RegisterIntrinsicClass("Dictionary", &GetDictionaryClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void dictionaryConstructor(VornRuntimeObject* self) {
  reinterpret_cast<DictionaryObject*>(self)->table = new (std::nothrow) VariantTable();
}

void dictionaryDestructor(VornRuntimeObject* self) {
  auto* fields = reinterpret_cast<DictionaryObject*>(self);
  VariantTable* table = fields->table;
  fields->table = nullptr;
  delete table;
}

VornRuntimeObject* dictionaryValueGetter(VornRuntimeObject* self, VornRuntimeObject* key) {
  VariantTable* table = TableOf(self);
  if (!table) return nullptr;
  RuntimeObject* value = nullptr;
  if (!table->Lookup(key, &value)) {
    RuntimeRaiseExceptionDefinition(GetKeyNotFoundExceptionClassDefinition());
    return nullptr;
  }
  RetainObject(value);
  return value;
}

void dictionaryValueSetter(VornRuntimeObject* self, VornRuntimeObject* key, VornRuntimeObject* value) {
  VariantTable* table = TableOf(self);
  if (table && !table->Set(key, value)) RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
}

uint8_t dictionaryHasKey(VornRuntimeObject* self, VornRuntimeObject* key) {
  VariantTable* table = TableOf(self);
  return table && table->Lookup(key, nullptr) ? 1 : 0;
}

void dictionaryRemove(VornRuntimeObject* self, VornRuntimeObject* key) {
  VariantTable* table = TableOf(self);
  if (table && !table->Remove(key)) RuntimeRaiseExceptionDefinition(GetKeyNotFoundExceptionClassDefinition());
}

void dictionaryRemoveAll(VornRuntimeObject* self) {
  if (VariantTable* table = TableOf(self)) table->Clear();
}

int32_t dictionaryCount(VornRuntimeObject* self) {
  VariantTable* table = TableOf(self);
  return table ? table->Count() : 0;
}

VornRuntimeObject* dictionaryKey(VornRuntimeObject* self, int32_t index) {
  VariantTable* table = TableOf(self);
  RuntimeObject* key = nullptr;
  if (!table) return nullptr;
  if (!table->EntryAt(index, &key, nullptr)) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RetainObject(key);
  return key;
}

VornRuntimeObject* dictionaryValueByIndex(VornRuntimeObject* self, int32_t index) {
  VariantTable* table = TableOf(self);
  RuntimeObject* value = nullptr;
  if (!table) return nullptr;
  if (!table->EntryAt(index, nullptr, &value)) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RetainObject(value);
  return value;
}

VornArray* dictionaryKeys(VornRuntimeObject* self) { return EntriesArray(self, true); }
VornArray* dictionaryValues(VornRuntimeObject* self) { return EntriesArray(self, false); }

VornRuntimeObject* DictionaryLookup(VornRuntimeObject* self, VornRuntimeObject* key, VornRuntimeObject* defaultValue) {
  VariantTable* table = TableOf(self);
  RuntimeObject* value = defaultValue;
  if (table) table->Lookup(key, &value);
  RetainObject(value);
  return value;
}

int32_t dictionaryGetBins(VornRuntimeObject* self, int32_t) {
  VariantTable* table = TableOf(self);
  return table ? table->BinCount() : 0;
}

void dictionarySetBins(VornRuntimeObject* self, int32_t, int32_t bins) {
  VariantTable* table = TableOf(self);
  if (!table) return;
  if (bins < 0) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  if (!table->SetBinCount(bins)) RuntimeRaiseExceptionDefinition(GetOutOfMemoryExceptionClassDefinition());
}

}  // extern "C"
