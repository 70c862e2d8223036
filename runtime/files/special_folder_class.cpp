#include "files/special_folder_class.h"

#include <iterator>
#include <memory>

#include "files/folder_item_class.h"
#include "files/folder_item_imp_unix.h"
#include "objects/runtime_object.h"
#include "vorn/special_folder_api.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

#define FOLDER(name, number) \
  {0, name, "o<FolderItem>", Fn(&GetSpecialFolder), "GetSpecialFolder", nullptr, nullptr, number, 0}

// The row order is part of the class: Trash to Printers, SharedPreferences, then Etc onwards.
const PropertyRow kSpecialFolderProperties[] = {
    FOLDER("Trash", 1000),           FOLDER("Temporary", 1001),        FOLDER("Fonts", 1002),
    FOLDER("ApplicationData", 1003), FOLDER("ShutdownItems", 1004),    FOLDER("StartupItems", 1005),
    FOLDER("Preferences", 1006),     FOLDER("Extensions", 1007),       FOLDER("ControlPanels", 1008),
    FOLDER("Desktop", 1009),         FOLDER("Documents", 1010),        FOLDER("AppleMenu", 1011),
    FOLDER("System", 1012),          FOLDER("SharedApplicationData", 1013),
    FOLDER("SharedDesktop", 1014),   FOLDER("Favorites", 1015),        FOLDER("SharedFavorites", 1016),
    FOLDER("SharedDocuments", 1017), FOLDER("Cookies", 1018),          FOLDER("History", 1019),
    FOLDER("InternetCache", 1020),   FOLDER("Music", 1021),            FOLDER("Pictures", 1022),
    FOLDER("Applications", 1023),    FOLDER("SharedApplications", 1024),
    FOLDER("RecentItems", 1025),     FOLDER("SendTo", 1026),           FOLDER("Windows", 1027),
    FOLDER("SharedStartupItems", 1029),                                FOLDER("Templates", 1030),
    FOLDER("SharedTemplates", 1031), FOLDER("NetworkPlaces", 1032),    FOLDER("Printers", 1033),
    FOLDER("SharedPreferences", 1046),
    FOLDER("Etc", kSpecialFolderEtc),             FOLDER("Bin", kSpecialFolderBin),
    FOLDER("UserBin", kSpecialFolderUserBin),     FOLDER("SBin", kSpecialFolderSBin),
    FOLDER("UserSBin", kSpecialFolderUserSBin),   FOLDER("Var", kSpecialFolderVar),
    FOLDER("VarLog", kSpecialFolderVarLog),       FOLDER("UserHome", kSpecialFolderUserHome),
    FOLDER("Home", kSpecialFolderHome),           FOLDER("Mount", kSpecialFolderMount),
    FOLDER("Library", kSpecialFolderLibrary),     FOLDER("UserLibrary", kSpecialFolderUserLibrary),
};

#undef FOLDER

const ParamRow kCodeParam[] = {{"FourCharCode", "s", 0, 0}};
const MethodRow kSpecialFolderMethods[] = {
    {"GetFromCode", "o<FolderItem>", kCodeParam, 1, Fn(&GetSpecialFolderFromCode), "GetSpecialFolderFromCode",
     nullptr, nullptr, 0, 0},
};

// Asks a blank disk item where the folder is: the answer does not depend on the item.
VornRuntimeObject* FindSpecialFolder(int32_t number) {
  std::unique_ptr<FolderItemImpUnix> blank(FolderItemImpUnix::WithExactPath(string()));
  FolderItemImp* found = blank->FindSpecialFolder(number);
  return found ? NewFolderItemWithImp(nullptr, found) : nullptr;
}

}  // namespace

ObjectDefinition* GetSpecialFolderClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("SpecialFolder");
    definition.mInstanceSize = VORN_OBJECT_HEADER_SIZE;
    definition.SetInstanceVariables(BuildPropertyList(
        kSpecialFolderProperties, static_cast<int32_t>(std::size(kSpecialFolderProperties))));
    SetMethodList(&definition, kSpecialFolderMethods, static_cast<int32_t>(std::size(kSpecialFolderMethods)));
  }
  return &definition;
}

int32_t SpecialFolderCodeFromText(const string& code) {
  uint32_t number = 0;
  for (int32_t i = 3; i >= 0; --i) number = number << 8 | (i < code.Length() ? code.Byte(i) : 0u);
  return static_cast<int32_t>(number);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* systemGetSpecialFoldersClass() {
  return CreateInstanceFromDefinition(GetSpecialFolderClassDefinition());
}

VornRuntimeObject* GetSpecialFolder(VornRuntimeObject*, int32_t folderNumber) {
  return FindSpecialFolder(folderNumber);
}

VornRuntimeObject* GetSpecialFolderFromCode(VornRuntimeObject*, VornStringRecord* code) {
  if (!code) return nullptr;
  return FindSpecialFolder(SpecialFolderCodeFromText(string::Share(code)));
}

}  // extern "C"
