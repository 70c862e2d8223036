// The language's Window class: registration and what its members share.
#pragma once

#include "objects/object_definition.h"
#include "windows/runtime_window.h"

namespace vorn {

// Enters "Window" in the intrinsic class map and its members in the entry-point directory.
void RegisterWindowClass();

// The native window of a window object, nil for nil, another class, or no native window.
RuntimeViewWindow* ViewOf(RuntimeObject* window);

// The control an embedded window without a native window of its own is shown through; nil
// otherwise (nil fields too). Such a window's Window members act on that control.
RuntimeObject* EmbeddingControlOf(WindowObject* fields);

}  // namespace vorn
