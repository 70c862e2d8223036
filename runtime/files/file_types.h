// The document types the application declares at start-up: one process-wide list that names a
// file's type by its extension, turns a dialog's filter text into types, and keeps each type's
// four-character codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "strings/simple_vector.h"
#include "strings/vstring.h"

namespace vorn {

inline constexpr const char* kFileTypesSource = "../Common/fileTypes";

struct FileType {
  FileType* next = nullptr;
  string name;
  string macType;     // its first bytes are the four-character type code
  string macCreator;  // likewise
  string extensions;  // ";"-separated, each entry with or without its "."
  uint8_t flag = 0;
  uint32_t reserved = 0;
};

// The list in registration order; null when empty.
FileType* FirstFileType();

// Appends a record; a name registered twice keeps both, and lookups find the earlier one.
void RegisterFileType(const string& name, const string& macType, const string& macCreator,
                      const string& extensions);
// Removes the first record of that name (ignoring case); an unknown name changes nothing.
void DeregisterFileType(const string& name);
// The first record of that name, ignoring case; null when none.
FileType* FindFileType(const string& name);

// The name of the first type one of whose extensions ends the file name (ignoring case); ""
// when none does.
string FileTypeNameForFile(const string& fileName);

// Fills the vector with the records the ";"-separated names give, in their order; names of no
// record are skipped. A null vector is a failed internal check.
void ParseFileTypeList(const string& typeList, SimpleVector<FileType*>* outTypeList);

// The file-name patterns of a dialog's filter for the type, UTF-8, one per non-empty extension
// entry: ".txt" gives "*.txt" and "text" gives "*.text".
std::vector<std::string> FilterPatternsOfFileType(const FileType& type);

// A four-character code with the first character in the high byte: the MacRoman text's first
// four bytes, padded with blanks; "????" for the empty text.
uint32_t OSTypeFromString(const string& text);

}  // namespace vorn
