// Paths are bytes: joining two of them must never run the bytes through an encoding
// conversion (a name with non-ASCII bytes taken from the file system carries the literal
// encoding, and converting it would replace those bytes). These helpers join and split at the
// byte level.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "strings/vstring.h"

namespace vorn {

// The bytes a system call sees for the text: as stored for encodings that keep ASCII as ASCII,
// UTF-8 for the others.
std::string PathBytes(const string& text);

// Bytes tagged with `encoding`; bytes beyond ASCII tagged ASCII are tagged UTF-8 instead.
string PathString(std::string_view bytes, EncodingCode encoding);

// The encoding a path built from `base` and `added` carries: the base's, unless the base is
// plain ASCII text and the addition is not.
EncodingCode JoinedPathEncoding(const string& base, const string& added);

// Whether the text holds a NUL byte, which would cut the path short at the system call.
bool HasNulByte(std::string_view bytes);

// The last component, a final "/" ignored; empty for the root.
std::string_view LastPathComponent(std::string_view path);

}  // namespace vorn
