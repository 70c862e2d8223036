// What folder items hand to layers above them (edit fields, movies, mouse cursors, pictures,
// sounds) goes through hooks those layers install: when their classes are built, or, for the
// graphics room's pictures and sounds, when the program loads. Without a hook the member
// answers false or nil.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "strings/vstring.h"

struct VornRuntimeObject;
struct _GdkPixbuf;

namespace vorn {

class FolderItemImp;

// Styled text: each answers false for a nil field or one without a native control, and leaves
// the reason of any other failure in the file's mLastError.
using StyledFieldFileHook = bool (*)(VornRuntimeObject* field, FolderItemImp* file);
void SetStyledFieldFileHooks(StyledFieldFileHook open, StyledFieldFileHook save);
bool OpenStyledFieldFromFile(VornRuntimeObject* field, FolderItemImp* file);
bool SaveStyledFieldToFile(VornRuntimeObject* field, FolderItemImp* file);

// A new Movie (one reference) for the file at the path.
using MovieFromFileHook = VornRuntimeObject* (*)(const string& path);
void SetMovieFromFileHook(MovieFromFileHook hook);
VornRuntimeObject* MovieFromFile(const string& path);

// A new MouseCursor (one reference) that takes over a native cursor; the hook frees the cursor
// when it cannot make one.
using CursorObjectHook = VornRuntimeObject* (*)(void* nativeCursor);
void SetCursorObjectHook(CursorObjectHook hook);
// Nil, with the cursor freed, without a hook.
VornRuntimeObject* CursorObjectFor(void* nativeCursor);

// Pictures: the file formats are the files room's, the Picture objects the graphics room's.
struct PictureFileHooks {
  // A new Picture (one reference) of a BMP file's bytes; nil when they do not decode.
  VornRuntimeObject* (*fromBMP)(const uint8_t* bytes, size_t length) = nullptr;
  // A new Picture (one reference) of a file gdk-pixbuf reads; nil when it cannot.
  VornRuntimeObject* (*fromPixbufFile)(const std::string& path) = nullptr;
  // The picture's pixels as an RGB pixbuf (one reference) and its resolution; null for a
  // picture without any.
  struct _GdkPixbuf* (*pixels)(VornRuntimeObject* picture, int32_t* hRes, int32_t* vRes) = nullptr;
};
void SetPictureFileHooks(const PictureFileHooks& hooks);
const PictureFileHooks& GetPictureFileHooks();

// A new Sound (one reference) that plays the file.
using SoundFromFileHook = VornRuntimeObject* (*)(FolderItemImp* file);
void SetSoundFromFileHook(SoundFromFileHook hook);
VornRuntimeObject* SoundFromFile(FolderItemImp* file);

}  // namespace vorn
