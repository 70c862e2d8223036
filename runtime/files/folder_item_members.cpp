// The FolderItem methods: navigation, file operations, SaveInfo and permissions.
#include <cstdint>

#include "files/folder_item_assert.h"
#include "files/folder_item_class.h"
#include "files/folder_item_imp.h"
#include "files/folder_item_imp_unix.h"
#include "files/permissions_class.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

// The implementation a method works on; a missing object or location is reported.
FolderItemImp* MethodImp(RuntimeObject* self, int32_t line) {
  if (!self) {
    ReportFolderItemAssertion(line, "obj");
    return nullptr;
  }
  FolderItemImp* imp = FolderItemImpOf(self);
  if (!imp) ReportFolderItemAssertion(line, "obj->mImp");
  return imp;
}

// Items made by a member are of the class of the item they were asked of.
RuntimeObject* Sibling(RuntimeObject* self, FolderItemImp* imp) { return NewFolderItemWithImp(ClassOf(self), imp); }

RuntimeObject* ItemAt(RuntimeObject* self, int32_t index, int32_t flags, int32_t line) {
  FolderItemImp* imp = MethodImp(self, line);
  if (!imp || index < 1) return nullptr;
  return Sibling(self, imp->GetItem(index - 1, flags));
}

RuntimeObject* ChildNamed(RuntimeObject* self, StringRep* name, int32_t flags, int32_t line) {
  FolderItemImp* imp = MethodImp(self, line);
  return imp ? Sibling(self, imp->GetChild(string::Share(name).ToUTF8(), flags)) : nullptr;
}

// The destination's implementation, or null with NilObjectException pending for nil.
FolderItemImp* DestinationImp(RuntimeObject* destination) {
  if (!destination) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  return FolderItemImpOf(destination);
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* FolderItemItem(VornRuntimeObject* self, int32_t index) {
  return ItemAt(self, index, kResolveAliasFlag, __LINE__);
}

VornRuntimeObject* FolderItemTrueItem(VornRuntimeObject* self, int32_t index) {
  return ItemAt(self, index, 0, __LINE__);
}

VornRuntimeObject* FolderChild(VornRuntimeObject* self, VornStringRecord* name) {
  return ChildNamed(self, name, kResolveAliasFlag, __LINE__);
}

VornRuntimeObject* FolderTrueChild(VornRuntimeObject* self, VornStringRecord* name) {
  return ChildNamed(self, name, 0, __LINE__);
}

void FolderItemDelete(VornRuntimeObject* self) {
  if (FolderItemImp* imp = MethodImp(self, __LINE__)) imp->Delete();
}

void FolderItemCreateAsFolder(VornRuntimeObject* self) {
  if (FolderItemImp* imp = MethodImp(self, __LINE__)) imp->CreateAsFolder();
}

void FolderItemLaunch(VornRuntimeObject* self, uint8_t activate) {
  if (FolderItemImp* imp = MethodImp(self, __LINE__)) imp->Launch(string(), activate != 0);
}

void FolderItemLaunchWithParameters(VornRuntimeObject* self, VornStringRecord* parameters, uint8_t activate) {
  if (FolderItemImp* imp = MethodImp(self, __LINE__)) imp->Launch(string::Share(parameters).ToUTF8(), activate != 0);
}

void FolderItemCopyFileTo(VornRuntimeObject* self, VornRuntimeObject* destination) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  if (!imp) return;
  if (FolderItemImp* target = DestinationImp(destination)) imp->CopyFileTo(target);
  else if (destination) ReportFolderItemAssertion(__LINE__, "destination->mImp");
}

void FolderItemMoveFileTo(VornRuntimeObject* self, VornRuntimeObject* destination) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  if (!imp) return;
  if (FolderItemImp* target = DestinationImp(destination)) imp->MoveFileTo(target);
  else if (destination) ReportFolderItemAssertion(__LINE__, "destination->mImp");
}

// SaveInfo is binary data, not text.
VornStringRecord* FolderItemGetSaveInfo(VornRuntimeObject* self, VornRuntimeObject* relativeTo, int32_t mode) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  if (!imp) return nullptr;
  string data = imp->GetSaveInfo(FolderItemImpOf(relativeTo), mode);
  data.SetEncoding(kEncodingUnknown);
  return data.GetRetainedRep();
}

VornRuntimeObject* FolderItemGetRelative(VornRuntimeObject* self, VornStringRecord* saveInfo) {
  FolderItemImp* imp = FolderItemImpOf(self);
  if (!imp) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  return Sibling(self, NewFolderItemImpFromSaveInfo(string::Share(saveInfo), imp));
}

void FolderItemImpMakeFileExecutable(VornRuntimeObject* self) {
  if (FolderItemImp* imp = MethodImp(self, __LINE__)) imp->MakeExecutable();
}

int32_t FolderItemGetPermissions(VornRuntimeObject* self) {
  FolderItemImp* imp = FolderItemImpOf(self);
  return imp ? imp->GetPermissions() : 0;
}

void FolderItemSetPermissionsInteger(VornRuntimeObject* self, int32_t permissions) {
  if (FolderItemImp* imp = MethodImp(self, __LINE__)) imp->SetPermissions(permissions);
}

void FolderItemSetPermissionsClass(VornRuntimeObject* self, VornRuntimeObject* permissions) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  if (!imp) return;
  if (!permissions) {
    RuntimeRaiseNilObjectException();
    return;
  }
  imp->SetPermissions(PermissionsModeBits(permissions));
}

}  // extern "C"
