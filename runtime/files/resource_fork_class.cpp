#include "files/resource_fork_class.h"

#include <iterator>

#include "objects/class_registry.h"
#include "vorn/resource_fork_api.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The shared answers of the attribute members: no resource has any attribute, and setting one
// has nothing to change.
uint8_t GetResourceAttribute(VornRuntimeObject*, VornStringRecord*, int32_t, int32_t) { return 0; }
void SetResourceAttribute(VornRuntimeObject*, VornStringRecord*, int32_t, uint8_t, int32_t) {}

const ParamRow kIndexParam[] = {{"Index", "i4", 0, 0}};
const ParamRow kTypeIDParams[] = {{"ResourceType", "s", 0, 0}, {"ID", "i4", 0, 0}};
const ParamRow kTypeNameParams[] = {{"ResourceType", "s", 0, 0}, {"Name", "s", 0, 0}};
const ParamRow kStrParam[] = {{"Str", "s", 0, 0}};
const ParamRow kTypeIndexParams[] = {{"ResourceType", "s", 0, 0}, {"Index", "i4", 0, 0}};
const ParamRow kAddResourceParams[] = {
    {"data", "s", 0, 0}, {"ResourceType", "s", 0, 0}, {"ID", "i4", 0, 0}, {"Name", "s", 0, 0}};
const ParamRow kAddPictureParams[] = {{"data", "o<Picture>", 0, 0}, {"ID", "i4", 0, 0}, {"Name", "s", 0, 0}};
const ParamRow kHandleParam[] = {{"handle", "i4", 0, 0}};

#define METHOD(name, result, params, function) \
  {name, result, params, static_cast<int32_t>(std::size(params)), Fn(&function), #function, nullptr, nullptr, 0, 0}
#define PLAIN(name, result, function) {name, result, nullptr, 0, Fn(&function), #function, nullptr, nullptr, 0, 0}
#define ATTRIBUTE(name, get, set) \
  {name, "b", kTypeIDParams, 2, Fn(&get), #get, Fn(&set), #set, 0, 0}

const MethodRow kResourceForkMethods[] = {
    PLAIN("Close", "", resourceForkClose),
    METHOD("ResourceType", "s", kIndexParam, resourceForkResourceType),
    METHOD("GetResource", "s", kTypeIDParams, resourceForkGetResource),
    METHOD("GetNamedResource", "s", kTypeNameParams, resourceForkGetNamedResource),
    METHOD("ResourceCount", "i4", kStrParam, resourceForkResourceCount),
    METHOD("ResourceID", "i4", kTypeIndexParams, resourceForkResourceID),
    METHOD("ResourceName", "s", kTypeIDParams, resourceForkResourceName),
    METHOD("AddResource", "", kAddResourceParams, resourceForkAddResource),
    METHOD("RemoveResource", "", kTypeIDParams, resourceForkRemoveResource),
    METHOD("AddPicture", "", kAddPictureParams, resourceForkAddPicture),
    METHOD("GetPicture", "o<Picture>", kIndexParam, resourceForkGetPicture),
    METHOD("GetNamedPicture", "o<Picture>", kStrParam, resourceForkGetNamedPicture),
    METHOD("Getcicn", "o<Picture>", kIndexParam, resourceForkGetCicn),
    METHOD("Geticl", "o<Picture>", kIndexParam, resourceForkGetIcl),
    METHOD("Getics", "o<Picture>", kIndexParam, resourceForkGetIcs),
    METHOD("getCursor", "o<MouseCursor>", kIndexParam, resourceForkGetCursor),
    METHOD("GetSound", "o<Sound>", kIndexParam, resourceForkGetSound),
    METHOD("GetHandle", "i4", kTypeIDParams, resourceForkGetHandle),
    METHOD("ReleaseHandle", "", kHandleParam, resourceForkReleaseHandle),
    ATTRIBUTE("ResourceLocked", resourceForkGetLocked, resourceForkSetLocked),
    ATTRIBUTE("ResourceProtected", resourceForkGetProtected, resourceForkSetProtected),
    ATTRIBUTE("ResourcePreload", resourceForkGetPreload, resourceForkSetPreload),
    ATTRIBUTE("ResourcePurgeable", resourceForkGetPurgeable, resourceForkSetPurgeable),
    ATTRIBUTE("ResourceSysHeap", resourceForkGetSysHeap, resourceForkSetSysHeap),
};

#undef METHOD
#undef PLAIN
#undef ATTRIBUTE

}  // namespace

ObjectDefinition* GetResourceForkClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("ResourceFork");
    definition.mInstanceSize = VORN_OBJECT_HEADER_SIZE;
    definition.mFinalizer = {Fn(&ResourceForkDestructor), "ResourceForkDestructor"};
    SetMethodList(&definition, kResourceForkMethods, static_cast<int32_t>(std::size(kResourceForkMethods)));
  }
  return &definition;
}

