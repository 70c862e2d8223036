// A read-only byte store over a runtime string's bytes. It holds a reference to the string, so
// the bytes stay put while it reads them (a shared record is copied before anyone changes it).
// Writes and length changes are refused with the store's error code 100.
#pragma once

#include <cstdint>

#include "files/file_ptr.h"
#include "strings/vstring.h"

namespace vorn {

inline constexpr int32_t kCannotWriteError = 100;

class StringStorageMechanism : public FilePtr {
 public:
  bool Write(const void* buffer, int32_t count) override;
  // Lets go of the string; the store is empty from then on.
  bool Close() override;
  bool SetLength(int32_t length) override;

  void SetString(const string& text);

  string mString;
};

}  // namespace vorn
