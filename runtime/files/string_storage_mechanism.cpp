#include "files/string_storage_mechanism.h"

namespace vorn {

bool StringStorageMechanism::Write(const void*, int32_t) {
  mLastError = kCannotWriteError;
  return false;
}

bool StringStorageMechanism::SetLength(int32_t) {
  mLastError = kCannotWriteError;
  return false;
}

bool StringStorageMechanism::Close() {
  // The bytes go with the reference: a later read must find an empty store, not freed memory.
  SetData(nullptr, 0);
  mString = string();
  return true;
}

void StringStorageMechanism::SetString(const string& text) {
  mString = text;
  SetData(mString.CString(), mString.Length());
}

}  // namespace vorn
