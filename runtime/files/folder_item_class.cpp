#include "files/folder_item_class.h"

#include <iterator>

#include "files/folder_item_imp.h"
#include "vorn/resource_fork_api.h"
#include "objects/runtime_object.h"
#include "vorn/virtual_volume_api.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The platform mask of the members that only mean something on the classic file system.
constexpr int32_t kClassicOnlyMask = -9;

#define RO(name, type, get) {0, name, type, Fn(&get), #get, nullptr, nullptr, 0, 0}
#define RW(name, type, get, set) {0, name, type, Fn(&get), #get, Fn(&set), #set, 0, 0}
#define SPECIAL(name, code) {0, name, "o<FolderItem>", Fn(&folderFindFolder), "folderFindFolder", nullptr, nullptr, code, 0}

const PropertyRow kFolderItemProperties[] = {
    RO("AbsolutePath", "s", fileAbsolutePathGetter),
    RO("Count", "i4", fileCountGetter),
    RW("Name", "s", fileNameGetter, fileNameSetter),
    RO("DisplayName", "s", FileDisplayNameGetter),
    RO("Length", "i4", fileSizeGetter),
    RO("ResourceForkLength", "i4", fileRFSizeGetter),
    RW("ExtensionVisible", "b", FileExtensionVisibleGetter, FileExtensionVisibleSetter),
    RW("Locked", "b", fileLockedGetter, fileLockedSetter),
    RO("Exists", "b", fileExistsGetter),
    RO("Alias", "b", fileAliasGetter),
    RW("Visible", "b", fileVisibleGetter, fileVisibleSetter),
    RO("Directory", "b", fileDirectoryGetter),
    RO("Type", "s", fileTypeGetter),
    RO("Parent", "o<FolderItem>", folderParentGetter),
    RW("CreationDate", "o<Date>", folderGetCreation, folderSetCreation),
    RW("ModificationDate", "o<Date>", folderGetModified, folderSetModified),
    RW("MacType", "s", fileMacTypeGetter, fileMacTypeSetter),
    RW("MacCreator", "s", fileMacCreatorGetter, fileMacCreatorSetter),
    SPECIAL("DesktopFolder", kDesktopFolderCode),
    SPECIAL("TrashFolder", kTrashFolderCode),
    SPECIAL("SharedTrashFolder", kSharedTrashFolderCode),
    SPECIAL("TemporaryFolder", kTemporaryFolderCode),
    RO("VirtualVolume", "o<VirtualVolume>", folderVirtVolGetter),
    RO("IsReadable", "b", FolderItemIsCurrentlyReadable),
    RO("IsWriteable", "b", FolderItemIsCurrentlyWriteable),
    RW("LastErrorCode", "i4", FolderItemGetLastError, FolderItemSetLastError),
    {0, "MacVRefNum", "i4", Fn(&fileVRefNumGetter), "fileVRefNumGetter", nullptr, nullptr, 0, kClassicOnlyMask},
    {0, "MacDirID", "i4", Fn(&fileDirIDGetter), "fileDirIDGetter", nullptr, nullptr, 0, kClassicOnlyMask},
    RO("ShellPath", "s", FileShellPathGetter),
    RO("URLPath", "s", FileURLGetter),
    RW("Group", "s", FolderItemGroupGetter, FolderItemGroupSetter),
    RW("Owner", "s", FolderItemOwnerGetter, FolderItemOwnerSetter),
};

#undef RO
#undef RW
#undef SPECIAL

constexpr uint32_t kDefault = kParamHasDefault;

const ParamRow kPathParams[] = {{"Path", "s", 0, 0}, {"pathMode", "i4", kDefault, 0}};
const ParamRow kSourceParam[] = {{"Source", "o<FolderItem>", 0, 0}};
const ParamRow kIndexParam[] = {{"Index", "i4", 0, 0}};
const ParamRow kNameParam[] = {{"Name", "s", 0, 0}};
const ParamRow kReadWriteParam[] = {{"ReadWrite", "b", kDefault, 0}};
const ParamRow kTypeParam[] = {{"Type", "s", 0, 0}};
const ParamRow kActivateParam[] = {{"Activate", "b", kDefault, 1}};
const ParamRow kLaunchParams[] = {{"Parameters", "s", 0, 0}, {"Activate", "b", kDefault, 1}};
const ParamRow kDestinationParam[] = {{"Destination", "o<FolderItem>", 0, 0}};
const ParamRow kSaveInfoParams[] = {{"RelativeTo", "o<FolderItem>", 0, 0}, {"Mode", "i4", kDefault, 0}};
const ParamRow kSaveInfoParam[] = {{"SaveInfo", "s", 0, 0}};
const ParamRow kSavePictureParams[] = {{"Image", "o<Picture>", 0, 0}, {"Format", "i4", kDefault, 0}};
const ParamRow kImageParam[] = {{"Image", "o<Picture>", 0, 0}};
const ParamRow kFieldParam[] = {{"Field", "o<EditField>", 0, 0}};

