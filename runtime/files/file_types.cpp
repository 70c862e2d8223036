#include "files/file_types.h"

#include "files/folder_item_imp.h"
#include "strings/container_assert.h"
#include "vorn/special_folder_api.h"

namespace vorn {

namespace {

FileType* gFirstFileType = nullptr;

// Calls `visit` with each field of a ";"-separated list until it answers true; an empty list
// has no field at all.
template <typename Visit>
bool AnyField(const string& list, Visit visit) {
  std::string_view rest = list.View();
  if (rest.empty()) return false;
  while (true) {
    size_t end = rest.find(';');
    if (visit(string(rest.substr(0, end), list.Encoding()))) return true;
    if (end == std::string_view::npos) return false;
    rest.remove_prefix(end + 1);
  }
}

bool EndsWithNoCase(const string& fileName, const string& ending) {
  // Compared in the file name's encoding, so that the tail taken is whole characters of the
  // same byte length as the ending.
  string tail = ConvertTextEncoding(ending, fileName.Encoding());
  if (tail.Length() > fileName.Length()) return false;
  return fileName.Right(tail.Length()).Compare(tail) == 0;
}

bool MatchesExtensions(const FileType& type, const string& fileName) {
  return AnyField(type.extensions, [&](const string& entry) {
    // An empty entry (a trailing or doubled ";") would end every name.
    return !entry.IsEmpty() && EndsWithNoCase(fileName, entry);
  });
}

}  // namespace

FileType* FirstFileType() { return gFirstFileType; }

void RegisterFileType(const string& name, const string& macType, const string& macCreator,
                      const string& extensions) {
  auto* type = new FileType;
  type->name = name;
  type->macType = macType;
  type->macCreator = macCreator;
  type->extensions = extensions;
  FileType** link = &gFirstFileType;
  while (*link) link = &(*link)->next;
  *link = type;
}

void DeregisterFileType(const string& name) {
  for (FileType** link = &gFirstFileType; *link; link = &(*link)->next) {
    if ((*link)->name.Compare(name) == 0) {
      FileType* gone = *link;
      *link = gone->next;
      delete gone;
      return;
    }
  }
}

FileType* FindFileType(const string& name) {
  for (FileType* type = gFirstFileType; type; type = type->next) {
    if (type->name.Compare(name) == 0) return type;
  }
  return nullptr;
}

string FileTypeNameForFile(const string& fileName) {
  for (FileType* type = gFirstFileType; type; type = type->next) {
    if (MatchesExtensions(*type, fileName)) return type->name;
  }
  return string();
}

void ParseFileTypeList(const string& typeList, SimpleVector<FileType*>* outTypeList) {
  if (!outTypeList) {
    ReportContainerAssertion(kFileTypesSource, __LINE__, "outTypeList");
    return;
  }
  outTypeList->Clear();
  AnyField(typeList, [&](const string& field) {
    if (FileType* type = FindFileType(field)) outTypeList->Append(type);
    return false;
  });
}

std::vector<std::string> FilterPatternsOfFileType(const FileType& type) {
  std::vector<std::string> patterns;
  AnyField(type.extensions, [&](const string& entry) {
    // An empty entry would give a pattern of every name ending in "." or of none at all.
    if (entry.IsEmpty()) return false;
    std::string text(entry.ToUTF8().View());
    patterns.push_back(text.front() == '.' ? "*" + text : "*." + text);
    return false;
  });
  return patterns;
}

uint32_t OSTypeFromString(const string& text) {
  string roman = ConvertTextEncoding(text, kEncodingMacRoman);
  if (roman.IsEmpty()) return kNoFourCharCode;
  uint32_t code = 0;
  for (int32_t i = 0; i < 4; ++i) code = code << 8 | (i < roman.Length() ? roman.Byte(i) : uint32_t{' '});
  return code;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void RuntimeRegisterFileType(VornStringRecord* name, VornStringRecord* macType, VornStringRecord* macCreator,
                             VornStringRecord* extensions) {
  RegisterFileType(string::Share(name), string::Share(macType), string::Share(macCreator),
                   string::Share(extensions));
}

void RuntimeDeregisterFileType(VornStringRecord* name) { DeregisterFileType(string::Share(name)); }

uint32_t StringToOSType(VornStringRecord* text) { return OSTypeFromString(string::Share(text)); }

}  // extern "C"