void RegisterResourceForkClass() {
  RegisterIntrinsicClass("ResourceFork", &GetResourceForkClassDefinition);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void ResourceForkDestructor(VornRuntimeObject* self) { resourceForkClose(self); }
void resourceForkClose(VornRuntimeObject*) {}

VornStringRecord* resourceForkResourceType(VornRuntimeObject*, int32_t) { return nullptr; }
VornStringRecord* resourceForkGetResource(VornRuntimeObject*, VornStringRecord*, int32_t) { return nullptr; }
VornStringRecord* resourceForkGetNamedResource(VornRuntimeObject*, VornStringRecord*, VornStringRecord*) {
  return nullptr;
}
int32_t resourceForkResourceCount(VornRuntimeObject*, VornStringRecord*) { return 0; }
int32_t resourceForkResourceID(VornRuntimeObject*, VornStringRecord*, int32_t) { return 0; }
VornStringRecord* resourceForkResourceName(VornRuntimeObject*, VornStringRecord*, int32_t) { return nullptr; }
void resourceForkAddResource(VornRuntimeObject*, VornStringRecord*, VornStringRecord*, int32_t, VornStringRecord*) {}
void resourceForkRemoveResource(VornRuntimeObject*, VornStringRecord*, int32_t) {}
void resourceForkAddPicture(VornRuntimeObject*, VornRuntimeObject*, int32_t, VornStringRecord*) {}
VornRuntimeObject* resourceForkGetPicture(VornRuntimeObject*, int32_t) { return nullptr; }
VornRuntimeObject* resourceForkGetNamedPicture(VornRuntimeObject*, VornStringRecord*) { return nullptr; }
VornRuntimeObject* resourceForkGetCicn(VornRuntimeObject*, int32_t) { return nullptr; }
VornRuntimeObject* resourceForkGetIcl(VornRuntimeObject*, int32_t) { return nullptr; }
VornRuntimeObject* resourceForkGetIcs(VornRuntimeObject*, int32_t) { return nullptr; }
VornRuntimeObject* resourceForkGetCursor(VornRuntimeObject*, int32_t) { return nullptr; }
VornRuntimeObject* resourceForkGetSound(VornRuntimeObject*, int32_t) { return nullptr; }
int32_t resourceForkGetHandle(VornRuntimeObject*, VornStringRecord*, int32_t) { return 0; }
void resourceForkReleaseHandle(VornRuntimeObject*, int32_t) {}
int32_t resourceForkTypeCount(VornRuntimeObject*) { return 0; }

#define ATTRIBUTE_ENTRIES(get, set, mask)                                                   \
  uint8_t get(VornRuntimeObject* self, VornStringRecord* type, int32_t id) {                \
    return GetResourceAttribute(self, type, id, mask);                                      \
  }                                                                                         \
  void set(VornRuntimeObject* self, VornStringRecord* type, int32_t id, uint8_t value) {    \
    SetResourceAttribute(self, type, id, value, mask);                                      \
  }

ATTRIBUTE_ENTRIES(resourceForkGetLocked, resourceForkSetLocked, kResourceLockedMask)
ATTRIBUTE_ENTRIES(resourceForkGetProtected, resourceForkSetProtected, kResourceProtectedMask)
ATTRIBUTE_ENTRIES(resourceForkGetPreload, resourceForkSetPreload, kResourcePreloadMask)
ATTRIBUTE_ENTRIES(resourceForkGetPurgeable, resourceForkSetPurgeable, kResourcePurgeableMask)
ATTRIBUTE_ENTRIES(resourceForkGetSysHeap, resourceForkSetSysHeap, kResourceSysHeapMask)

#undef ATTRIBUTE_ENTRIES

// Files here have no resource part to open or create.
VornRuntimeObject* folderOpenResourceFork(VornRuntimeObject*) { return nullptr; }
VornRuntimeObject* folderCreateResourceFork(VornRuntimeObject*, VornStringRecord*) { return nullptr; }

}  // extern "C"
