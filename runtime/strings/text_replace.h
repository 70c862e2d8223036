// Replacing every occurrence of one string in another.
#pragma once

#include "strings/vstring.h"

namespace vorn {

// The source with every occurrence of find replaced, scanning left to right without overlaps.
// find and replacement are first brought to the source's encoding and find is matched as InStr
// does (without regard to case); a find that the source's encoding can't hold is never found.
// An empty find or source, or no occurrence, gives the source itself (shared). The result keeps
// the source's encoding.
string ReplaceAll(const string& source, const string& find, const string& replacement);

// The same, matching bytes and inserting the replacement's bytes unconverted; the result keeps
// the source's encoding.
string ReplaceAllB(const string& source, const string& find, const string& replacement);
// The language's Replace and ReplaceB: as ReplaceAll and ReplaceAllB, for the first occurrence only.
string Replace(const string& source, const string& find, const string& replacement);
string ReplaceB(const string& source, const string& find, const string& replacement);

}  // namespace vorn
