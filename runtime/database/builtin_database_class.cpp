// The built-in database class VORNDatabaseOldFormat and the entry points that create and open
// database files named by a FolderItem.
#include "database/builtin_database_class.h"

#include <cstddef>
#include <memory>
#include <string>

#include <sys/stat.h>

#include "database/builtin_engine.h"
#include "database/database_objects.h"
#include "database/db_handle.h"
#include "objects/class_registry.h"
#include "vorn/folder_item_api.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

constexpr int32_t kNoFileError = 1;
constexpr const char* kNoFileText = "A Database file was not specified";
// Opening a file that exists but is not a database, or cannot be opened, is reported with the
// same code; a file refused as damaged with the engine's code for damage.
constexpr int32_t kOpenFailedError = 1;

const PropertyRow kProperties[] = {
    {0, "DatabaseFile", "o<FolderItem>", Fn(&VORNDatabaseFolderItemGetter), "VORNDatabaseFolderItemGetter",
     Fn(&VORNDatabaseFolderItemSetter), "VORNDatabaseFolderItemSetter", 0, 0},
};

const MethodRow kMethods[] = {
    {"Connect", "b", nullptr, 0, Fn(&VORNDatabaseConnect), "VORNDatabaseConnect", nullptr, nullptr, 0, 0},
    {"CreateDatabaseFile", "b", nullptr, 0, Fn(&VORNDatabaseCreateDatabaseFile), "VORNDatabaseCreateDatabaseFile",
     nullptr, nullptr, 0, 0},
};

ObjectDefinition* BuildDefinition() {
  auto* definition = new ObjectDefinition();
  definition->mName = string("VORNDatabaseOldFormat");
  definition->mSuper = GetDatabaseClassDefinition();
  definition->mInstanceSize = static_cast<int32_t>(sizeof(VORNDatabaseObject));
  definition->mInitializer = {Fn(&VORNDatabaseConstructor), "VORNDatabaseConstructor"};
  definition->mFinalizer = {Fn(&VORNDatabaseDestructor), "VORNDatabaseDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
  SetMethodList(definition, kMethods, RowCount(kMethods));
  return definition;
}

VORNDatabaseObject* Fields(RuntimeObject* object) {
  if (!object || !RuntimeObjectIsaDefinition(object, GetVORNDatabaseClassDefinition())) return nullptr;
  return reinterpret_cast<VORNDatabaseObject*>(object);
}

std::string PathOf(RuntimeObject* item) {
  if (!item) return {};
  return std::string(string::Adopt(VORNpathFromFolderItem(item)).View());
}

// Binds the object to the database made from its file; false (the object left closed, with the
// reason) when there is no file or it cannot be made.
template <typename Make>
uint8_t Bind(RuntimeObject* object, Make make) {
  VORNDatabaseObject* self = Fields(object);
  if (!self) return 0;
  if (!self->databaseFile) {
    SetDatabaseError(&self->base, kNoFileError, string(kNoFileText));
    NoteConnectFailure(&self->base, kNoFileError, string(kNoFileText));
    return 0;
  }
  // An earlier connection is closed (and so committed) first: the new one may be over the same
  // file, which must not see the earlier connection's pages written after it.
  databaseClose(object);
  std::string error;
  bool damaged = false;
  RuntimeObject* made = make(PathOf(self->databaseFile), &error, &damaged);
  DatabaseObject* other = DatabaseFields(made);
  if (!other || !other->handle) {
    RuntimeUnlockObject(made);
    const string why(error, kEncodingUTF8);
    SetDatabaseError(&self->base, damaged ? kDbErrorInternal : kOpenFailedError, why);
    // Every operation tried before a connect that works says why it went nowhere.
    NoteConnectFailure(&self->base, damaged ? kDbErrorInternal : kOpenFailedError, why);
    return 0;
  }
  SetDatabaseError(&self->base, 0, string());
  TakeOverDatabaseHandle(&self->base, other);
  RuntimeUnlockObject(made);
  ReplaceStringRep(self->connectedPath, string(PathOf(self->databaseFile), kEncodingUTF8).Rep());
  return 1;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {}, second {};
  if (stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0) return a == b;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Connecting an open database (or creating another file for it) opens the new file before
// letting the old connection go, so that a file that cannot be opened or made leaves the
// connection as it was.
template <typename Make>
uint8_t Reconnect(RuntimeObject* object, Make make) {
  VORNDatabaseObject* self = Fields(object);
  const std::string path = PathOf(self->databaseFile);
  const std::string connected(string::Share(self->connectedPath).View());
  // Committed first, so that a second handle on the same file reads what this one wrote.
  databaseCommit(object);
  std::string error;
  bool damaged = false;
  RuntimeObject* made = make(path, &error, &damaged);
  DatabaseObject* other = DatabaseFields(made);
  if (!other || !other->handle) {
    RuntimeUnlockObject(made);
    if (error.empty()) error = "The database file cannot be created";
    // The file this object already has open may refuse a second handle; it stays connected.
    const bool already = SameFile(path, connected);
    SetDatabaseError(&self->base, already ? 0 : damaged ? kDbErrorInternal : kOpenFailedError,
                     string(already ? "" : error, kEncodingUTF8));
    return already ? 1 : 0;
  }
  databaseClose(object);
  SetDatabaseError(&self->base, 0, string());
  TakeOverDatabaseHandle(&self->base, other);
  RuntimeUnlockObject(made);
  ReplaceStringRep(self->connectedPath, string(path, kEncodingUTF8).Rep());
  return 1;
}

RuntimeObject* CreateDatabaseAt(const std::string& path, std::string* error, bool* = nullptr) {
  if (path.empty()) return nullptr;
  std::string reason;
  std::unique_ptr<vndbHandle> handle = vndbHandle::CreateFile(path, &reason);
  if (!handle && error) *error = reason.empty() ? "The database file cannot be created" : reason;
  return WrapBuiltInDatabase(std::move(handle));
}

}  // namespace

ObjectDefinition* GetVORNDatabaseClassDefinition() {
  static ObjectDefinition* definition = BuildDefinition();
  return definition;
}

RuntimeObject* OpenDatabaseFile(const std::string& path, std::string* error, bool* damaged) {
  if (path.empty()) return nullptr;
  return WrapBuiltInDatabase(vndbHandle::OpenFile(path, error, damaged));
}

// Built-in databases stored as data are never opened: their three fields carry nothing the
// engine could open.
RuntimeObject* OpenDatabaseFromData(const void*, uint32_t) { return nullptr; }

}  // namespace vorn