#define METHOD(name, result, params, function) \
  {name, result, params, static_cast<int32_t>(std::size(params)), Fn(&function), #function, nullptr, nullptr, 0, 0}
#define PLAIN(name, result, function) {name, result, nullptr, 0, Fn(&function), #function, nullptr, nullptr, 0, 0}

const MethodRow kFolderItemMethods[] = {
    PLAIN("FolderItem", "", FolderItemPathCtorNoParams),
    METHOD("FolderItem", "", kPathParams, FolderItemPathCtor),
    METHOD("FolderItem", "", kSourceParam, FolderItemCopyCtor),
    METHOD("Item", "o<FolderItem>", kIndexParam, FolderItemItem),
    METHOD("TrueItem", "o<FolderItem>", kIndexParam, FolderItemTrueItem),
    METHOD("Child", "o<FolderItem>", kNameParam, FolderChild),
    METHOD("TrueChild", "o<FolderItem>", kNameParam, FolderTrueChild),
    PLAIN("OpenAsTextFile", "o<TextInputStream>", FolderItemOpenTextFile),
    PLAIN("AppendToTextFile", "o<TextOutputStream>", FolderItemAppendTextFile),
    PLAIN("CreateTextFile", "o<TextOutputStream>", FolderItemCreateTextFile),
    PLAIN("CreateVirtualVolume", "o<VirtualVolume>", FolderItemCreateVirtualVolume),
    PLAIN("OpenAsVirtualVolume", "o<VirtualVolume>", FolderItemOpenAsVirtualVolume),
    METHOD("OpenAsBinaryFile", "o<BinaryStream>", kReadWriteParam, FolderItemOpenBinaryFile),
    METHOD("CreateBinaryFile", "o<BinaryStream>", kTypeParam, FolderItemCreateBinaryFile),
    PLAIN("OpenAsPicture", "o<Picture>", FolderItemOpenImage),
    PLAIN("OpenAsVectorPicture", "o<Picture>", FolderItemOpenVectorImage),
    PLAIN("OpenAsSound", "o<Sound>", FolderItemOpenSound),
    METHOD("SaveAsPicture", "", kSavePictureParams, FolderItemSaveAsPicture),
    METHOD("SaveAsJPEG", "", kImageParam, FolderItemSaveAsJPEG),
    PLAIN("OpenAsMovie", "o<Movie>", FolderItemOpenMovie),
    METHOD("OpenResourceMovie", "o<Movie>", kIndexParam, FolderItemOpenResourceMovie),
    PLAIN("_OpenAsCursor", "o<MouseCursor>", FolderItemOpenAsCursor),
    PLAIN("_OpenAsIcons", "A1o<Picture>", FolderItemOpenAsIcons),
    METHOD("OpenStyledEditField", "", kFieldParam, FolderItemOpenStyledEditField),
    METHOD("SaveStyledEditField", "", kFieldParam, FolderItemSaveStyledEditField),
    {"OpenResourceFork", "o<ResourceFork>", nullptr, 0, Fn(&folderOpenResourceFork), "folderOpenResourceFork",
     nullptr, nullptr, 0, kClassicOnlyMask},
    {"CreateResourceFork", "o<ResourceFork>", kTypeParam, 1, Fn(&folderCreateResourceFork),
     "folderCreateResourceFork", nullptr, nullptr, 0, kClassicOnlyMask},
    PLAIN("Delete", "", FolderItemDelete),
    PLAIN("CreateAsFolder", "", FolderItemCreateAsFolder),
    METHOD("Launch", "", kActivateParam, FolderItemLaunch),
    METHOD("Launch", "", kLaunchParams, FolderItemLaunchWithParameters),
    METHOD("CopyFileTo", "", kDestinationParam, FolderItemCopyFileTo),
    METHOD("MoveFileTo", "", kDestinationParam, FolderItemMoveFileTo),
    METHOD("GetSaveInfo", "s", kSaveInfoParams, FolderItemGetSaveInfo),
    METHOD("GetRelative", "o<FolderItem>", kSaveInfoParam, FolderItemGetRelative),
    PLAIN("_MakeFileExecutable", "", FolderItemImpMakeFileExecutable),
    // Reading answers the bits; assigning takes them as an Integer or as a Permissions object.
    {"Permissions", "i4", nullptr, 0, Fn(&FolderItemGetPermissions), "FolderItemGetPermissions",
     Fn(&FolderItemSetPermissionsInteger), "FolderItemSetPermissionsInteger", 0, 0},
    {"Permissions", "o<Permissions>", nullptr, 0, nullptr, nullptr, Fn(&FolderItemSetPermissionsClass),
     "FolderItemSetPermissionsClass", 0, 0},
};

#undef METHOD
#undef PLAIN

}  // namespace

ObjectDefinition* GetFolderItemClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("FolderItem");
    definition.mInstanceSize = sizeof(FolderItemObject);
    definition.mFinalizer = {Fn(&FolderItemDestructor), "FolderItemDestructor"};
    definition.SetInstanceVariables(
        BuildPropertyList(kFolderItemProperties, static_cast<int32_t>(std::size(kFolderItemProperties))));
    SetMethodList(&definition, kFolderItemMethods, static_cast<int32_t>(std::size(kFolderItemMethods)));
  }
  return &definition;
}

bool IsFolderItem(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetFolderItemClassDefinition());
}

FolderItemImp* FolderItemImpOf(RuntimeObject* item) {
  return item ? reinterpret_cast<FolderItemObject*>(item)->mImp : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" void FolderItemDestructor(VornRuntimeObject* self) {
  if (!self) return;
  auto* fields = reinterpret_cast<FolderItemObject*>(self);
  delete fields->mImp;
  fields->mImp = nullptr;
}
