#include "files/permissions_class.h"

#include <iterator>

#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The object's fields, or nil with NilObjectException pending.
PermissionsObject* FieldsOf(RuntimeObject* object) {
  if (!object) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  return reinterpret_cast<PermissionsObject*>(object);
}

#define BIT(name, mask) \
  {0, name, "b", Fn(&PermissionsGetter), "PermissionsGetter", Fn(&PermissionsSetter), "PermissionsSetter", mask, 0}

const PropertyRow kPermissionsProperties[] = {
    BIT("StickyBit", 0x200),    BIT("GidBit", 0x400),       BIT("UidBit", 0x800),
    BIT("OwnerExecute", 0x40),  BIT("OwnerWrite", 0x80),    BIT("OwnerRead", 0x100),
    BIT("GroupExecute", 0x8),   BIT("GroupWrite", 0x10),    BIT("GroupRead", 0x20),
    BIT("OthersExecute", 0x1),  BIT("OthersWrite", 0x2),    BIT("OthersRead", 0x4),
};

#undef BIT

const ParamRow kPerms[] = {{"perms", "i4", 0, 0}};
const MethodRow kPermissionsMethods[] = {
    {"Permissions", "", kPerms, 1, Fn(&PermissionsCtor), "PermissionsCtor", nullptr, nullptr, 0, 0},
};

}  // namespace

ObjectDefinition* GetPermissionsClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("Permissions");
    definition.mInstanceSize = sizeof(PermissionsObject);
    definition.mInitializer = {Fn(&PermissionsInitializer), "PermissionsInitializer"};
    definition.SetInstanceVariables(BuildPropertyList(
        kPermissionsProperties, static_cast<int32_t>(std::size(kPermissionsProperties))));
    SetMethodList(&definition, kPermissionsMethods, static_cast<int32_t>(std::size(kPermissionsMethods)));
  }
  return &definition;
}

bool IsPermissions(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetPermissionsClassDefinition());
}

RuntimeObject* NewPermissionsObject(int32_t mode) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetPermissionsClassDefinition());
  if (object) reinterpret_cast<PermissionsObject*>(object)->mode = mode;
  return object;
}

int32_t PermissionsModeBits(RuntimeObject* permissions) {
  return IsPermissions(permissions) ? reinterpret_cast<PermissionsObject*>(permissions)->mode : 0;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void PermissionsInitializer(VornRuntimeObject* self) {
  if (self) reinterpret_cast<PermissionsObject*>(self)->mode = 0;
}

void PermissionsCtor(VornRuntimeObject* self, int32_t perms) {
  if (PermissionsObject* fields = FieldsOf(self)) fields->mode = perms;
}

// A mask of several bits reads true only when all of them are set.
uint8_t PermissionsGetter(VornRuntimeObject* self, int32_t mask) {
  PermissionsObject* fields = FieldsOf(self);
  return fields && (fields->mode & mask) == mask ? 1 : 0;
}

void PermissionsSetter(VornRuntimeObject* self, int32_t mask, uint8_t value) {
  PermissionsObject* fields = FieldsOf(self);
  if (!fields) return;
  fields->mode = value ? (fields->mode | mask) : (fields->mode & ~mask);
}

}  // extern "C"
