// The language's Clipboard class over the GTK clipboards.
#pragma once

#include "objects/object_definition.h"
#include "strings/vstring.h"
#include "vorn/clipboard_api.h"

namespace vorn {

ObjectDefinition* GetClipboardClassDefinition();

// Whether the desktop clipboard holds text (the edit field's Paste enabling).
bool ClipboardHasText();
// Puts the text on the desktop clipboard, with the edit field's line-end conversion first
// when asked; answers the text as converted.
string CopyTextToClipboard(const string& text, bool convertLineEnds);

}  // namespace vorn
