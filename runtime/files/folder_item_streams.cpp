// The FolderItem members that open and create files as streams. The stream object owns the
// store from the moment it is made.
#include <cstdint>
#include <vector>

#include "files/folder_item_assert.h"
#include "files/folder_item_class.h"
#include "files/folder_item_hooks.h"
#include "files/folder_item_imp.h"
#include "files/random_access_mechanism.h"
#include "files/stream_objects.h"
#include "objects/arrays.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/array_abi.h"

namespace vorn {

namespace {

FolderItemImp* MethodImp(RuntimeObject* self, int32_t line) {
  FolderItemImp* imp = FolderItemImpOf(self);
  if (!imp) ReportFolderItemAssertion(line, self ? "obj->mImp" : "obj");
  return imp;
}

// Creating replaces what is there, so a file the user may not change is left alone.
RandomAccessMechanism* CreateUnlessLocked(FolderItemImp* imp, const string& fileType) {
  return imp->IsLocked() ? nullptr : imp->CreateStream(fileType);
}

RuntimeObject* TextOutputOver(RandomAccessMechanism* store) {
  return store ? NewTextOutputStreamObject(store) : nullptr;
}

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

VornRuntimeObject* FolderItemOpenTextFile(VornRuntimeObject* self) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  RandomAccessMechanism* store = imp ? imp->OpenStream(true, false) : nullptr;
  return store ? NewTextInputStreamObject(store) : nullptr;
}

VornRuntimeObject* FolderItemAppendTextFile(VornRuntimeObject* self) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  if (!imp || imp->IsLocked()) return nullptr;
  return TextOutputOver(imp->OpenStreamToAppend(true));
}

VornRuntimeObject* FolderItemCreateTextFile(VornRuntimeObject* self) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  return imp ? TextOutputOver(CreateUnlessLocked(imp, string("text"))) : nullptr;
}

VornRuntimeObject* FolderItemOpenBinaryFile(VornRuntimeObject* self, uint8_t readWrite) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  RandomAccessMechanism* store = imp ? imp->OpenStream(true, readWrite != 0) : nullptr;
  return store ? NewBinaryStreamObject(store) : nullptr;
}

VornRuntimeObject* FolderItemCreateBinaryFile(VornRuntimeObject* self, VornStringRecord* fileType) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  RandomAccessMechanism* store = imp ? CreateUnlessLocked(imp, string::Share(fileType)) : nullptr;
  return store ? NewBinaryStreamObject(store) : nullptr;
}

VornRuntimeObject* FolderItemOpenImage(VornRuntimeObject* self) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  return imp ? imp->OpenAsPicture(false) : nullptr;
}

VornRuntimeObject* FolderItemOpenVectorImage(VornRuntimeObject* self) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  return imp ? imp->OpenAsPicture(true) : nullptr;
}

VornRuntimeObject* FolderItemOpenSound(VornRuntimeObject* self) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  return imp ? imp->OpenAsSound() : nullptr;
}

void FolderItemSaveAsPicture(VornRuntimeObject* self, VornRuntimeObject* picture, int32_t format) {
  if (FolderItemImp* imp = MethodImp(self, __LINE__)) imp->SaveAsPicture(picture, format);
}

void FolderItemSaveAsJPEG(VornRuntimeObject* self, VornRuntimeObject* picture) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  if (!imp) return;
  if (!picture) {
    RuntimeRaiseNilObjectException();
    return;
  }
  imp->SaveAsJPEG(picture);
}

VornRuntimeObject* FolderItemOpenMovie(VornRuntimeObject* self) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  return imp ? imp->OpenAsMovie() : nullptr;
}

// Movies kept in resource forks: files here have none.
VornRuntimeObject* FolderItemOpenResourceMovie(VornRuntimeObject* self, int32_t) {
  MethodImp(self, __LINE__);
  return nullptr;
}

VornRuntimeObject* FolderItemOpenAsCursor(VornRuntimeObject* self) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  return imp ? CursorObjectFor(imp->OpenAsCursor()) : nullptr;
}

VornArray* FolderItemOpenAsIcons(VornRuntimeObject* self) {
  FolderItemImp* imp = MethodImp(self, __LINE__);
  if (!imp) return nullptr;
  std::vector<VornRuntimeObject*> pictures;
  imp->OpenAsIcons(pictures);
  auto count = static_cast<int32_t>(pictures.size());
  VornArray* array = CreateArray(kVornArrayObject, 1, count - 1);
  for (int32_t i = 0; i < count; ++i) {
    if (array) ArraySetObject(array, i, pictures[static_cast<size_t>(i)]);
    RuntimeUnlockObject(pictures[static_cast<size_t>(i)]);
  }
  return array;
}

void FolderItemOpenStyledEditField(VornRuntimeObject* self, VornRuntimeObject* field) {
  if (FolderItemImp* imp = MethodImp(self, __LINE__)) imp->OpenStyledEditField(field);
}

void FolderItemSaveStyledEditField(VornRuntimeObject* self, VornRuntimeObject* field) {
  if (FolderItemImp* imp = MethodImp(self, __LINE__)) imp->SaveStyledEditField(field);
}

}  // extern "C"
