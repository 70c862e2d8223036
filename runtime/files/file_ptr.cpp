#include "files/file_ptr.h"

#include "strings/runtime_error.h"

namespace vorn {

namespace {

// The source path and lines the runtime's error report has always shown for these checks.
constexpr const char* kFileSource = "../Universal/FileIO/file";
constexpr int32_t kWriteCheckLine = 573;
constexpr int32_t kSetLengthCheckLine = 605;

}  // namespace

bool FilePtr::Read(void* buffer, int32_t count, int32_t* outCount) {
  return ReadFromBytes(mData, mLength, &mPosition, buffer, count, outCount);
}

bool FilePtr::Write(const void*, int32_t) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kFileSource, kWriteCheckLine, "0", "");
  return false;
}

bool FilePtr::SetPosition(int32_t position) {
  mPosition = ClampPosition(position, mLength);
  return true;
}

bool FilePtr::SetLength(int32_t) {
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kFileSource, kSetLengthCheckLine, "0", "");
  return false;
}

void FilePtr::SetData(const void* data, int32_t length) {
  bool empty = data == nullptr || length <= 0;
  mData = empty ? nullptr : static_cast<const uint8_t*>(data);
  mLength = empty ? 0 : length;
  mPosition = 0;
}

}  // namespace vorn
