// One item of a volume held open for the length of a scope, read and written at positions.
#pragma once

#include <cstdint>

#include "files/vfs_volume.h"

namespace vorn {

class ItemAccess {
 public:
  ItemAccess(VFSVolume* core, uint32_t idnum) : mCore(core), mHandle(core && idnum ? core->OpenItem(idnum) : -1) {}
  ItemAccess(const ItemAccess&) = delete;
  ItemAccess& operator=(const ItemAccess&) = delete;
  ~ItemAccess() {
    if (mHandle >= 0) mCore->CloseItem(mHandle);
  }

  bool IsOpen() const { return mHandle >= 0; }
  bool ReadLongAt(int64_t position, uint32_t* value) {
    return At(position) && mCore->ReadLong(mHandle, value);
  }
  bool WriteLongAt(int64_t position, uint32_t value) { return At(position) && mCore->WriteLong(mHandle, value); }
  bool ReadDoubleAt(int64_t position, double* value) {
    return At(position) && mCore->ReadDouble(mHandle, value);
  }
  bool WriteDoubleAt(int64_t position, double value) { return At(position) && mCore->WriteDouble(mHandle, value); }
  bool ReadAt(int64_t position, void* buffer, int64_t count) {
    int64_t got = count;
    return At(position) && mCore->Read(mHandle, &got, buffer);
  }
  bool WriteAt(int64_t position, const void* buffer, int64_t count) {
    return At(position) && mCore->Write(mHandle, buffer, count);
  }

 private:
  bool At(int64_t position) { return mHandle >= 0 && mCore->Seek(mHandle, position); }

  VFSVolume* mCore;
  int16_t mHandle;
};

}  // namespace vorn
