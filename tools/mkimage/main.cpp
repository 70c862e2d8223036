// mkimage: builds an application image from one relocatable object.
//
//   mkimage OBJECT [-o OUTPUT] [--runtime EXE] [--dat DIR] [--entry SYMBOL]
//           [--pending-word SYMBOL] [--resource TYPE:ID:FILE]... [--option CODE:FILE]...
//           [--version N.N.N.N.N.N] [--version-text TEXT]... [--project-object 'KIND WHAT']...
//           [--manifest FILE]
//
// With --runtime the output is a copy of the runtime executable with the image appended;
// without it, the bare image. --dat writes the six blocks as .dat files instead.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "elf_object.h"
#include "image_builder.h"
#include "manifest.h"

using namespace vorn;
using namespace vorn::mkimage;

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: mkimage OBJECT [-o OUTPUT] [--runtime EXE] [--dat DIR] [--entry SYMBOL]\n"
               "               [--pending-word SYMBOL] [--resource TYPE:ID:FILE]... [--option CODE:FILE]...\n"
               "               [--version N.N.N.N.N.N] [--version-text TEXT]... [--manifest FILE]\n"
               "               [--project-object 'picture ID' | 'object CLASS']...\n");
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& prefix, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(prefix.data()), static_cast<std::streamsize>(prefix.size()));
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "mkimage: %s\n", text.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string objectPath, outputPath, runtimePath, datDirectory;
  ManifestState manifest;
  std::string error;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "-o" || arg == "--output") {
      if (!value(outputPath)) return Usage(), 2;
    } else if (arg == "--runtime") {
      if (!value(runtimePath)) return Usage(), 2;
    } else if (arg == "--dat") {
      if (!value(datDirectory)) return Usage(), 2;
    } else if (arg == "--entry") {
      if (!value(manifest.settings.entry)) return Usage(), 2;
    } else if (arg == "--pending-word") {
      if (!value(manifest.settings.pendingWord)) return Usage(), 2;
    } else if (arg == "--resource" || arg == "--option" || arg == "--version" || arg == "--version-text" ||
               arg == "--manifest" || arg == "--project-object") {
      if (!value(text)) return Usage(), 2;
      if (!ApplySetting(arg.substr(2), text, ".", manifest, error)) return Fail(error);
    } else if (arg == "-h" || arg == "--help") {
      Usage();
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      Usage();
      return Fail("unknown option " + arg);
    } else if (objectPath.empty()) {
      objectPath = arg;
    } else {
      Usage();
      return Fail("more than one object given: link the objects with ld -r first");
    }
  }
  if (objectPath.empty() || (outputPath.empty() && datDirectory.empty())) {
    Usage();
    return 2;
  }
  if (!FinishSettings(manifest, error)) return Fail(error);

  ElfObject object;
  if (!ReadElfObject(objectPath, object, error)) return Fail(error);
  BuiltImage built;
  if (!BuildImage(object, manifest.settings, built, error)) return Fail(objectPath + ": " + error);

  if (!datDirectory.empty()) {
    for (int b = 0; b < image::kBlockCount; ++b) {
      std::string path = datDirectory + "/" + image::kBlockFileNames[b];
      if (!WriteFile(path, {}, built.blocks[b])) return Fail("cannot write " + path);
    }
  }
  if (!outputPath.empty()) {
    std::vector<uint8_t> framed;
    if (!image::FrameImage(built.blocks, framed)) return Fail("the image is larger than 4 GiB");
    std::vector<uint8_t> runtime;
    if (!runtimePath.empty()) {
      std::ifstream in(runtimePath, std::ios::binary);
      if (!in) return Fail("cannot read the runtime " + runtimePath);
      runtime.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      if (runtime.size() >= image::kTrailerSize &&
          std::memcmp(runtime.data() + runtime.size() - image::kTrailerMagicSize, image::kTrailerMagic,
                      image::kTrailerMagicSize) == 0) {
        return Fail(runtimePath + " already carries an image");
      }
    }
    if (!WriteFile(outputPath, runtime, framed)) return Fail("cannot write " + outputPath);
    if (!runtimePath.empty()) ::chmod(outputPath.c_str(), 0755);
  }
  return 0;
}
