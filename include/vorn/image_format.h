// The byte format of an application image, shared by the image tool and the loader.
//
// An image is six blocks, each a little-endian u32 length followed by its bytes, in the order
// code, data, imports, symbols, resources, options; then a u32 image length (the six blocks
// with their prefixes) and the 9-byte trailer magic. docs/image-format.md describes every
// record. Everything here is read and written byte by byte with explicit byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vorn/crc32c.h"

namespace vorn::image {

// --- framing ---------------------------------------------------------------------------------

inline constexpr char kTrailerMagic[9] = {'C', 'e', 'h', 'N', 'e', 'h', 'D', 'e', 'h'};
constexpr size_t kTrailerMagicSize = sizeof(kTrailerMagic);
// The image length word and the magic.
constexpr size_t kTrailerSize = 4 + kTrailerMagicSize;

enum BlockIndex : int {
  kCodeBlock = 0,
  kDataBlock,
  kImportsBlock,
  kSymbolsBlock,
  kResourcesBlock,
  kOptionsBlock,
  kBlockCount
};

// Files that hold the blocks (without length prefixes) when an executable carries no image.
inline constexpr const char* kBlockFileNames[kBlockCount] = {
    "code.dat", "data.dat", "import.dat", "symbols.dat", "rsrc.dat", "options.dat"};
inline constexpr const char* kBlockNames[kBlockCount] = {
    "code", "data", "imports", "symbols", "resources", "options"};

// Loaded, the data block starts at the code length rounded up to this; the tool lays out
// PC-relative references between code and data with the same distance.
constexpr uint32_t kDataAlignment = 4096;

inline constexpr uint64_t DataStartFor(uint64_t codeLength) {
  return (codeLength + kDataAlignment - 1) / kDataAlignment * kDataAlignment;
}

// --- imports block ---------------------------------------------------------------------------
//
//   u32 version (kImportsVersion), u32 importCount, u32 relocationCount, u32 zeroFillLength
//   importCount x import record
//   relocationCount x u32 image offset ("add base": the 8 bytes there hold an image offset)
//
// An import record: the name (ASCII, 1..kMaxImportNameLength bytes) and a NUL; u8 kind;
// u8 reserved (0); u32 slot (image offset of an 8-byte slot in data, kNoSlot for none);
// u32 siteCount; siteCount x {u32 image offset; i64 addend} (8-byte places set to the bound
// address plus the addend).
//
// Image offsets count from the start of the code: offset x < code length lies in the code,
// DataStartFor(code length) + y in the data (and y < data length).

constexpr uint32_t kImportsVersion = 1;
constexpr size_t kImportsHeaderSize = 16;
constexpr size_t kMaxImportNameLength = 255;
constexpr uint32_t kNoSlot = 0xFFFFFFFFu;
constexpr size_t kImportSiteSize = 12;

enum ImportKind : uint8_t {
  kImportRuntime = 0,  // bound by name through the entry-point directory
  kImportHelper = 1,   // one of kHelperImportNames, bound by the loader itself
};

// Memory helpers the compiler may call on its own even in freestanding code.
inline constexpr const char* kHelperImportNames[] = {"memcpy", "memmove", "memset", "memcmp"};

// --- symbols block ---------------------------------------------------------------------------
//
//   u32 count; count x {u32 code offset; u32 size; u32 name offset}, sorted by code offset;
//   then a table of NUL-terminated names that the name offsets index.

constexpr size_t kSymbolRecordSize = 12;

// --- resources block -------------------------------------------------------------------------
//
// Records back to back up to the block's end: u8 type[4] in text order (the first character is
// the most significant byte of the type value), u16 id, 4 reserved bytes (0), u32 length,
// then `length` bytes of data, stored raw.

constexpr size_t kResourceHeaderSize = 14;

// --- options block ---------------------------------------------------------------------------
//
// Records back to back: u8 code[4] in text order, u32 length, then the data. Unknown codes are
// skipped.

constexpr size_t kOptionHeaderSize = 8;

// --- four-character codes --------------------------------------------------------------------

constexpr uint32_t FourCharCode(char a, char b, char c, char d) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(d));
}

constexpr uint32_t kTypeDatabase = FourCharCode('D', 'B', 'A', 'S');
constexpr uint32_t kTypePicture = FourCharCode('B', 'M', 'P', ' ');
constexpr uint32_t kTypeText = FourCharCode('T', 'E', 'X', 'T');
constexpr uint32_t kTypeCursor = FourCharCode('C', 'U', 'R', 'S');
constexpr uint32_t kTypeSound = FourCharCode('W', 'A', 'V', 'E');
constexpr uint32_t kTypeVersion = FourCharCode('V', 'E', 'R', 'S');
constexpr uint32_t kTypePlugin = FourCharCode('V', 'N', 'P', 'l');

