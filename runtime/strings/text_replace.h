// Replacing every occurrence of one string in another.
#pragma once

#include "strings/vstring.h"

namespace vorn {

// The source with every occurrence of find replaced, scanning left to right without overlaps.
// find is matched as InStr does (without regard to case, in the text SearchableText gives). An
// empty find or source, or no occurrence, gives the source itself (shared). The result keeps the
// source's encoding where that holds it; otherwise (a replacement of characters the source's
// encoding lacks) it is UTF-8, as joining the same texts makes it.
string ReplaceAll(const string& source, const string& find, const string& replacement);

// The same, matching bytes and inserting the replacement's bytes unconverted; the result keeps
// the source's encoding.
string ReplaceAllB(const string& source, const string& find, const string& replacement);
// The language's Replace and ReplaceB: as ReplaceAll and ReplaceAllB, for the first occurrence only.
string Replace(const string& source, const string& find, const string& replacement);
string ReplaceB(const string& source, const string& find, const string& replacement);

}  // namespace vorn
