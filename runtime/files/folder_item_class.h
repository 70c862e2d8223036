// The language's FolderItem class. Each object holds one FolderItemImp and forwards every
// member to it; the class decides only how results become language objects, the argument
// conventions (1-based indexes, the alias flag, the path modes) and what is reported when
// something is missing.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/vstring.h"
#include "vorn/folder_item_api.h"

namespace vorn {

class FolderItemImp;

struct FolderItemObject {
  RuntimeObject header;
  FolderItemImp* mImp;  // owned; null only before the object has been given a location
};

// Codes of the special folders the four folder properties ask for.
constexpr int32_t kDesktopFolderCode = 0x6465736B;          // desk
constexpr int32_t kTrashFolderCode = 0x74727368;            // trsh
constexpr int32_t kSharedTrashFolderCode = 0x656D7074;      // empt
constexpr int32_t kTemporaryFolderCode = 0x74656D70;        // temp

ObjectDefinition* GetFolderItemClassDefinition();

bool IsFolderItem(RuntimeObject* object);
// The item's implementation; null for nil and for an item without a location.
FolderItemImp* FolderItemImpOf(RuntimeObject* item);

// A new object of the class (the FolderItem class when nil) holding the implementation, one
// reference for the caller. Takes the implementation over in every case: nil (and the
// implementation deleted) when there is none, when its path could not reach the file system
// intact (it holds a NUL byte) or when no object can be made.
RuntimeObject* NewFolderItemWithImp(RuntimeClass* cls, FolderItemImp* imp);

// The implementation a path names in the path mode, or null for a path that is refused (a
// shell path that is not absolute raises UnsupportedFormatException as well).
FolderItemImp* ResolveFolderItemPath(const string& path, int32_t pathMode, bool resolveAliases);

// The implementation for a native path; null when the system refuses the path outright.
FolderItemImp* FolderItemImpForNativePath(const string& path, bool resolveAliases);

// The document item for a path on the command line: relative paths start in the working folder
// the user started the program in. Nil when no item can be made.
RuntimeObject* NewDocumentFolderItem(const string& path);

// Four-character codes as the implementation keeps them (text order in memory) and as compiled
// code sees them (strings of four bytes, padded with blanks).
uint32_t FourCharCodeFromText(const string& text);
string TextFromFourCharCode(uint32_t code);

}  // namespace vorn
