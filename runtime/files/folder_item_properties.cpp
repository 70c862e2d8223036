// The FolderItem properties. Getters of an item without a location answer the empty value;
// setters report the missing location and change nothing.
#include <cstdint>
#include <cstring>

#include "files/folder_item_assert.h"
#include "files/folder_item_class.h"
#include "files/folder_item_imp.h"
#include "objects/date_class.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

FolderItemImp* SetterImp(RuntimeObject* self, int32_t line) {
  FolderItemImp* imp = FolderItemImpOf(self);
  if (!imp) ReportFolderItemAssertion(line, self ? "entry->mImp" : "obj");
  return imp;
}

StringRep* Retained(const string& text) { return text.GetRetainedRep(); }

RuntimeObject* DateOf(double seconds) { return NewDateWithTotalSeconds(seconds); }

}  // namespace

// The first four bytes of the MacRoman text over four blanks, the first character lowest.
uint32_t FourCharCodeFromText(const string& text) {
  string roman = ConvertTextEncoding(text, kEncodingMacRoman);
  uint8_t bytes[4] = {' ', ' ', ' ', ' '};
  int32_t count = roman.Length() < 4 ? roman.Length() : 4;
  for (int32_t i = 0; i < count; ++i) bytes[i] = roman.Byte(i);
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

string TextFromFourCharCode(uint32_t code) {
  const char bytes[4] = {static_cast<char>(code & 0xFF), static_cast<char>((code >> 8) & 0xFF),
                         static_cast<char>((code >> 16) & 0xFF), static_cast<char>((code >> 24) & 0xFF)};
  return string(bytes, 4, kEncodingMacRoman);
}

}  // namespace vorn

using namespace vorn;

// Read-only getters that forward to one operation of the implementation.
#define FORWARD_GETTER(entry, type, empty, expression)                 \
  type entry(VornRuntimeObject* self, int32_t) {                       \
    FolderItemImp* imp = FolderItemImpOf(self);                        \
    return imp ? (expression) : (empty);                               \
  }

