#include "core/image_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace vorn {

using namespace image;

namespace {

std::string Num(uint64_t value) { return std::to_string(value); }

// A file descriptor that closes itself.
class FileHandle {
 public:
  explicit FileHandle(int fd) : mFd(fd) {}
  ~FileHandle() {
    if (mFd >= 0) ::close(mFd);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  int Get() const { return mFd; }

 private:
  int mFd;
};

bool ReadFully(int fd, uint64_t offset, uint8_t* buffer, size_t count) {
  while (count > 0) {
    ssize_t n = ::pread(fd, buffer, count, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer += n;
    offset += static_cast<uint64_t>(n);
    count -= static_cast<size_t>(n);
  }
  return true;
}

// Walks the six length prefixes of an image that starts at `imageFileOffset` in its file.
bool SplitBlocks(const uint8_t* image, size_t imageLength, uint64_t imageFileOffset,
                 RawImage& out, std::string& error) {
  size_t position = 0;
  for (int b = 0; b < kBlockCount; ++b) {
    if (imageLength - position < 4) {
      error = "Truncated image: the length of the " + std::string(kBlockNames[b]) +
              " block is missing (image offset " + Num(position) + ")";
      return false;
    }
    uint32_t length = ReadU32LE(image + position);
    position += 4;
    if (length > imageLength - position) {
      error = "The " + std::string(kBlockNames[b]) + " block (" + Num(length) +
              " bytes at image offset " + Num(position) + ") runs past the end of the image (" +
              Num(imageLength) + " bytes)";
      return false;
    }
    out.blocks[b].assign(image + position, image + position + length);
    out.fileOffsets[b] = imageFileOffset + position;
    position += length;
  }
  if (position != imageLength) {
    error = "The block lengths add up to " + Num(position) + " bytes but the image length is " +
            Num(imageLength) + " bytes";
    return false;
  }
  out.fromDataFiles = false;
  return true;
}

// Where the executable's own bytes end: the furthest of its header tables, segments and
// sections (a linker puts the section headers last). False when the file is no 64-bit ELF.
uint64_t EndOf(uint64_t offset, uint64_t size) {
  return offset > UINT64_MAX - size ? UINT64_MAX : offset + size;
}

bool ExecutableExtent(int fd, uint64_t fileSize, uint64_t& extent) {
  uint8_t header[64];
  if (fileSize < sizeof header || !ReadFully(fd, 0, header, sizeof header) ||
      std::memcmp(header, "\x7F" "ELF", 4) != 0 || header[4] != 2 || header[5] != 1) {
    return false;
  }
  uint64_t phoff = ReadU64LE(header + 32);
  uint64_t shoff = ReadU64LE(header + 40);
  uint64_t phentsize = ReadU16LE(header + 54), phnum = ReadU16LE(header + 56);
  uint64_t shentsize = ReadU16LE(header + 58), shnum = ReadU16LE(header + 60);
  extent = std::max<uint64_t>({sizeof header, EndOf(phoff, phentsize * phnum), EndOf(shoff, shentsize * shnum)});
  if (extent > fileSize || phentsize < 56 || shentsize < (shnum ? 64u : 0u)) return true;
  std::vector<uint8_t> table(static_cast<size_t>(std::max(phentsize * phnum, shentsize * shnum)));
  if (!ReadFully(fd, phoff, table.data(), phentsize * phnum)) return true;
  for (uint64_t i = 0; i < phnum; ++i) {
    const uint8_t* ph = table.data() + i * phentsize;
    extent = std::max(extent, EndOf(ReadU64LE(ph + 8), ReadU64LE(ph + 32)));  // p_offset, p_filesz
  }
  if (!ReadFully(fd, shoff, table.data(), shentsize * shnum)) return true;
  for (uint64_t i = 0; i < shnum; ++i) {
    const uint8_t* sh = table.data() + i * shentsize;
    if (ReadU32LE(sh + 4) == 8) continue;  // SHT_NOBITS takes no room in the file
    extent = std::max(extent, EndOf(ReadU64LE(sh + 24), ReadU64LE(sh + 32)));  // sh_offset, sh_size
  }
  return true;
}

bool HasMagic(const uint8_t* trailer) {
  return std::memcmp(trailer + 4, kTrailerMagic, kTrailerMagicSize) == 0;
}

// Image offset range checks: a place of `size` bytes inside the code or inside the data.
bool InCode(const ImageLayout& layout, uint64_t offset, uint64_t size) {
  return offset + size <= layout.codeLength;
}
bool InData(const ImageLayout& layout, uint64_t offset, uint64_t size, bool withZeroFill) {
  uint64_t end = layout.dataStart + layout.dataLength + (withZeroFill ? layout.zeroFillLength : 0);
  return offset >= layout.dataStart && offset + size <= end;
}

// A bounded reader over one block.
class Cursor {
 public:
  explicit Cursor(const std::vector<uint8_t>& block) : mBytes(block.data()), mSize(block.size()) {}
  size_t Position() const { return mPosition; }
  size_t Remaining() const { return mSize - mPosition; }
  const uint8_t* Here() const { return mBytes + mPosition; }
  bool U8(uint8_t& v) {
    if (Remaining() < 1) return false;
    v = mBytes[mPosition++];
    return true;
  }
  bool U32(uint32_t& v) {
    if (Remaining() < 4) return false;
    v = ReadU32LE(Here());
    mPosition += 4;
    return true;
  }
  bool U64(uint64_t& v) {
    if (Remaining() < 8) return false;
    v = ReadU64LE(Here());
    mPosition += 8;
    return true;
  }
  void Skip(size_t n) { mPosition += n; }

 private:
  const uint8_t* mBytes;
  size_t mSize;
  size_t mPosition = 0;
};

bool IsHelperName(std::string_view name) {
  for (const char* helper : kHelperImportNames) {
    if (name == helper) return true;
  }
  return false;
}

}  // namespace

std::string FourCharCodeText(uint32_t code) {
  char text[5];
  for (int i = 0; i < 4; ++i) {
    auto c = static_cast<unsigned char>(code >> (24 - 8 * i));
    if (c < 0x20 || c > 0x7E) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "0x%08X", code);
      return hex;
    }
    text[i] = static_cast<char>(c);
  }
  text[4] = 0;
  return std::string("'") + text + "'";
}

