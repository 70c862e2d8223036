#include "database/db_large_object.h"

#include <set>

#include "database/db_tree.h"

namespace vorn {
namespace {

constexpr uint32_t kDataPiece = 0;
constexpr uint32_t kDirectory = 1;
constexpr uint8_t kPieceField = 1;
// An object read back may not claim more than this; a damaged directory could claim anything.
constexpr size_t kMostObjectBytes = size_t(1) << 30;
// Each nested directory stands for 2 MB, so an object within the limit nests far less deep.
constexpr size_t kMostNesting = 1024;

std::optional<uint32_t> WritePiece(vndbTree& blobs, uint32_t kind, const uint8_t* bytes,
                                   size_t length) {
  DbValue value;
  value.type = kDbBinary;
  value.bytes.resize(4);
  DbPut32(value.bytes.data(), kind);
  value.bytes.insert(value.bytes.end(), bytes, bytes + length);
  vndbFile& file = blobs.File();
  uint32_t id = file.NewRecordId();
  Bytes row = DbBuildRow({{kPieceField, value}}, file.CurrentSerial(), id);
  if (blobs.InsertRecord(row, false) != vndbTree::InsertResult::kInserted) return std::nullopt;
  return id;
}

Bytes IdKey(uint32_t id) {
  return {uint8_t(id), uint8_t(id >> 8), uint8_t(id >> 16), uint8_t(id >> 24)};
}

// The piece's kind word and payload, positioning the tree on its row.
bool FindPiece(vndbTree& blobs, uint32_t id, uint32_t* kind, Bytes* payload) {
  bool found = false;
  if (!blobs.Find(IdKey(id), &found) || !found) return false;
  DbFieldRef field = blobs.GetField(kPieceField);
  if (field.type != kDbBinary || field.length < 8) {
    blobs.File().ReportDamage("large-object piece " + std::to_string(id) + " is malformed");
    return false;
  }
  *kind = DbGet32(field.value + 4);
  payload->assign(field.value + 8, field.value + field.length);
  if (*kind == kDirectory && payload->size() % 8 != 0) {
    blobs.File().ReportDamage("large-object directory " + std::to_string(id) + " is malformed");
    return false;
  }
  return *kind == kDataPiece || *kind == kDirectory;
}

bool ReadInto(vndbTree& blobs, uint32_t id, Bytes& out, std::set<uint32_t>& seen, size_t depth) {
  if (depth > kMostNesting) {
    blobs.File().ReportDamage("large object " + std::to_string(id) + " nests too deep");
    return false;
  }
  if (!seen.insert(id).second) {
    blobs.File().ReportDamage("large object " + std::to_string(id) + " lists itself");
    return false;
  }
  uint32_t kind = 0;
  Bytes payload;
  if (!FindPiece(blobs, id, &kind, &payload)) return false;
  if (kind == kDataPiece) {
    if (out.size() + payload.size() > kMostObjectBytes) return false;
    out.insert(out.end(), payload.begin(), payload.end());
    return true;
  }
  for (size_t at = 0; at < payload.size(); at += 8)
    if (!ReadInto(blobs, DbGet32(payload.data() + at), out, seen, depth + 1)) return false;
  return true;
}

bool DeleteFrom(vndbTree& blobs, uint32_t id, std::set<uint32_t>& seen, size_t depth) {
  if (depth > kMostNesting || !seen.insert(id).second) return false;
  uint32_t kind = 0;
  Bytes payload;
  if (!FindPiece(blobs, id, &kind, &payload) || !blobs.DeleteCurrent()) return false;
  bool ok = true;
  if (kind == kDirectory)
    for (size_t at = 0; at < payload.size(); at += 8)
      ok = DeleteFrom(blobs, DbGet32(payload.data() + at), seen, depth + 1) && ok;
  return ok;
}

}  // namespace

std::optional<uint32_t> WriteLargeObject(vndbFile& file, const uint8_t* bytes, size_t length) {
  std::unique_ptr<vndbTree> blobs = vndbTree::OpenNamedTree(file, kDbBlobTree);
  if (!blobs) return std::nullopt;
  if (length <= kDbPieceSize) return WritePiece(*blobs, kDataPiece, bytes, length);
  Bytes directory;
  auto addEntry = [&directory](uint32_t id, uint32_t size) {
    directory.resize(directory.size() + 8);
    DbPut32(directory.data() + directory.size() - 8, id);
    DbPut32(directory.data() + directory.size() - 4, size);
  };
  for (size_t at = 0; at < length; at += kDbPieceSize) {
    size_t size = std::min(kDbPieceSize, length - at);
    if (directory.size() == kDbDirectoryEntries * 8) {
      std::optional<uint32_t> full =
          WritePiece(*blobs, kDirectory, directory.data(), directory.size());
      if (!full) return std::nullopt;
      directory.clear();
      addEntry(*full, 0);
    }
    std::optional<uint32_t> piece = WritePiece(*blobs, kDataPiece, bytes + at, size);
    if (!piece) return std::nullopt;
    addEntry(*piece, uint32_t(size));
  }
  return WritePiece(*blobs, kDirectory, directory.data(), directory.size());
}

std::optional<Bytes> ReadLargeObject(vndbFile& file, uint32_t id) {
  std::unique_ptr<vndbTree> blobs = vndbTree::OpenNamedTree(file, kDbBlobTree);
  if (!blobs) return std::nullopt;
  Bytes out;
  std::set<uint32_t> seen;
  if (!ReadInto(*blobs, id, out, seen, 0)) return std::nullopt;
  return out;
}

bool DeleteLargeObject(vndbFile& file, uint32_t id) {
  std::unique_ptr<vndbTree> blobs = vndbTree::OpenNamedTree(file, kDbBlobTree);
  std::set<uint32_t> seen;
  return blobs && DeleteFrom(*blobs, id, seen, 0);
}

}  // namespace vorn
