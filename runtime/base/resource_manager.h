// The application's resources: every record of the image's resource block and its version
// option, kept in registration order and looked up by four-character type and 16-bit id.
// The bytes belong to the loaded image and live as long as the program.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/resource_records.h"
#include "strings/vstring.h"
#include "vorn/object_abi.h"

namespace vorn {

struct ResourceEntry {
  uint32_t type = 0;  // first character in the most significant byte
  uint16_t id = 0;
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  uint32_t fileOffset = 0;  // of the data in the executable; 0 when not from the file
};

class ResourceManager {
 public:
  // Appends an entry; answers the new count.
  int32_t AddResource(uint32_t type, uint16_t id, const void* data, uint32_t length,
                      uint32_t fileOffset);
  int32_t GetResourceCount() const { return static_cast<int32_t>(mEntries.size()); }
  // Entry i; an index outside reports an internal error and answers an empty entry.
  ResourceEntry GetResourceByIndex(int32_t index) const;
  // The first entry registered with this type and id; an empty entry (null data) when none.
  ResourceEntry FindResource(uint32_t type, uint16_t id) const;

  // The readers: each answers nothing when the resource is missing or its bytes do not hold
  // a complete record.
  string GetTextResource(uint16_t id, EncodingCode encoding) const;
  std::optional<CursorRecord> GetCursorResource(uint16_t id) const;
  std::optional<SoundSource> GetSoundResource(uint16_t id) const;
  std::optional<DatabaseResource> GetDatabaseResource(uint16_t id) const;
  // Pictures are decoded by the graphics room (RuntimeGetBitmapFromResourceManager).
  // ('VERS', 0), decoded on the first call that finds a well-formed record and kept.
  const VersionRecord* GetVersionResource();

 private:
  std::vector<ResourceEntry> mEntries;
  std::unique_ptr<VersionRecord> mVersion;
};

// The runtime's one resource manager.
ResourceManager& GetResourceManager();

}  // namespace vorn
