// Menu and caption mnemonics: an "&" marks the character after it as the mnemonic and is not
// shown; "&&" shows one ampersand. A lone "&" at the end is dropped.
#pragma once

#include "strings/vstring.h"

namespace vorn {

// Removes the markers from the caption in place. When `mnemonic` is given it receives the
// first marked character (one whole character of the caption's encoding), or the empty string
// when none is marked.
void StripAmpersands(string& caption, string* mnemonic);

// A copy of the caption with its markers removed; the caption is left as it is.
string StripAmpersandsCopy(const string& caption);

}  // namespace vorn