bool SplitImage(const uint8_t* file, size_t fileSize, RawImage& out, std::string& error) {
  if (fileSize < kTrailerSize || !HasMagic(file + fileSize - kTrailerSize)) {
    error = "No image: the file does not end with the image trailer";
    return false;
  }
  uint32_t imageLength = ReadU32LE(file + fileSize - kTrailerSize);
  size_t available = fileSize - kTrailerSize;
  if (imageLength > available) {
    error = "Truncated image: the trailer announces " + Num(imageLength) +
            " bytes but only " + Num(available) + " precede it";
    return false;
  }
  size_t start = available - imageLength;
  return SplitBlocks(file + start, imageLength, start, out, error);
}

bool ReadImageFile(const std::string& path, RawImage& out, std::string& error) {
  if (const char* folder = std::getenv(kImageFolderVariable); folder && *folder) {
    return ReadImageDataFiles(folder, out, error);
  }
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) {
    error = "Cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  struct stat info;
  if (::fstat(file.Get(), &info) != 0) {
    error = "Cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  auto fileSize = static_cast<uint64_t>(info.st_size);
  uint8_t trailer[kTrailerSize];
  if (fileSize < kTrailerSize || !ReadFully(file.Get(), fileSize - kTrailerSize, trailer, kTrailerSize) ||
      !HasMagic(trailer)) {
    // Only the bare runtime reads the blocks from the working folder: an executable with
    // anything after its own bytes is a program whose image was cut or damaged, and must not
    // run whatever files lie in the folder it is started from.
    uint64_t extent = 0;
    if (!ExecutableExtent(file.Get(), fileSize, extent)) {
      error = "No image: " + path + " is no executable and ends without the image trailer";
      return false;
    }
    if (extent == fileSize) return ReadImageDataFiles(".", out, error);
    error = std::string(kDamagedImage) + path + " ends without the image trailer (" +
            (extent < fileSize ? Num(fileSize - extent) + " bytes follow the executable"
                               : "the executable itself is cut short") + ")";
    return false;
  }
  uint32_t imageLength = ReadU32LE(trailer);
  uint64_t available = fileSize - kTrailerSize;
  if (imageLength > available) {
    error = std::string(kDamagedImage) + "its trailer in " + path + " announces " + Num(imageLength) +
            " bytes but only " + Num(available) + " precede it";
    return false;
  }
  uint64_t start = available - imageLength;
  std::vector<uint8_t> image(imageLength);
  if (!ReadFully(file.Get(), start, image.data(), image.size())) {
    error = "Cannot read the image of " + path;
    return false;
  }
  if (!SplitBlocks(image.data(), image.size(), start, out, error)) {
    error = kDamagedImage + error;
    return false;
  }
  return true;
}

bool ReadImageDataFiles(const std::string& directory, RawImage& out, std::string& error) {
  for (int b = 0; b < kBlockCount; ++b) {
    std::string path = directory + "/" + kBlockFileNames[b];
    out.blocks[b].clear();
    out.fileOffsets[b] = 0;
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
      if (errno == ENOENT && b != kCodeBlock) continue;
      error = errno == ENOENT
                  ? "No image: the executable carries none and there is no " + path
                  : "Cannot open " + path + ": " + std::strerror(errno);
      return false;
    }
    struct stat info;
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
      error = "Cannot read " + path;
      return false;
    }
    if (static_cast<uint64_t>(info.st_size) > 0xFFFFFFFFu - kTrailerSize) {
      error = path + " is too large for an image block";
      return false;
    }
    out.blocks[b].resize(static_cast<size_t>(info.st_size));
    if (!ReadFully(file.Get(), 0, out.blocks[b].data(), out.blocks[b].size())) {
      error = "Cannot read " + path;
      return false;
    }
  }
  out.fromDataFiles = true;
  return true;
}

