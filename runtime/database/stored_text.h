// Text on its way into the database: the file keeps every text in UTF-8, whatever encoding the
// program's string had, so that a value reads back as the same characters and a condition in
// one encoding meets rows written in another.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "strings/vstring.h"
#include "vorn/database_api.h"

namespace vorn {

// The error an operation refused for such text reports, the engine's code for a value it cannot
// take; nothing of the operation is written.
constexpr int32_t kDbErrorTextEncoding = 2003;
constexpr const char* kDbTextEncodingMessage = "Text is not valid in its encoding";

// The text in UTF-8: UTF-8 text, and bytes of no known encoding (read from a file or a
// socket, a picture's bytes), stay as they are; any other encoding is converted. Nothing when
// the text holds bytes that are no character of its encoding, or its encoding cannot be
// converted: kept as they are they would be read back as broken UTF-8, and replaced they
// would be lost without a word.
std::optional<string> StoredText(const string& text);

// A record's values as they are handed to an engine: names and texts in UTF-8, values set as
// a blob as they stand. The list lives as long as this object.
class StoredValues {
 public:
  // False when a name or a text does not convert; the list is then not to be used.
  bool Convert(const dbColumnValue* values);
  dbColumnValue* Head() { return mNodes.empty() ? nullptr : mNodes.data(); }

 private:
  std::vector<dbColumnValue> mNodes;
  std::vector<string> mTexts;
};

}  // namespace vorn
