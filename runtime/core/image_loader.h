// Loading the application image: map its code and data, relocate them, bind its imports,
// register its resources and options, run its entry and then the shutdown tasks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/image_reader.h"

namespace vorn {

class ImportResolver;
class ResourceManager;

// An image in memory. Loaded images stay mapped until the program ends: their literal records
// and resource bytes are referred to from everywhere.
struct LoadedImage {
  ParsedImage parsed;
  uint8_t* base = nullptr;  // the code; the data follows at parsed.layout.dataStart
  uint8_t* thunks = nullptr;
  size_t thunksSize = 0;
  std::vector<std::string> notExported;

  uint8_t* CodeBase() const { return base; }
  uint8_t* DataBase() const { return base + parsed.layout.dataStart; }
};

// Runs after the image's entry returns; start-up installs the runtime's shutdown tasks.
using ImageShutdownHook = void (*)();
ImageShutdownHook SetImageShutdownHook(ImageShutdownHook hook);

// Maps, relocates and binds a checked image and registers its resources and options; the
// image becomes the current one. Nil with a text in `error` when the memory cannot be had.
const LoadedImage* MapApplicationImage(ParsedImage&& image, ImportResolver& resolver,
                                       ResourceManager& resources, std::string& error);
// Calls code offset 0 with no arguments, then the shutdown hook.
void RunApplicationImage(const LoadedImage& image);

// Reads, checks, maps and runs the image of the file at path (or .dat files, as ReadImageFile
// says). False with a text in `error` when the image cannot be loaded; nothing runs then.
bool LoadApplicationImage(const std::string& path, ImportResolver& resolver,
                          ResourceManager& resources, std::string& error);
// The runtime's start: binds through the entry-point directory, registers with the runtime's
// resource manager and reports a failure on standard error.
void LoadApplicationImage(const char* path);

// The current image's data block, nil before one is loaded.
uint8_t* GetDataBase();
// The image function containing a code address and the offset into it.
bool LookupSymbolForAddress(const void* address, std::string& name, uint32_t& offset);
// The current image's project-object table (entry i is object i + 1), nil before an image is
// loaded.
const std::vector<ImageProjectObject>* GetImageProjectObjects();
// The image's pending-exception word, nil when the image names none.
void** GetImagePendingWord();

}  // namespace vorn