bool ParseImportsBlock(const std::vector<uint8_t>& block, ImageLayout& layout,
                       std::vector<ImageImport>& imports, std::vector<uint32_t>& relocations,
                       std::string& error) {
  imports.clear();
  relocations.clear();
  layout.dataStart = DataStartFor(layout.codeLength);
  layout.zeroFillLength = 0;
  if (!block.empty()) {
    if (block.size() < kImportsHeaderSize) {
      error = "The imports block (" + Num(block.size()) + " bytes) is shorter than its header";
      return false;
    }
    uint32_t version = ReadU32LE(block.data());
    if (version != kImportsVersion) {
      error = "The imports block has version " + Num(version) + "; this runtime reads version " +
              Num(kImportsVersion);
      return false;
    }
    layout.zeroFillLength = ReadU32LE(block.data() + 12);
  }
  layout.mappedSize = layout.dataStart + layout.dataLength + layout.zeroFillLength;
  if (layout.mappedSize > kMaxMappedImageSize) {
    error = "The image asks for " + Num(layout.mappedSize) + " bytes of memory, more than " +
            Num(kMaxMappedImageSize);
    return false;
  }
  if (block.empty()) return true;

  uint32_t importCount = ReadU32LE(block.data() + 4);
  uint32_t relocationCount = ReadU32LE(block.data() + 8);
  Cursor in(block);
  in.Skip(kImportsHeaderSize);
  // The smallest record is a NUL, kind, reserved, slot and site count.
  constexpr size_t kSmallestImport = 1 + 2 + 4 + 4;
  if (importCount > in.Remaining() / kSmallestImport) {
    error = "The imports block announces " + Num(importCount) + " imports but holds only " +
            Num(in.Remaining()) + " bytes of records";
    return false;
  }
  imports.reserve(importCount);
  for (uint32_t i = 0; i < importCount; ++i) {
    size_t recordStart = in.Position();
    const uint8_t* name = in.Here();
    size_t limit = std::min(in.Remaining(), kMaxImportNameLength + 1);
    const void* nul = std::memchr(name, 0, limit);
    if (!nul) {
      error = limit > kMaxImportNameLength
                  ? "Import " + Num(i) + " (block offset " + Num(recordStart) +
                        ") has a name longer than " + Num(kMaxImportNameLength) + " bytes"
                  : "Import " + Num(i) + " (block offset " + Num(recordStart) +
                        ") has an unterminated name";
      return false;
    }
    size_t nameLength = static_cast<size_t>(static_cast<const uint8_t*>(nul) - name);
    if (nameLength == 0) {
      error = "Import " + Num(i) + " (block offset " + Num(recordStart) + ") has an empty name";
      return false;
    }
    for (size_t c = 0; c < nameLength; ++c) {
      if (name[c] <= 0x20 || name[c] >= 0x7F) {
        error = "Import " + Num(i) + " (block offset " + Num(recordStart) +
                ") has a name that is not printable ASCII";
        return false;
      }
    }
    ImageImport record;
    record.name.assign(reinterpret_cast<const char*>(name), nameLength);
    in.Skip(nameLength + 1);
    uint8_t reserved = 0;
    uint32_t siteCount = 0;
    if (!in.U8(record.kind) || !in.U8(reserved) || !in.U32(record.slot) || !in.U32(siteCount)) {
      error = "Import '" + record.name + "' is cut short by the end of the imports block";
      return false;
    }
    if (record.kind != kImportRuntime && record.kind != kImportHelper) {
      error = "Import '" + record.name + "' has the unknown kind " + Num(record.kind);
      return false;
    }
    if (record.kind == kImportHelper && !IsHelperName(record.name)) {
      error = "Import '" + record.name + "' is marked as a loader helper but is none";
      return false;
    }
    if (record.slot != kNoSlot && (!InData(layout, record.slot, 8, true) || record.slot % 8 != 0)) {
      error = "The slot of import '" + record.name + "' (image offset " + Num(record.slot) +
              ") lies outside the data block";
      return false;
    }
    if (siteCount > in.Remaining() / kImportSiteSize) {
      error = "Import '" + record.name + "' announces " + Num(siteCount) +
              " sites, more than the imports block holds";
      return false;
    }
    record.sites.resize(siteCount);
    for (ImageSite& site : record.sites) {
      uint64_t addend = 0;
      in.U32(site.offset);
      in.U64(addend);
      site.addend = static_cast<int64_t>(addend);
      if (!InCode(layout, site.offset, 8) && !InData(layout, site.offset, 8, false)) {
        error = "A site of import '" + record.name + "' (image offset " + Num(site.offset) +
                ") lies outside the code and data blocks";
        return false;
      }
    }
    imports.push_back(std::move(record));
  }
  if (relocationCount != in.Remaining() / 4 || in.Remaining() % 4 != 0) {
    error = "The imports block announces " + Num(relocationCount) + " relocations but " +
            Num(in.Remaining()) + " bytes follow the imports";
    return false;
  }
  relocations.resize(relocationCount);
  for (uint32_t& offset : relocations) {
    in.U32(offset);
    if (!InCode(layout, offset, 8) && !InData(layout, offset, 8, false)) {
      error = "A relocation (image offset " + Num(offset) + ") lies outside the code and data blocks";
      return false;
    }
  }
  return true;
}

