#include "strings/text_replace.h"

#include <string>

#include "strings/text_search.h"

namespace vorn {

namespace {

string ReplaceWith(const string& source, const string& find, const string& replacement, MatchMode mode) {
  TextFinder finder(find.CString(), find.Length(), source.Encoding(), mode);
  const char* text = source.CString();
  int32_t length = source.Length();
  TextMatch match = finder.Find(text, length, 0);
  if (!match.Found()) return source;

  std::string out;
  out.reserve(static_cast<size_t>(length));
  int32_t position = 0;
  while (match.Found()) {
    out.append(text + position, static_cast<size_t>(match.offset - position));
    out.append(replacement.CString(), static_cast<size_t>(replacement.Length()));
    position = match.offset + match.length;
    match = finder.Find(text, length, position);
  }
  out.append(text + position, static_cast<size_t>(length - position));
  return string(out, source.Encoding());
}

}  // namespace

string ReplaceAll(const string& source, const string& find, const string& replacement) {
  if (source.IsEmpty() || find.IsEmpty()) return source;
  string convertedFind;
  if (!PatternInEncoding(find, source.Encoding(), convertedFind)) return source;
  string convertedReplacement;
  PatternInEncoding(replacement, source.Encoding(), convertedReplacement);
  return ReplaceWith(source, convertedFind, convertedReplacement, MatchMode::kIgnoreCase);
}

string ReplaceAllB(const string& source, const string& find, const string& replacement) {
  if (source.IsEmpty() || find.IsEmpty()) return source;
  return ReplaceWith(source, find, replacement, MatchMode::kBytes);
}

}  // namespace vorn
