#include "objects/collection.h"

#include <iterator>
#include <vector>

#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "objects/variant.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

struct Item {
  string key;
  RuntimeObject* value;  // held
};

struct CollectionObject {
  RuntimeObject header;
  std::vector<Item>* items;  // made on the first Add
};

// The items, or nil with NilObjectException pending for a nil collection.
std::vector<Item>* ItemsOf(RuntimeObject* self, bool make) {
  if (!self) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  auto* fields = reinterpret_cast<CollectionObject*>(self);
  if (!fields->items && make) fields->items = new std::vector<Item>();
  return fields->items;
}

// Index of the first item filed under the key, or -1.
int32_t FindKey(const std::vector<Item>& items, const string& key) {
  for (size_t i = 0; i < items.size(); ++i)
    if (!items[i].key.IsEmpty() && TextKeysEqual(items[i].key, key)) return static_cast<int32_t>(i);
  return -1;
}

// Takes the item out before its value is released: a destructor may use the collection.
void RemoveAt(std::vector<Item>& items, int32_t index) {
  RuntimeObject* value = items[static_cast<size_t>(index)].value;
  items.erase(items.begin() + index);
  RuntimeUnlockObject(value);
}

const ParamRow kAddParams[] = {{"value", "o<Variant>", 0, 0}, {"key", "s", kParamHasDefault, 0}};
const ParamRow kIndex[] = {{"index", "i4", 0, 0}};
const ParamRow kKey[] = {{"key", "s", 0, 0}};
const MethodRow kMethods[] = {
    {"Add", "", kAddParams, 2, Fn(&collectionAdd), "collectionAdd", nullptr, nullptr, 0, 0},
    {"Count", "i4", nullptr, 0, Fn(&collectionCount), "collectionCount", nullptr, nullptr, 0, 0},
    {"Item", "o<Variant>", kIndex, 1, Fn(&collectionIdxItem), "collectionIdxItem", nullptr, nullptr, 0, 0},
    {"Item", "o<Variant>", kKey, 1, Fn(&collectionItem), "collectionItem", nullptr, nullptr, 0, 0},
    {"Remove", "", kIndex, 1, Fn(&collectionIdxRemove), "collectionIdxRemove", nullptr, nullptr, 0, 0},
    {"Remove", "", kKey, 1, Fn(&collectionKeyRemove), "collectionKeyRemove", nullptr, nullptr, 0, 0},
};

}  // namespace

ObjectDefinition* GetCollectionClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("Collection");
    definition.mInstanceSize = sizeof(CollectionObject);
    definition.mFinalizer = {Fn(&collectionDestructor), "collectionDestructor"};
    SetMethodList(&definition, kMethods, static_cast<int32_t>(std::size(kMethods)));
  }
  return &definition;
}

void RegisterCollectionClass() {
  RegisterIntrinsicClass("Collection", &GetCollectionClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void collectionDestructor(VornRuntimeObject* self) {
  auto* fields = reinterpret_cast<CollectionObject*>(self);
  std::vector<Item>* items = fields->items;
  fields->items = nullptr;
  if (!items) return;
  for (Item& item : *items) RuntimeUnlockObject(item.value);
  delete items;
}

void collectionAdd(VornRuntimeObject* self, VornRuntimeObject* value, VornStringRecord* key) {
  std::vector<Item>* items = ItemsOf(self, true);
  if (!items) return;
  RuntimeLockObject(value);
  items->push_back({string::Share(key), value});
}

int32_t collectionCount(VornRuntimeObject* self) {
  std::vector<Item>* items = ItemsOf(self, false);
  return items ? static_cast<int32_t>(items->size()) : 0;
}

VornRuntimeObject* collectionIdxItem(VornRuntimeObject* self, int32_t index) {
  if (!self) return ItemsOf(self, false), nullptr;
  std::vector<Item>* items = ItemsOf(self, false);
  if (!items || index < 1 || static_cast<size_t>(index) > items->size()) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RuntimeObject* value = (*items)[static_cast<size_t>(index) - 1].value;
  RuntimeLockObject(value);
  return value;
}

VornRuntimeObject* collectionItem(VornRuntimeObject* self, VornStringRecord* key) {
  std::vector<Item>* items = ItemsOf(self, false);
  if (!items) return nullptr;
  int32_t index = FindKey(*items, string::Share(key));
  if (index < 0) return nullptr;
  RuntimeObject* value = (*items)[static_cast<size_t>(index)].value;
  RuntimeLockObject(value);
  return value;
}

void collectionIdxRemove(VornRuntimeObject* self, int32_t index) {
  if (!self) return (void)ItemsOf(self, false);
  std::vector<Item>* items = ItemsOf(self, false);
  if (!items || index < 1 || static_cast<size_t>(index) > items->size()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  RemoveAt(*items, index - 1);
}

void collectionKeyRemove(VornRuntimeObject* self, VornStringRecord* key) {
  std::vector<Item>* items = ItemsOf(self, false);
  if (!items) return;
  int32_t index = FindKey(*items, string::Share(key));
  if (index >= 0) RemoveAt(*items, index);
}

}  // extern "C"
