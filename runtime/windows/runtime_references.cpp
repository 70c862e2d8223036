#include "windows/runtime_references.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/image_loader.h"
#include "base/resource_manager.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "objects/object_definition.h"
#include "strings/number_parse.h"
#include "strings/number_text.h"
#include "vorn/control_api.h"
#include "vorn/picture_api.h"

namespace vorn {

namespace {

RuntimeObject* const* sProjectObjects = nullptr;
int32_t sProjectObjectCount = 0;

// The objects the loaded image's table describes, each made on its first request and held
// until the program ends, so every request answers the same object.
struct MadeProjectObjects {
  const std::vector<ImageProjectObject>* table = nullptr;
  std::vector<RuntimeObject*> objects;
  std::vector<bool> tried;
};

MadeProjectObjects& Made() {
  static auto* made = new MadeProjectObjects();
  return *made;
}

RuntimeObject* MakeProjectObject(const ImageProjectObject& entry, int32_t index) {
  RuntimeObject* object = nullptr;
  std::string failure;
  if (entry.kind == image::kProjectPicture) {
    object = RuntimeGetBitmapFromResourceManager(entry.resourceId);
    if (!object) failure = "no 'BMP ' resource " + std::to_string(entry.resourceId) + " that decodes";
  } else if (RuntimeClass* cls = LookupClassByName(string(entry.className.c_str()))) {
    object = RuntimeNewObject(cls);
    if (!object) failure = "no object of class " + entry.className + " could be made";
  } else {
    failure = "no class is named " + entry.className;
  }
  if (!object) std::fprintf(stderr, "vorn: project object %d: %s\n", index, failure.c_str());
  return object;
}

// Nil with an OutOfBoundsException pending for a number the image's table does not hold.
RuntimeObject* ImageProjectObjectAt(int32_t index) {
  const std::vector<ImageProjectObject>* table = GetImageProjectObjects();
  MadeProjectObjects& made = Made();
  if (made.table != table) {
    for (RuntimeObject* object : made.objects) RuntimeUnlockObject(object);
    made.table = table;
    made.objects.assign(table ? table->size() : 0, nullptr);
    made.tried.assign(made.objects.size(), false);
  }
  if (index < 0 || static_cast<size_t>(index) > made.objects.size()) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  size_t slot = static_cast<size_t>(index) - 1;
  if (!made.tried[slot]) {
    made.tried[slot] = true;
    made.objects[slot] = MakeProjectObject((*table)[slot], index);
  }
  return made.objects[slot];
}

template <typename T>
T LoadField(const void* field) {
  T value{};
  std::memcpy(&value, field, sizeof value);
  return value;
}

template <typename T>
void StoreField(void* field, T value) {
  std::memcpy(field, &value, sizeof value);
}

StringRep* StringToText(const void* field) {
  auto* rep = LoadField<StringRep*>(field);
  RetainStringRep(rep);
  return rep;
}

bool StringFromText(StringRep* text, void* field) {
  RetainStringRep(text);
  StoreField(field, text);
  return true;
}

void StringRelease(void* field) { ReleaseStringRep(LoadField<StringRep*>(field)); }
void StringRetain(void* field) { RetainStringRep(LoadField<StringRep*>(field)); }

StringRep* IntegerToText(const void* field) { return LongToString(LoadField<int32_t>(field)).GetRetainedRep(); }

bool IntegerFromText(StringRep* text, void* field) {
  StoreField(field, CStringToLong(string::Share(text).CString()));
  return true;
}

StringRep* BooleanToText(const void* field) {
  return string(LoadField<uint8_t>(field) ? "True" : "False").GetRetainedRep();
}

bool BooleanFromText(StringRep* text, void* field) {
  StoreField<uint8_t>(field, SameName(string::Share(text).View(), "True") ? 1 : 0);
  return true;
}

StringRep* SingleToText(const void* field) {
  return DoubleToString(LoadField<float>(field), kDoubleAutomatic, 7).GetRetainedRep();
}

bool SingleFromText(StringRep* text, void* field) {
  StoreField(field, static_cast<float>(StringVal(string::Share(text))));
  return true;
}

StringRep* ColorToText(const void* field) {
  return LongToString(static_cast<int32_t>(LoadField<uint32_t>(field))).GetRetainedRep();
}

const IntrinsicTypeDescriptor kDescriptors[kIntrinsicTypeCount] = {
    {0, "String", &StringToText, &StringFromText, &StringRelease, &StringRetain},
    {0, "Integer", &IntegerToText, &IntegerFromText, nullptr, nullptr},
    {0, "UInteger", &IntegerToText, &IntegerFromText, nullptr, nullptr},
    {0, "Boolean", &BooleanToText, &BooleanFromText, nullptr, nullptr},
    {0, "Single", &SingleToText, &SingleFromText, nullptr, nullptr},
    {0, "Double", nullptr, nullptr, nullptr, nullptr},
    {0, "Form", nullptr, nullptr, nullptr, nullptr},
    {0, "Color", &ColorToText, &IntegerFromText, nullptr, nullptr},
    {0, "Ptr", nullptr, nullptr, nullptr, nullptr},
    {0, "WindowPtr", nullptr, nullptr, nullptr, nullptr},
    {0, "OSType", nullptr, nullptr, nullptr, nullptr},
    {0, "CString", nullptr, nullptr, nullptr, nullptr},
    {0, "PString", nullptr, nullptr, nullptr, nullptr},
    {0, "Short", nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

void SetProjectObjectTable(RuntimeObject* const* table, int32_t count) {
  sProjectObjects = count > 0 ? table : nullptr;
  sProjectObjectCount = table && count > 0 ? count : 0;
}

const IntrinsicTypeDescriptor* GetIntrinsicTypeDescriptors() { return kDescriptors; }

const IntrinsicTypeDescriptor* FindIntrinsicTypeDescriptor(const string& name) {
  for (const IntrinsicTypeDescriptor& d : kDescriptors) {
    if (SameName(d.name, name.View())) return &d;
  }
  return nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* RuntimeProjectObject(int32_t index) {
  if (index == 0) return nullptr;
  if (!sProjectObjects) {
    RuntimeObject* object = ImageProjectObjectAt(index);
    RuntimeLockObject(object);
    return object;
  }
  if (index < 0 || index > sProjectObjectCount) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RuntimeObject* object = sProjectObjects[index];
  RuntimeLockObject(object);
  return object;
}

VornRuntimeObject* RuntimePictureReference(int32_t index) { return RuntimeProjectObject(index); }

uint8_t PaneFieldSelectorUsesHighBits(void) { return 1; }

}  // extern "C"
