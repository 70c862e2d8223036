#include "strings/handle.h"

#include <cstddef>
#include <cstring>

#include "strings/memory.h"

namespace vorn {

namespace {

// The handle is the address of `bytes`, the record's first member, so *handle is the data.
struct HandleRecord {
  char* bytes;
  int32_t size;
};
static_assert(offsetof(HandleRecord, bytes) == 0);

HandleRecord* RecordOf(Handle handle) { return reinterpret_cast<HandleRecord*>(handle); }

}  // namespace

Handle NewHandle(int32_t size) {
  if (size < 0) return nullptr;
  auto* record = static_cast<HandleRecord*>(AllocMemory(sizeof(HandleRecord), OnFailure::ReturnNull));
  if (record == nullptr) return nullptr;
  record->bytes = static_cast<char*>(
      AllocClearedMemory(static_cast<size_t>(size), OnFailure::ReturnNull));
  if (record->bytes == nullptr) {
    FreeMemory(record);
    return nullptr;
  }
  record->size = size;
  return &record->bytes;
}

int32_t GetHandleSize(Handle handle) { return handle ? RecordOf(handle)->size : 0; }

bool SetHandleSize(Handle handle, int32_t size) {
  if (handle == nullptr || size < 0) return false;
  HandleRecord* record = RecordOf(handle);
  if (size == record->size) return true;
  auto* bytes = static_cast<char*>(
      ReallocMemory(record->bytes, static_cast<size_t>(size), OnFailure::ReturnNull));
  if (bytes == nullptr) return false;
  if (size > record->size) {
    std::memset(bytes + record->size, 0, static_cast<size_t>(size - record->size));
  }
  record->bytes = bytes;
  record->size = size;
  return true;
}

void DisposeHandle(Handle handle) {
  if (handle == nullptr) return;
  HandleRecord* record = RecordOf(handle);
  FreeMemory(record->bytes);
  FreeMemory(record);
}

}  // namespace vorn
