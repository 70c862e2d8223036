// What folder items hand to layers above them (edit fields, movies, mouse cursors) goes through
// hooks those layers install when their classes are built. Without a hook the member answers
// false or nil.
#pragma once

#include "strings/vstring.h"

struct VornRuntimeObject;

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

}  // namespace vorn
