#include "files/support/stream_object_test.h"

#include <cstdio>

#include "objects/text_encoding_object.h"

namespace vorn::testing {

void StreamObjectTest::SetUp() {
  ClearTextEncodingObjects();
  StoreTest::SetUp();
}

void StreamObjectTest::TearDown() {
  ClearTextEncodingObjects();
  StoreTest::TearDown();
}

std::string StreamObjectTest::Take(StringRep* rep) { return std::string(string::Adopt(rep).View()); }

std::string StreamObjectTest::TakeTagged(StringRep* rep) {
  string text = string::Adopt(rep);
  char code[16];
  std::snprintf(code, sizeof code, "0x%X:", text.Encoding());
  return code + std::string(text.View());
}

FileHandle* StreamObjectTest::StoreWith(const std::string& bytes) {
  auto* store = new FileHandle();
  if (!bytes.empty()) store->Write(bytes.data(), static_cast<int32_t>(bytes.size()));
  store->SetPosition(0);
  return store;
}

std::string StreamObjectTest::Contents(FileHandle* store) {
  if (!store->mHandle || store->GetLength() == 0) return "";
  return std::string(*store->mHandle, static_cast<size_t>(store->GetLength()));
}

bool FailingStore::Write(const void* buffer, int32_t count) {
  return refuseWrites ? false : FileHandle::Write(buffer, count);
}

FailingStore::~FailingStore() {
  if (destroyCount) ++*destroyCount;
}

bool FailingStore::Close() {
  if (closeCount) ++*closeCount;
  return failClose ? false : FileHandle::Close();
}

bool FailingStore::Read(void* buffer, int32_t count, int32_t* outCount) {
  if (readCount) ++*readCount;
  if (!starveReads) {
    int32_t got = 0;
    const bool read = FileHandle::Read(buffer, count, &got);
    if (bytesRead) *bytesRead += got;
    if (outCount) *outCount = got;
    return read;
  }
  if (outCount) *outCount = 0;
  return false;
}

}  // namespace vorn::testing