bool ParseSymbolsBlock(const std::vector<uint8_t>& block, const ImageLayout& layout,
                       std::vector<ImageSymbol>& symbols, std::string& error) {
  symbols.clear();
  if (block.empty()) return true;
  Cursor in(block);
  uint32_t count = 0;
  if (!in.U32(count)) {
    error = "The symbols block is shorter than its count";
    return false;
  }
  if (count > in.Remaining() / kSymbolRecordSize) {
    error = "The symbols block announces " + Num(count) + " symbols but holds only " +
            Num(in.Remaining()) + " bytes";
    return false;
  }
  size_t tableStart = 4 + static_cast<size_t>(count) * kSymbolRecordSize;
  size_t tableLength = block.size() - tableStart;
  const uint8_t* table = block.data() + tableStart;
  symbols.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    ImageSymbol symbol;
    uint32_t nameOffset = 0;
    in.U32(symbol.codeOffset);
    in.U32(symbol.size);
    in.U32(nameOffset);
    if (static_cast<uint64_t>(symbol.codeOffset) + symbol.size > layout.codeLength) {
      error = "Symbol " + Num(i) + " (code offset " + Num(symbol.codeOffset) + ", " +
              Num(symbol.size) + " bytes) runs past the code block";
      return false;
    }
    if (!symbols.empty() && symbol.codeOffset < symbols.back().codeOffset) {
      error = "Symbol " + Num(i) + " is out of order";
      return false;
    }
    const void* nul = nameOffset < tableLength
                          ? std::memchr(table + nameOffset, 0, tableLength - nameOffset)
                          : nullptr;
    if (!nul) {
      error = "Symbol " + Num(i) + " has a name outside the name table or without its NUL";
      return false;
    }
    symbol.name.assign(reinterpret_cast<const char*>(table + nameOffset),
                       static_cast<const uint8_t*>(nul) - (table + nameOffset));
    symbols.push_back(std::move(symbol));
  }
  return true;
}

