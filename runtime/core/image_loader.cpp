#include "core/image_loader.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/image_resolver.h"
#include "base/resource_manager.h"
#include "strings/runtime_error.h"
#include "strings/vstring.h"

namespace vorn {

using namespace image;

namespace {

ImageShutdownHook sShutdownHook = nullptr;

std::vector<std::unique_ptr<LoadedImage>>& LoadedImages() {
  static std::vector<std::unique_ptr<LoadedImage>> images;
  return images;
}

const LoadedImage* CurrentImage() {
  auto& images = LoadedImages();
  return images.empty() ? nullptr : images.back().get();
}

// Returned in RAX and XMM0, so a caller expecting an integer, a pointer or a double sees 0.
struct ZeroResult {
  int64_t integer;
  double real;
};

// What a call through an import that nothing exported ends in.
ZeroResult NotExportedCall(const char* name) {
  std::string message = std::string("Function '") + name + "' was not exported";
  ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, "image_loader.cpp", __LINE__,
                     "function exported", message.c_str());
  return {0, 0.0};
}

// One thunk per import that nothing exported: it passes the import's name to NotExportedCall.
//   movabs $name, %rdi ; movabs $NotExportedCall, %rax ; jmp *%rax
constexpr size_t kThunkSize = 32;

void WriteThunk(uint8_t* at, const char* name) {
  auto target = reinterpret_cast<uint64_t>(&NotExportedCall);
  std::memset(at, 0xCC, kThunkSize);
  at[0] = 0x48;
  at[1] = 0xBF;
  WriteU64LE(at + 2, reinterpret_cast<uint64_t>(name));
  at[10] = 0x48;
  at[11] = 0xB8;
  WriteU64LE(at + 12, target);
  at[20] = 0xFF;
  at[21] = 0xE0;
}

void* HelperAddress(const std::string& name) {
  if (name == "memcpy") return reinterpret_cast<void*>(&std::memcpy);
  if (name == "memmove") return reinterpret_cast<void*>(&std::memmove);
  if (name == "memset") return reinterpret_cast<void*>(&std::memset);
  if (name == "memcmp") return reinterpret_cast<void*>(&std::memcmp);
  return nullptr;
}

void AddToPlace(uint8_t* place, uint64_t value) {
  uint64_t current;
  std::memcpy(&current, place, sizeof current);
  current += value;
  std::memcpy(place, &current, sizeof current);
}

void StorePlace(uint8_t* place, uint64_t value) { std::memcpy(place, &value, sizeof value); }

void* MapPages(size_t size) {
  void* memory = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return memory == MAP_FAILED ? nullptr : memory;
}

}  // namespace

ImageShutdownHook SetImageShutdownHook(ImageShutdownHook hook) {
  ImageShutdownHook previous = sShutdownHook;
  sShutdownHook = hook;
  return previous;
}

