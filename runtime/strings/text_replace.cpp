#include "strings/text_replace.h"

#include <string>

#include "strings/char_reader.h"
#include "strings/text_search.h"

namespace vorn {

namespace {

// Replaces the first `limit` occurrences (every one for a negative limit).
string ReplaceWith(const string& source, const string& find, const string& replacement, MatchMode mode,
                   int32_t limit) {
  TextFinder finder(find.CString(), find.Length(), source.Encoding(), mode);
  const char* text = source.CString();
  int32_t length = source.Length();
  TextMatch match = finder.Find(text, length, 0);
  if (!match.Found()) return source;

  std::string out;
  out.reserve(static_cast<size_t>(length));
  int32_t position = 0;
  while (match.Found() && limit-- != 0) {
    out.append(text + position, static_cast<size_t>(match.offset - position));
    out.append(replacement.CString(), static_cast<size_t>(replacement.Length()));
    position = match.offset + match.length;
    match = finder.Find(text, length, position);
  }
  out.append(text + position, static_cast<size_t>(length - position));
  return string(out, source.Encoding());
}

// The result keeps the source's encoding where that holds the replacement; otherwise it is
// built in UTF-8, as joining the same texts builds it.
string ReplaceText(const string& source, const string& find, const string& replacement, int32_t limit) {
  if (source.IsEmpty() || find.IsEmpty()) return source;
  string text = SearchableText(source, find);
  string convertedFind, convertedReplacement;
  if (!PatternInEncoding(find, text.Encoding(), convertedFind)) return source;
  if (!PatternInEncoding(replacement, text.Encoding(), convertedReplacement)) {
    text = text.ToUTF8();
    PatternInEncoding(find, kEncodingUTF8, convertedFind);
    PatternInEncoding(replacement, kEncodingUTF8, convertedReplacement);
  }
  const string result = ReplaceWith(text, convertedFind, convertedReplacement, MatchMode::kIgnoreCase, limit);
  if (result.Rep() == text.Rep()) return source;
  return InEncodingOf(result, source);
}

string ReplaceBytes(const string& source, const string& find, const string& replacement, int32_t limit) {
  if (source.IsEmpty() || find.IsEmpty()) return source;
  return ReplaceWith(source, find, replacement, MatchMode::kBytes, limit);
}

}  // namespace

string ReplaceAll(const string& source, const string& find, const string& replacement) {
  return ReplaceText(source, find, replacement, -1);
}

string ReplaceAllB(const string& source, const string& find, const string& replacement) {
  return ReplaceBytes(source, find, replacement, -1);
}

string Replace(const string& source, const string& find, const string& replacement) {
  return ReplaceText(source, find, replacement, 1);
}

string ReplaceB(const string& source, const string& find, const string& replacement) {
  return ReplaceBytes(source, find, replacement, 1);
}

}  // namespace vorn