using namespace vorn;

extern "C" {

void VORNDatabaseConstructor(VornRuntimeObject* object) {
  if (VORNDatabaseObject* self = Fields(object)) {
    self->base.engine = &gBuiltInEngine;
    self->connectedPath = nullptr;
  }
}

void VORNDatabaseDestructor(VornRuntimeObject* object) {
  VORNDatabaseObject* self = Fields(object);
  if (!self) return;
  // Closing commits and frees the engine's handle; the Database destructor then finds it closed.
  databaseClose(object);
  RuntimeObject* file = self->databaseFile;
  self->databaseFile = nullptr;
  RuntimeUnlockObject(file);
  ReleaseStringRep(self->connectedPath);
  self->connectedPath = nullptr;
}

VornRuntimeObject* VORNDatabaseFolderItemGetter(VornRuntimeObject* object, int32_t) {
  VORNDatabaseObject* self = Fields(object);
  if (!self) return nullptr;
  RuntimeLockObject(self->databaseFile);
  return self->databaseFile;
}

void VORNDatabaseFolderItemSetter(VornRuntimeObject* object, int32_t, VornRuntimeObject* item) {
  VORNDatabaseObject* self = Fields(object);
  if (!self) return;
  RuntimeLockObject(item);
  RuntimeObject* old = self->databaseFile;
  self->databaseFile = item;
  RuntimeUnlockObject(old);
}

uint8_t VORNDatabaseConnect(VornRuntimeObject* object) {
  VORNDatabaseObject* self = Fields(object);
  if (self && self->databaseFile && self->base.open && self->base.handle) return Reconnect(object, OpenDatabaseFile);
  return Bind(object, OpenDatabaseFile);
}

uint8_t VORNDatabaseCreateDatabaseFile(VornRuntimeObject* object) {
  VORNDatabaseObject* self = Fields(object);
  // Made over the file this object has open, the file can only be made once that connection
  // has let it go.
  if (self && self->databaseFile && self->base.open && self->base.handle &&
      !SameFile(PathOf(self->databaseFile), std::string(string::Share(self->connectedPath).View())))
    return Reconnect(object, CreateDatabaseAt);
  return Bind(object, CreateDatabaseAt);
}

VornRuntimeObject* newVORNDatabase(VornRuntimeObject* item) { return CreateDatabaseAt(PathOf(item), nullptr); }

VornRuntimeObject* openVORNDatabase(VornRuntimeObject* item) { return OpenDatabaseFile(PathOf(item), nullptr); }

}  // extern "C"
