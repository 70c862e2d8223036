#include "strings/text_fields.h"

#include <cstring>

#include "strings/char_reader.h"
#include "strings/text_search.h"

namespace vorn {

namespace {

// Walks the fields of one text; the delimiter is already in the text's encoding.
class FieldWalker {
 public:
  FieldWalker(const string& source, const string& delimiter, MatchMode mode)
      : mText(source.CString()), mLength(source.Length()),
        mFinder(delimiter.CString(), delimiter.Length(), source.Encoding(), mode) {}

  // The next field's range; false when the text is used up.
  bool Next(int32_t& begin, int32_t& end) {
    if (mDone) return false;
    begin = mPosition;
    TextMatch match = mFinder.Find(mText, mLength, mPosition);
    if (!match.Found()) {
      end = mLength;
      mDone = true;
    } else {
      end = match.offset;
      mPosition = match.offset + match.length;
    }
    return true;
  }

  // Steps over `count` fields, counting only delimiters; false when there are fewer.
  bool Skip(int32_t count) {
    int32_t byte = mFinder.PlainByte();
    if (byte >= 0 && !mDone) {
      const char* end = mText + mLength;
      const char* p = mText + mPosition;
      for (; count > 0; --count) {
        p = static_cast<const char*>(std::memchr(p, byte, static_cast<size_t>(end - p)));
        if (!p) {
          mDone = true;
          return false;
        }
        ++p;
      }
      mPosition = static_cast<int32_t>(p - mText);
      return true;
    }
    for (; count > 0; --count) {
      int32_t begin, end;
      if (!Next(begin, end) || mDone) return false;
    }
    return true;
  }

 private:
  const char* mText;
  int32_t mLength;
  TextFinder mFinder;
  int32_t mPosition = 0;
  bool mDone = false;
};

bool DelimiterFor(const string& source, const string& delimiter, MatchMode mode, string& out) {
  if (mode == MatchMode::kBytes) {
    out = delimiter;
    return true;
  }
  return PatternInEncoding(delimiter, source.Encoding(), out);
}

// The text the fields are cut from: see SearchableText. Fields cut from another form of it go
// back to its encoding where that holds them.
string FieldText(const string& source, const string& delimiter, MatchMode mode) {
  return mode == MatchMode::kBytes ? source : SearchableText(source, delimiter);
}

int32_t CountFieldsWith(const string& whole, const string& delimiter, MatchMode mode) {
  if (whole.IsEmpty()) return 0;
  const string source = FieldText(whole, delimiter, mode);
  string converted;
  if (!DelimiterFor(source, delimiter, mode, converted)) return 1;
  FieldWalker walker(source, converted, mode);
  int32_t count = 0;
  int32_t begin, end;
  while (walker.Next(begin, end)) ++count;
  return count;
}

string NthFieldWith(const string& whole, const string& delimiter, int32_t n, MatchMode mode) {
  if (n < 1 || whole.IsEmpty()) return string();
  const string source = FieldText(whole, delimiter, mode);
  string converted;
  if (!DelimiterFor(source, delimiter, mode, converted)) return n == 1 ? whole : string();
  FieldWalker walker(source, converted, mode);
  if (!walker.Skip(n - 1)) return string();
  int32_t begin, end;
  walker.Next(begin, end);
  return InEncodingOf(source.Mid(begin, end - begin), whole);
}

}  // namespace

int32_t CountFields(const string& source, const string& delimiter) {
  return CountFieldsWith(source, delimiter, MatchMode::kIgnoreCase);
}

int32_t CountFieldsB(const string& source, const string& delimiter) {
  return CountFieldsWith(source, delimiter, MatchMode::kBytes);
}

string NthField(const string& source, const string& delimiter, int32_t n) {
  return NthFieldWith(source, delimiter, n, MatchMode::kIgnoreCase);
}

string NthFieldB(const string& source, const string& delimiter, int32_t n) {
  return NthFieldWith(source, delimiter, n, MatchMode::kBytes);
}

namespace {

void SplitWith(const string& whole, const string& delimiter, MatchMode mode, std::vector<string>& pieces) {
  if (whole.IsEmpty()) return;
  const string source = FieldText(whole, delimiter, mode);
  string converted;
  if (!DelimiterFor(source, delimiter, mode, converted)) {
    pieces.push_back(whole);
    return;
  }
  FieldWalker walker(source, converted, mode);
  int32_t begin, end;
  while (walker.Next(begin, end)) pieces.push_back(InEncodingOf(source.Mid(begin, end - begin), whole));
}

}  // namespace

void SplitToVector(const string& source, const string& delimiter, std::vector<string>& pieces) {
  SplitWith(source, delimiter, MatchMode::kIgnoreCase, pieces);
}

void SplitToVectorB(const string& source, const string& delimiter, std::vector<string>& pieces) {
  SplitWith(source, delimiter, MatchMode::kBytes, pieces);
}

void SplitStringAtChar(const string& text, uint8_t separator, std::vector<string>& pieces) {
  pieces.clear();
  string utf8 = text.ToUTF8();
  const char* bytes = utf8.CString();
  int32_t length = utf8.Length();
  int32_t begin = 0;
  while (begin < length) {
    const void* found = std::memchr(bytes + begin, separator, static_cast<size_t>(length - begin));
    int32_t end = found ? static_cast<int32_t>(static_cast<const char*>(found) - bytes) : length;
    pieces.emplace_back(bytes + begin, end - begin, kEncodingUTF8);
    begin = end + 1;
  }
}

std::vector<string> SplitStringAtChar(const string& text, uint8_t separator) {
  std::vector<string> pieces;
  SplitStringAtChar(text, separator, pieces);
  return pieces;
}

}  // namespace vorn
