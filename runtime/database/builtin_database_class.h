// VORNDatabaseOldFormat: a Database over a built-in database file named by its DatabaseFile.
#pragma once

#include <string>

#include "database/database_objects.h"

namespace vorn {

struct VORNDatabaseObject {
  DatabaseObject base;
  RuntimeObject* databaseFile;  // a FolderItem, held
  StringRep* connectedPath;     // the file of the open connection, held
};

ObjectDefinition* GetVORNDatabaseClassDefinition();

// A Database over the file at the path (one reference); nil with the reason in `error`, and
// `damaged` set when the file or its journal is damaged.
RuntimeObject* OpenDatabaseFile(const std::string& path, std::string* error, bool* damaged = nullptr);

// Fields serve the binding interface StringProvider and records tupleInterface; the binding
// layer hands its definitions over before the classes are registered.
void AddDatabaseBindingInterfaces(ObjectDefinition* stringProvider, ObjectDefinition* tuple);
// Registers the database classes in the order compiled code expects them.
void RegisterDatabaseClasses();

}  // namespace vorn

extern "C" {
void VORNDatabaseConstructor(VornRuntimeObject* database);
void VORNDatabaseDestructor(VornRuntimeObject* database);
VornRuntimeObject* VORNDatabaseFolderItemGetter(VornRuntimeObject* database, int32_t);
void VORNDatabaseFolderItemSetter(VornRuntimeObject* database, int32_t, VornRuntimeObject* item);
uint8_t VORNDatabaseConnect(VornRuntimeObject* database);
uint8_t VORNDatabaseCreateDatabaseFile(VornRuntimeObject* database);
VornRuntimeObject* newVORNDatabase(VornRuntimeObject* item);
VornRuntimeObject* openVORNDatabase(VornRuntimeObject* item);
}