extern "C" {

FORWARD_GETTER(fileAbsolutePathGetter, VornStringRecord*, nullptr, Retained(imp->GetAbsolutePath()))
FORWARD_GETTER(fileCountGetter, int32_t, 0, imp->GetCount())
FORWARD_GETTER(fileNameGetter, VornStringRecord*, nullptr, Retained(imp->GetName()))
FORWARD_GETTER(FileDisplayNameGetter, VornStringRecord*, nullptr, Retained(imp->GetDisplayName()))
FORWARD_GETTER(fileSizeGetter, int32_t, 0, imp->GetLength())
FORWARD_GETTER(fileRFSizeGetter, int32_t, 0, imp->GetResourceForkLength())
FORWARD_GETTER(FileExtensionVisibleGetter, uint8_t, 0, imp->IsExtensionVisible() ? 1 : 0)
FORWARD_GETTER(fileLockedGetter, uint8_t, 0, imp->IsLocked() ? 1 : 0)
FORWARD_GETTER(fileExistsGetter, uint8_t, 0, imp->Exists() ? 1 : 0)
FORWARD_GETTER(fileAliasGetter, uint8_t, 0, imp->IsAlias() ? 1 : 0)
FORWARD_GETTER(fileVisibleGetter, uint8_t, 0, imp->IsVisible() ? 1 : 0)
FORWARD_GETTER(fileDirectoryGetter, uint8_t, 0, imp->IsDirectory() ? 1 : 0)
FORWARD_GETTER(fileTypeGetter, VornStringRecord*, nullptr, Retained(imp->GetType()))
FORWARD_GETTER(folderParentGetter, VornRuntimeObject*, nullptr, NewFolderItemWithImp(ClassOf(self), imp->GetParent()))
FORWARD_GETTER(folderGetCreation, VornRuntimeObject*, nullptr, DateOf(imp->GetCreationDate()))
FORWARD_GETTER(folderGetModified, VornRuntimeObject*, nullptr, DateOf(imp->GetModificationDate()))
FORWARD_GETTER(fileMacTypeGetter, VornStringRecord*, nullptr, Retained(TextFromFourCharCode(imp->GetMacType())))
FORWARD_GETTER(fileMacCreatorGetter, VornStringRecord*, nullptr, Retained(TextFromFourCharCode(imp->GetMacCreator())))
FORWARD_GETTER(FolderItemIsCurrentlyReadable, uint8_t, 0, imp->IsReadable() ? 1 : 0)
FORWARD_GETTER(FolderItemIsCurrentlyWriteable, uint8_t, 0, imp->IsWriteable() ? 1 : 0)
FORWARD_GETTER(FolderItemGetLastError, int32_t, 0, imp->mLastError)
FORWARD_GETTER(fileVRefNumGetter, int32_t, 0, imp->GetMacVRefNum())
FORWARD_GETTER(fileDirIDGetter, int32_t, 0, imp->GetMacDirID())
FORWARD_GETTER(FileShellPathGetter, VornStringRecord*, nullptr, Retained(imp->GetShellPath()))
FORWARD_GETTER(FileURLGetter, VornStringRecord*, nullptr, Retained(imp->GetURLPath()))
FORWARD_GETTER(FolderItemGroupGetter, VornStringRecord*, nullptr, Retained(imp->GetGroup()))
FORWARD_GETTER(FolderItemOwnerGetter, VornStringRecord*, nullptr, Retained(imp->GetOwner()))

VornRuntimeObject* folderFindFolder(VornRuntimeObject* self, int32_t folderCode) {
  FolderItemImp* imp = FolderItemImpOf(self);
  return imp ? NewFolderItemWithImp(ClassOf(self), imp->FindSpecialFolder(folderCode)) : nullptr;
}

// A name with a NUL would reach the file system cut short, naming another file.
void fileNameSetter(VornRuntimeObject* self, int32_t, VornStringRecord* name) {
  FolderItemImp* imp = SetterImp(self, __LINE__);
  if (!imp) return;
  string native = string::Share(name).ToUTF8();
  if (std::memchr(native.CString(), 0, static_cast<size_t>(native.Length()))) return;
  imp->SetName(native);
}

void FileExtensionVisibleSetter(VornRuntimeObject* self, int32_t, uint8_t visible) {
  if (FolderItemImp* imp = SetterImp(self, __LINE__)) imp->SetExtensionVisible(visible != 0);
}

void fileLockedSetter(VornRuntimeObject* self, int32_t, uint8_t locked) {
  if (FolderItemImp* imp = SetterImp(self, __LINE__)) imp->SetLocked(locked != 0);
}

void fileVisibleSetter(VornRuntimeObject* self, int32_t, uint8_t visible) {
  if (FolderItemImp* imp = SetterImp(self, __LINE__)) imp->SetVisible(visible != 0);
}

void folderSetCreation(VornRuntimeObject* self, int32_t, VornRuntimeObject* date) {
  FolderItemImp* imp = SetterImp(self, __LINE__);
  if (imp && IsDate(date)) imp->SetCreationDate(DateTotalSeconds(date));
}

void folderSetModified(VornRuntimeObject* self, int32_t, VornRuntimeObject* date) {
  FolderItemImp* imp = SetterImp(self, __LINE__);
  if (imp && IsDate(date)) imp->SetModificationDate(DateTotalSeconds(date));
}

void fileMacTypeSetter(VornRuntimeObject* self, int32_t, VornStringRecord* code) {
  FolderItemImp* imp = SetterImp(self, __LINE__);
  string text = string::Share(code);
  if (imp && !text.IsEmpty()) imp->SetMacType(FourCharCodeFromText(text));
}

void fileMacCreatorSetter(VornRuntimeObject* self, int32_t, VornStringRecord* code) {
  FolderItemImp* imp = SetterImp(self, __LINE__);
  string text = string::Share(code);
  if (imp && !text.IsEmpty()) imp->SetMacCreator(FourCharCodeFromText(text));
}

void FolderItemSetLastError(VornRuntimeObject* self, int32_t, int32_t error) {
  FolderItemImp* imp = FolderItemImpOf(self);
  if (!imp) {
    RuntimeRaiseNilObjectException();
    return;
  }
  imp->mLastError = error;
}

void FolderItemGroupSetter(VornRuntimeObject* self, int32_t, VornStringRecord* group) {
  if (FolderItemImp* imp = SetterImp(self, __LINE__)) imp->SetGroup(string::Share(group).ToUTF8());
}

void FolderItemOwnerSetter(VornRuntimeObject* self, int32_t, VornStringRecord* owner) {
  if (FolderItemImp* imp = SetterImp(self, __LINE__)) imp->SetOwner(string::Share(owner).ToUTF8());
}

}  // extern "C"

#undef FORWARD_GETTER
