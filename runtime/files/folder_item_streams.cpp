// The FolderItem members that open and create files as streams. The stream object owns the
// store from the moment it is made.
#include <cstdint>

#include "files/folder_item_assert.h"
#include "files/folder_item_class.h"
#include "files/folder_item_imp.h"
#include "files/random_access_mechanism.h"
#include "files/stream_objects.h"

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
  RandomAccessMechanism* store = imp->OpenStream(true, true);
  if (!store) return TextOutputOver(imp->CreateStream(string("text")));
  store->SetPosition(store->GetLength());
  return NewTextOutputStreamObject(store);
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

}  // extern "C"