bool ParseResourcesBlock(const std::vector<uint8_t>& block, uint64_t blockFileOffset,
                         std::vector<ImageResource>& resources, std::string& error) {
  resources.clear();
  Cursor in(block);
  while (in.Remaining() > 0) {
    size_t recordStart = in.Position();
    if (in.Remaining() < kResourceHeaderSize) {
      error = "The resource record at block offset " + Num(recordStart) + " is cut short (" +
              Num(in.Remaining()) + " bytes left, its header needs " + Num(kResourceHeaderSize) + ")";
      return false;
    }
    ImageResource resource;
    resource.type = ReadU32BE(in.Here());
    resource.id = ReadU16LE(in.Here() + 4);
    resource.length = ReadU32LE(in.Here() + 10);
    in.Skip(kResourceHeaderSize);
    if (resource.length > in.Remaining()) {
      error = "Resource " + FourCharCodeText(resource.type) + " " + Num(resource.id) +
              " at block offset " + Num(recordStart) + " is " + Num(resource.length) +
              " bytes long but only " + Num(in.Remaining()) + " bytes remain in the block";
      return false;
    }
    resource.dataOffset = static_cast<uint32_t>(in.Position());
    uint64_t fileOffset = blockFileOffset == 0 ? 0 : blockFileOffset + in.Position();
    if (fileOffset > 0xFFFFFFFFu) {
      error = "Resource " + FourCharCodeText(resource.type) + " " + Num(resource.id) +
              " lies beyond 4 GiB in the file";
      return false;
    }
    resource.fileOffset = static_cast<uint32_t>(fileOffset);
    in.Skip(resource.length);
    resources.push_back(resource);
  }
  return true;
}

bool ParseOptionsBlock(const std::vector<uint8_t>& block, std::vector<ImageOption>& options,
                       std::string& error) {
  options.clear();
  Cursor in(block);
  while (in.Remaining() > 0) {
    size_t recordStart = in.Position();
    if (in.Remaining() < kOptionHeaderSize) {
      error = "The option record at block offset " + Num(recordStart) + " is cut short";
      return false;
    }
    ImageOption option;
    option.code = ReadU32BE(in.Here());
    option.length = ReadU32LE(in.Here() + 4);
    in.Skip(kOptionHeaderSize);
    if (option.length > in.Remaining()) {
      error = "Option " + FourCharCodeText(option.code) + " at block offset " + Num(recordStart) +
              " is " + Num(option.length) + " bytes long but only " + Num(in.Remaining()) +
              " bytes remain in the block";
      return false;
    }
    option.dataOffset = static_cast<uint32_t>(in.Position());
    in.Skip(option.length);
    options.push_back(option);
  }
  return true;
}