const LoadedImage* MapApplicationImage(ParsedImage&& parsed, ImportResolver& resolver,
                                       ResourceManager& resources, std::string& error) {
  auto loaded = std::make_unique<LoadedImage>();
  loaded->parsed = std::move(parsed);
  LoadedImage& image = *loaded;
  const ImageLayout& layout = image.parsed.layout;
  const auto& blocks = image.parsed.raw.blocks;

  image.base = static_cast<uint8_t*>(MapPages(static_cast<size_t>(layout.mappedSize)));
  if (!image.base) {
    error = "Cannot map " + std::to_string(layout.mappedSize) + " bytes for the image";
    return nullptr;
  }
  std::memcpy(image.base, blocks[kCodeBlock].data(), layout.codeLength);
  if (layout.dataLength > 0) {
    std::memcpy(image.DataBase(), blocks[kDataBlock].data(), layout.dataLength);
  }
  for (uint32_t offset : image.parsed.relocations) {
    AddToPlace(image.base + offset, reinterpret_cast<uint64_t>(image.base));
  }

  // Names are resolved first so that all thunks fit in one mapping.
  std::vector<void*> bound(image.parsed.imports.size(), nullptr);
  size_t missing = 0;
  for (size_t i = 0; i < bound.size(); ++i) {
    const ImageImport& import = image.parsed.imports[i];
    bound[i] = import.kind == kImportHelper ? HelperAddress(import.name) : resolver.Resolve(import.name);
    if (!bound[i]) ++missing;
  }
  if (missing > 0) {
    image.thunksSize = (missing * kThunkSize + kDataAlignment - 1) / kDataAlignment * kDataAlignment;
    image.thunks = static_cast<uint8_t*>(MapPages(image.thunksSize));
    if (!image.thunks) {
      ::munmap(image.base, static_cast<size_t>(layout.mappedSize));
      error = "Cannot map the stubs of the image's missing imports";
      return nullptr;
    }
    uint8_t* next = image.thunks;
    for (size_t i = 0; i < bound.size(); ++i) {
      if (bound[i]) continue;
      const ImageImport& import = image.parsed.imports[i];
      std::fprintf(stderr, "Function '%s' was not exported\n", import.name.c_str());
      image.notExported.push_back(import.name);
      WriteThunk(next, import.name.c_str());
      bound[i] = next;
      next += kThunkSize;
    }
    ::mprotect(image.thunks, image.thunksSize, PROT_READ | PROT_EXEC);
  }
  for (size_t i = 0; i < bound.size(); ++i) {
    const ImageImport& import = image.parsed.imports[i];
    auto address = reinterpret_cast<uint64_t>(bound[i]);
    if (import.slot != kNoSlot) StorePlace(image.base + import.slot, address);
    for (const ImageSite& site : import.sites) {
      StorePlace(image.base + site.offset, address + static_cast<uint64_t>(site.addend));
    }
  }
  if (::mprotect(image.base, static_cast<size_t>(layout.dataStart), PROT_READ | PROT_EXEC) != 0) {
    error = "Cannot make the image's code executable";
    ::munmap(image.base, static_cast<size_t>(layout.mappedSize));
    if (image.thunks) ::munmap(image.thunks, image.thunksSize);
    return nullptr;
  }

  uint8_t* dataBase = image.DataBase();
  RegisterStaticStringRange(dataBase, dataBase + layout.dataLength + layout.zeroFillLength);

  const std::vector<uint8_t>& resourceBlock = blocks[kResourcesBlock];
  for (const ImageResource& resource : image.parsed.resources) {
    resources.AddResource(resource.type, resource.id, resourceBlock.data() + resource.dataOffset,
                          resource.length, resource.fileOffset);
  }
  const std::vector<uint8_t>& optionBlock = blocks[kOptionsBlock];
  for (const ImageOption& option : image.parsed.options) {
    if (option.code == kOptionVersion) {
      resources.AddResource(kTypeVersion, 0, optionBlock.data() + option.dataOffset, option.length, 0);
    }
  }

  LoadedImages().push_back(std::move(loaded));
  return &image;
}

void RunApplicationImage(const LoadedImage& image) {
  auto entry = reinterpret_cast<void (*)()>(image.CodeBase());
  entry();
  if (sShutdownHook) sShutdownHook();
}

bool LoadApplicationImage(const std::string& path, ImportResolver& resolver,
                          ResourceManager& resources, std::string& error) {
  RawImage raw;
  ParsedImage parsed;
  if (!ReadImageFile(path, raw, error) || !VerifyImageChecksum(raw, error) ||
      !ValidateImage(std::move(raw), parsed, error)) {
    return false;
  }
  const LoadedImage* image = MapApplicationImage(std::move(parsed), resolver, resources, error);
  if (!image) return false;
  RunApplicationImage(*image);
  return true;
}

void LoadApplicationImage(const char* path) {
  RelocDirectoryResolver resolver;
  std::string error;
  if (!LoadApplicationImage(path ? path : "", resolver, GetResourceManager(), error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
  }
}

uint8_t* GetDataBase() {
  const LoadedImage* image = CurrentImage();
  return image ? image->DataBase() : nullptr;
}

bool LookupSymbolForAddress(const void* address, std::string& name, uint32_t& offset) {
  const LoadedImage* image = CurrentImage();
  if (!image) return false;
  auto at = reinterpret_cast<uintptr_t>(address);
  auto code = reinterpret_cast<uintptr_t>(image->CodeBase());
  if (at < code || at - code >= image->parsed.layout.codeLength) return false;
  auto codeOffset = static_cast<uint32_t>(at - code);
  const auto& symbols = image->parsed.symbols;
  auto after = std::upper_bound(symbols.begin(), symbols.end(), codeOffset,
                                [](uint32_t value, const ImageSymbol& s) { return value < s.codeOffset; });
  if (after == symbols.begin()) return false;
  const ImageSymbol& symbol = *(after - 1);
  if (codeOffset - symbol.codeOffset >= std::max<uint32_t>(symbol.size, 1)) return false;
  name = symbol.name;
  offset = codeOffset - symbol.codeOffset;
  return true;
}

const std::vector<ImageProjectObject>* GetImageProjectObjects() {
  const LoadedImage* image = CurrentImage();
  return image ? &image->parsed.projectObjects : nullptr;
}

void** GetImagePendingWord() {
  const LoadedImage* image = CurrentImage();
  if (!image || !image->parsed.hasPendingWord) return nullptr;
  return reinterpret_cast<void**>(image->base + image->parsed.pendingWordOffset);
}

}  // namespace vorn
