// The sound-file decoder library, looked up at run time: the program runs where it is not
// installed, and its sounds then stay silent. The few types and values used are the
// library's own binary interface.
#pragma once

#include <cstdint>

#include "graphics/library_loader.h"

namespace vorn {

struct SndfileHandle;

struct SndfileInfo {
  int64_t frames;
  int32_t samplerate;
  int32_t channels;
  int32_t format;
  int32_t sections;
  int32_t seekable;
};

constexpr int32_t kSndfileModeRead = 0x10;
constexpr int32_t kSndfileCalcSignalMax = 0x1040;
// Sample subtypes, the low 16 bits of the format.
constexpr int32_t kSndfileSubtypeMask = 0xFFFF;
constexpr int32_t kSndfileFormatFloat = 6;
constexpr int32_t kSndfileFormatDouble = 7;

struct SndfileFunctions {
  SndfileHandle* (*sf_open_fd)(int descriptor, int mode, SndfileInfo* info, int closeDescriptor);
  int (*sf_close)(SndfileHandle* handle);
  int (*sf_command)(SndfileHandle* handle, int command, void* data, int size);
  int64_t (*sf_seek)(SndfileHandle* handle, int64_t frames, int whence);
  int64_t (*sf_read_float)(SndfileHandle* handle, float* samples, int64_t count);
  int64_t (*sf_read_short)(SndfileHandle* handle, int16_t* samples, int64_t count);
};

// Loads the library on the first call and answers whether all its functions were found;
// later calls answer the same.
bool LoadSndfile();
// The functions found; only to be called after LoadSndfile answered true.
const SndfileFunctions& Sndfile();

// Loads through `loader` from now on (nil: dlopen) and forgets what earlier loads found, so
// that the next LoadSndfile looks again; answers the previous loader.
LibraryLoader* SetSndfileLibraryLoader(LibraryLoader* loader);

}  // namespace vorn
