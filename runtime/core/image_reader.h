// Finding an application image and checking every record of it before anything is mapped or
// run. The reader never trusts a length: each failure answers false with a text that says
// what is wrong and where.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "vorn/image_format.h"

namespace vorn {

// The six blocks as they were read.
struct RawImage {
  std::vector<uint8_t> blocks[image::kBlockCount];
  // File offset of each block's first byte; 0 when the blocks came from .dat files.
  uint64_t fileOffsets[image::kBlockCount] = {};
  bool fromDataFiles = false;
};

struct ImageSite {
  uint32_t offset;  // image offset of an 8-byte place
  int64_t addend;
};

struct ImageImport {
  std::string name;
  uint8_t kind = image::kImportRuntime;
  uint32_t slot = image::kNoSlot;  // image offset of the 8-byte slot, or kNoSlot
  std::vector<ImageSite> sites;
};

struct ImageSymbol {
  uint32_t codeOffset;
  uint32_t size;
  std::string name;
};

struct ImageResource {
  uint32_t type;
  uint16_t id;
  uint32_t dataOffset;  // within the resources block
  uint32_t length;
  uint32_t fileOffset;  // of the data in the executable; 0 for .dat files
};

struct ImageOption {
  uint32_t code;
  uint32_t dataOffset;  // within the options block
  uint32_t length;
};

// One entry of the project-object table: a picture made from a 'BMP ' resource, or a new
// object of a class named by its name.
struct ImageProjectObject {
  uint8_t kind = image::kProjectPicture;
  uint16_t resourceId = 0;
  std::string className;
};

// Where the blocks go once mapped, in image offsets (the code starts at 0).
struct ImageLayout {
  uint32_t codeLength = 0;
  uint32_t dataLength = 0;
  uint32_t zeroFillLength = 0;  // zeros after the data (uninitialised variables)
  uint64_t dataStart = 0;
  uint64_t mappedSize = 0;
};

// Everything the loader needs, all of it checked.
struct ParsedImage {
  RawImage raw;
  ImageLayout layout;
  std::vector<ImageImport> imports;
  std::vector<uint32_t> relocations;  // image offsets of 8-byte "add base" places
  std::vector<ImageSymbol> symbols;   // sorted by code offset
  std::vector<ImageResource> resources;
  std::vector<ImageOption> options;
  std::vector<ImageProjectObject> projectObjects;  // entry i is project object i + 1
  bool hasPendingWord = false;
  uint32_t pendingWordOffset = 0;  // image offset
};

// The largest memory an image may ask for; anything beyond is a damaged image.
constexpr uint64_t kMaxMappedImageSize = uint64_t{1} << 30;

// Finds the image by its trailer in the bytes of a whole file. No magic is an error here.
bool SplitImage(const uint8_t* file, size_t fileSize, RawImage& out, std::string& error);

// How every refusal of a cut or damaged image begins.
inline constexpr char kDamagedImage[] = "The image is damaged: ";
// Names a folder whose .dat files are read instead of any image (asked for explicitly).
inline constexpr char kImageFolderVariable[] = "VORN_IMAGE_FOLDER";

// Reads the image appended to the file. The six .dat files of the working directory are read
// instead only when nothing at all follows the executable's own bytes (the bare runtime), or
// those of the folder VORN_IMAGE_FOLDER names when it is set; a cut or damaged trailer is
// refused with a text beginning kDamagedImage.
bool ReadImageFile(const std::string& path, RawImage& out, std::string& error);

// Reads the six .dat files of a directory. A missing file is an empty block, except the code.
bool ReadImageDataFiles(const std::string& directory, RawImage& out, std::string& error);

// Checks the checksum record that ends the options block against the blocks, before anything
// else of them is read: a damaged image, and one without the record, is refused.
bool VerifyImageChecksum(const RawImage& raw, std::string& error);

// Checks every record of the blocks; on success `out` holds the blocks and the parsed records.
bool ValidateImage(RawImage&& raw, ParsedImage& out, std::string& error);

// The parts of ValidateImage, for callers that hold one block.
bool ParseImportsBlock(const std::vector<uint8_t>& block, ImageLayout& layout,
                       std::vector<ImageImport>& imports, std::vector<uint32_t>& relocations,
                       std::string& error);
bool ParseSymbolsBlock(const std::vector<uint8_t>& block, const ImageLayout& layout,
                       std::vector<ImageSymbol>& symbols, std::string& error);
bool ParseResourcesBlock(const std::vector<uint8_t>& block, uint64_t blockFileOffset,
                         std::vector<ImageResource>& resources, std::string& error);
bool ParseOptionsBlock(const std::vector<uint8_t>& block, std::vector<ImageOption>& options,
                       std::string& error);

// The data of a project-object table record; an empty table when it is refused.
bool ParseProjectObjects(const uint8_t* data, size_t length, std::vector<ImageProjectObject>& objects,
                         std::string& error);

// A four-character code as text for messages ('BMP ' or 0x00FF1234 when not printable).
std::string FourCharCodeText(uint32_t code);

}  // namespace vorn
