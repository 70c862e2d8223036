// An edit field's text in a file: plain UTF-8 for a plain field, Rich Text for a styled one
// (which opens a plain text file as well), and the hooks through which folder items reach
// both.
#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "editfield/edit_control_gtk.h"
#include "editfield/edit_field_class.h"
#include "editfield/styled_text_rtf.h"
#include "files/folder_item_imp.h"
#include "files/random_access_mechanism.h"
#include "files/folder_item_hooks.h"

namespace vorn {

namespace {

// The whole file, or false when it cannot be read.
bool ReadWholeFile(FolderItemImp* file, std::string* bytes) {
  std::unique_ptr<RandomAccessMechanism> store(file->OpenStream(true, false));
  if (!store) return false;
  // A file past 2 GiB (75) or one without a length (29) fails with what the store said.
  int32_t length = store->GetLength();
  if (length < 0) {
    file->mLastError = store->mLastError ? store->mLastError : EIO;
    return false;
  }
  bytes->assign(static_cast<size_t>(length), '\0');
  int32_t got = 0;
  if (length > 0 && !store->Read(bytes->data(), length, &got)) {
    if (store->mLastError) file->mLastError = store->mLastError;
    return false;
  }
  bytes->resize(static_cast<size_t>(got < 0 ? 0 : got));
  return true;
}

EditControl* NativeControlOf(VornRuntimeObject* field) {
  EditFieldObject* object = AsEditFieldObject(field);
  return object ? EditFieldPane(object) : nullptr;
}

bool OpenFieldHook(VornRuntimeObject* field, FolderItemImp* file) {
  EditControl* pane = NativeControlOf(field);
  return pane && pane->LoadFromFile(file);
}

bool SaveFieldHook(VornRuntimeObject* field, FolderItemImp* file) {
  EditControl* pane = NativeControlOf(field);
  return pane && pane->SaveToFile(file);
}

}  // namespace

void InstallStyledFieldFileHooks() { SetStyledFieldFileHooks(&OpenFieldHook, &SaveFieldHook); }

bool EditControlGTK::LoadFromFile(FolderItemImp* file) {
  if (!file) return false;
  std::string bytes;
  if (!ReadWholeFile(file, &bytes)) return false;
  if (!LooksLikeRTF(bytes)) {
    SetText(string(bytes, kEncodingUTF8));
    return true;
  }
  StyledTextFile styled;
  if (!ReadStyledTextRTF(bytes, &styled, nullptr)) {
    // The field keeps what it shows rather than a half-read document.
    file->mLastError = EINVAL;
    return false;
  }
  SetTextAndStyle(string(styled.text, kEncodingUTF8), WriteTextStyleData(styled.styles));
  return true;
}

bool EditControlGTK::SaveToFile(FolderItemImp* file) {
  if (!file) return false;
  string text = GetText(kEncodingUTF8);
  std::string bytes = KeepsStyles() ? WriteStyledTextRTF(text.View(), StyleRecords()) : std::string(text.View());
  std::unique_ptr<RandomAccessMechanism> store(file->CreateStream(string("text")));
  if (!store) return false;
  bool written = bytes.empty() || store->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  written = store->Close() && written;
  if (!written && store->mLastError) file->mLastError = store->mLastError;
  return written;
}

}  // namespace vorn