bool ParseProjectObjects(const uint8_t* data, size_t length, std::vector<ImageProjectObject>& objects,
                         std::string& error) {
  objects.clear();
  std::string problem;
  std::vector<uint8_t> bytes(data, data + length);
  Cursor in(bytes);
  uint32_t count = 0;
  // The smallest entry is a kind and a one-byte class name length.
  if (!in.U32(count) || count > in.Remaining() / 2) {
    error = "The project-object table announces more entries than its record holds";
    return false;
  }
  objects.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    ImageProjectObject& entry = objects[i];
    std::string where = "Project object " + Num(i + 1);
    if (!in.U8(entry.kind)) {
      problem = where + " is cut short by the end of its record";
      break;
    }
    if (entry.kind == kProjectPicture) {
      if (in.Remaining() < 2) {
        problem = where + " is cut short by the end of its record";
        break;
      }
      entry.resourceId = ReadU16LE(in.Here());
      in.Skip(2);
    } else if (entry.kind == kProjectObject) {
      uint8_t nameLength = 0;
      if (!in.U8(nameLength) || nameLength == 0 || nameLength > in.Remaining()) {
        problem = where + " has an empty class name or one longer than its record";
        break;
      }
      entry.className.assign(reinterpret_cast<const char*>(in.Here()), nameLength);
      in.Skip(nameLength);
      if (std::any_of(entry.className.begin(), entry.className.end(),
                      [](char c) { return c <= 0x20 || c >= 0x7F; })) {
        problem = where + " has a class name that is not printable ASCII";
        break;
      }
    } else {
      problem = where + " has the unknown kind " + Num(entry.kind);
      break;
    }
  }
  if (problem.empty() && in.Remaining() != 0) {
    problem = "The project-object table has " + Num(in.Remaining()) + " bytes after its last entry";
  }
  if (!problem.empty()) {
    error = problem;
    objects.clear();
    return false;
  }
  return true;
}

bool VerifyImageChecksum(const RawImage& raw, std::string& error) {
  const std::vector<uint8_t>& options = raw.blocks[kOptionsBlock];
  const uint8_t* record = options.size() >= kChecksumRecordSize
                              ? options.data() + options.size() - kChecksumRecordSize
                              : nullptr;
  if (!record || ReadU32BE(record) != kOptionChecksum || ReadU32LE(record + 4) != 4) {
    error = std::string(kDamagedImage) +
            "it carries no checksum record at the end of its options block, so it cannot be "
            "checked (or an image tool older than this runtime built it: rebuild it with mkimage)";
    return false;
  }
  uint32_t stored = ReadU32LE(record + 8);
  uint32_t computed = ImageChecksum(raw.blocks);
  if (stored != computed) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "The image is damaged: its checksum record says 0x%08X but its blocks give 0x%08X",
                  stored, computed);
    error = text;
    return false;
  }
  return true;
}

bool ValidateImage(RawImage&& raw, ParsedImage& out, std::string& error) {
  out = ParsedImage();
  out.raw = std::move(raw);
  const auto& blocks = out.raw.blocks;
  if (blocks[kCodeBlock].empty()) {
    error = "The image has an empty code block, so it has no entry";
    return false;
  }
  out.layout.codeLength = static_cast<uint32_t>(blocks[kCodeBlock].size());
  out.layout.dataLength = static_cast<uint32_t>(blocks[kDataBlock].size());
  if (!ParseImportsBlock(blocks[kImportsBlock], out.layout, out.imports, out.relocations, error) ||
      !ParseSymbolsBlock(blocks[kSymbolsBlock], out.layout, out.symbols, error) ||
      !ParseResourcesBlock(blocks[kResourcesBlock],
                           out.raw.fromDataFiles ? 0 : out.raw.fileOffsets[kResourcesBlock],
                           out.resources, error) ||
      !ParseOptionsBlock(blocks[kOptionsBlock], out.options, error)) {
    return false;
  }
  bool hasProjectObjects = false;
  for (const ImageOption& option : out.options) {
    if (option.code == kOptionProjectObjects) {
      if (hasProjectObjects) {
        error = "The image carries two project-object tables";
        return false;
      }
      hasProjectObjects = true;
      if (!ParseProjectObjects(blocks[kOptionsBlock].data() + option.dataOffset, option.length,
                               out.projectObjects, error)) {
        return false;
      }
    }
    if (option.code != kOptionPendingWord) continue;
    uint32_t dataOffset = option.length == 4 ? ReadU32LE(blocks[kOptionsBlock].data() + option.dataOffset) : 0;
    uint64_t imageOffset = out.layout.dataStart + dataOffset;
    if (option.length != 4 || !InData(out.layout, imageOffset, 8, true) || imageOffset % 8 != 0) {
      error = "The pending-exception option does not name an aligned 8-byte word of the data";
      return false;
    }
    out.hasPendingWord = true;
    out.pendingWordOffset = static_cast<uint32_t>(imageOffset);
  }
  return true;
}

}  // namespace vorn
