// Large objects in the "sys$blob" tree: an object of up to 4000 bytes is one data piece;
// a longer one is cut into 4000-byte pieces listed in directories of up to 500 entries.
#pragma once

#include <cstdint>
#include <optional>

#include "database/db_file.h"

namespace vorn {

constexpr const char* kDbBlobTree = "sys$blob";
constexpr size_t kDbPieceSize = 4000;
constexpr size_t kDbDirectoryEntries = 500;

// The new object's id, or nothing when it could not be written.
std::optional<uint32_t> WriteLargeObject(vndbFile& file, const uint8_t* bytes, size_t length);
// The object's bytes; nothing when it is missing or its pieces are damaged.
std::optional<Bytes> ReadLargeObject(vndbFile& file, uint32_t id);
bool DeleteLargeObject(vndbFile& file, uint32_t id);

}  // namespace vorn
