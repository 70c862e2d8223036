// Texts laid out as a loaded image's string literals: a record followed by its buffer in memory
// registered as static, never freed and never written again.
#pragma once

#include "strings/vstring.h"

namespace vorn::test {

// Registers the area the literals are written into; call before threads start.
void PrepareLiterals();
// A literal holding a copy of the text, in fresh room of the area (every call takes new room:
// a literal's address is its identity for good). Safe from several threads.
string LiteralOf(const string& text);

}  // namespace vorn::test
