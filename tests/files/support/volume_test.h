// Helpers of the virtual volume tests: volumes in memory stores, their bytes read and patched
// directly, and the numbers of the file format read from those bytes.
#pragma once

#include <cstdint>
#include <string>

#include "files/file_handle.h"
#include "files/support/store_test.h"

namespace vorn::testing {

class VolumeTest : public StoreTest {
 protected:
  // The store's whole contents; its position is left at the end.
  static std::string Bytes(RandomAccessMechanism& store);
  // Replaces the store's contents.
  static void SetBytes(FileHandle& store, const std::string& bytes);
  // Overwrites bytes in place.
  static void Patch(FileHandle& store, int64_t offset, const std::string& bytes);

  static uint32_t BigLong(const std::string& bytes, int64_t offset);
  static double BigDouble(const std::string& bytes, int64_t offset);
  static double LittleDouble(const std::string& bytes, int64_t offset);
  static std::string BigLongBytes(uint32_t value);
  static std::string BigDoubleBytes(double value);
};

}  // namespace vorn::testing
