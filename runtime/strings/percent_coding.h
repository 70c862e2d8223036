// Percent coding of URL components.
#pragma once

#include "strings/vstring.h"

namespace vorn {

// Every byte except A-Z, a-z, 0-9, "-", "_" and "." written as "%XX" with upper-case hex
// digits; the bytes are taken as stored (callers convert to UTF-8 first). US-ASCII result.
string PercentEncode(const string& s);

// Each "%XX" (either letter case) replaced by its byte, the result tagged with `encoding`. A "%"
// not followed by two hex digits stays as it is, and so does a "+". "%00" gives a NUL byte in
// the string; callers that pass the result on as C text must check for it.
string PercentDecode(const string& s, EncodingCode encoding);

}  // namespace vorn