constexpr uint32_t kOptionVersion = FourCharCode('V', 'E', 'R', 'S');
// A window icon (picture bytes).
constexpr uint32_t kOptionIcon = FourCharCode('I', 'C', 'O', 'N');
// u32: data offset of the image's 8-byte pending-exception word.
constexpr uint32_t kOptionPendingWord = FourCharCode('P', 'E', 'N', 'D');
// u32: CRC-32C of the image (see ImageChecksum); always the last record of the options block.
constexpr uint32_t kOptionChecksum = FourCharCode('C', 'S', 'U', 'M');
constexpr size_t kChecksumRecordSize = kOptionHeaderSize + 4;
// The project-object table: u32 count, then count entries numbered from 1, each a u8 kind and
// its data: kProjectPicture the u16 id of a 'BMP ' resource; kProjectObject a u8 length and that many printable ASCII bytes naming a class.
constexpr uint32_t kOptionProjectObjects = FourCharCode('P', 'O', 'B', 'J');
constexpr uint8_t kProjectPicture = 1;
constexpr uint8_t kProjectObject = 2;

// --- byte order ------------------------------------------------------------------------------

inline uint16_t ReadU16LE(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadU32LE(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t ReadU64LE(const uint8_t* p) {
  return static_cast<uint64_t>(ReadU32LE(p)) | (static_cast<uint64_t>(ReadU32LE(p + 4)) << 32);
}
inline uint32_t ReadU32BE(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}
inline int16_t ReadI16BE(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>((p[0] << 8) | p[1]));
}

inline void WriteU32LE(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}
inline void WriteU64LE(uint8_t* p, uint64_t v) {
  WriteU32LE(p, static_cast<uint32_t>(v));
  WriteU32LE(p + 4, static_cast<uint32_t>(v >> 32));
}

inline void AppendU8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
inline void AppendU16LE(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void AppendU32LE(std::vector<uint8_t>& out, uint32_t v) {
  uint8_t bytes[4];
  WriteU32LE(bytes, v);
  out.insert(out.end(), bytes, bytes + 4);
}
inline void AppendU64LE(std::vector<uint8_t>& out, uint64_t v) {
  uint8_t bytes[8];
  WriteU64LE(bytes, v);
  out.insert(out.end(), bytes, bytes + 8);
}
inline void AppendU32BE(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 24));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}
inline void AppendBytes(std::vector<uint8_t>& out, const void* bytes, size_t n) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  out.insert(out.end(), p, p + n);
}

// Frames six blocks as an image: prefixes, the image length and the magic. Answers false when
// the image would not fit the 32-bit length word.
inline bool FrameImage(const std::vector<uint8_t> (&blocks)[kBlockCount], std::vector<uint8_t>& out) {
  uint64_t total = 0;
  for (const auto& block : blocks) total += 4 + static_cast<uint64_t>(block.size());
  if (total + kTrailerSize > 0xFFFFFFFFu) return false;
  out.clear();
  out.reserve(static_cast<size_t>(total) + kTrailerSize);
  for (const auto& block : blocks) {
    AppendU32LE(out, static_cast<uint32_t>(block.size()));
    AppendBytes(out, block.data(), block.size());
  }
  AppendU32LE(out, static_cast<uint32_t>(total));
  AppendBytes(out, kTrailerMagic, kTrailerMagicSize);
  return true;
}

// The value of the checksum record: the CRC-32C of the six blocks as they are framed (each
// block's u32 length, then its bytes, in block order), stopping where the checksum record
// begins, that is kChecksumRecordSize bytes before the end of the options block. The image
// length and the magic after the blocks are not covered; the framing checks them.
inline uint32_t ImageChecksum(const std::vector<uint8_t> (&blocks)[kBlockCount]) {
  uint32_t crc = crc32c::kInitial;
  for (int b = 0; b < kBlockCount; ++b) {
    uint8_t prefix[4];
    WriteU32LE(prefix, static_cast<uint32_t>(blocks[b].size()));
    crc = crc32c::Update(crc, prefix, sizeof prefix);
    size_t covered = blocks[b].size();
    if (b == kOptionsBlock) covered = covered >= kChecksumRecordSize ? covered - kChecksumRecordSize : 0;
    crc = crc32c::Update(crc, blocks[b].data(), covered);
  }
  return crc32c::Finish(crc);
}

// Ends the options block with the checksum record; nothing may change the blocks after it.
inline void SealImage(std::vector<uint8_t> (&blocks)[kBlockCount]) {
  std::vector<uint8_t>& options = blocks[kOptionsBlock];
  AppendU32BE(options, kOptionChecksum);
  AppendU32LE(options, 4);
  AppendU32LE(options, 0);
  WriteU32LE(options.data() + options.size() - 4, ImageChecksum(blocks));
}

}  // namespace vorn::image
