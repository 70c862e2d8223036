// Line endings: the platform's end-of-line string and conversion between conventions.
#pragma once

#include "strings/vstring.h"

namespace vorn {

// The platform end-of-line string: a single line feed. The others give the carriage return
// and carriage return + line feed conventions, and a line feed again. All are US-ASCII.
string RuntimeEndOfLine();
string getMacEndOfLine();
string getWin32EndOfLine();
string getUNIXEndOfLine();

// A copy of the text with every line ending (CR LF, a lone CR, a lone LF) replaced by `ending`,
// which is first brought to the text's encoding; an empty ending removes the line endings.
// UTF-16 and UTF-32 texts are matched by code unit (a cut-off unit at the end is kept as it
// is). A text without line endings comes back shared; the result keeps the text's encoding.
string RuntimeReplaceLineEndings(const string& text, const string& ending);

}  // namespace vorn
