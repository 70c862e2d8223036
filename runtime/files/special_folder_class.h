// The language's SpecialFolder class: a field-less object whose properties name folders by
// number and ask a folder item implementation where each one is.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "strings/vstring.h"

namespace vorn {

ObjectDefinition* GetSpecialFolderClassDefinition();

// The number GetFromCode passes on: the text's first four bytes, padded with NULs, the first
// character in the low byte.
int32_t SpecialFolderCodeFromText(const string& code);

}  // namespace vorn
