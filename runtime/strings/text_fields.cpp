#include "strings/text_fields.h"

#include <cstring>

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

int32_t CountFieldsWith(const string& source, const string& delimiter, MatchMode mode) {
  if (source.IsEmpty()) return 0;
  string converted;
  if (!DelimiterFor(source, delimiter, mode, converted)) return 1;
  FieldWalker walker(source, converted, mode);
  int32_t count = 0;
  int32_t begin, end;
  while (walker.Next(begin, end)) ++count;
  return count;
}

string NthFieldWith(const string& source, const string& delimiter, int32_t n, MatchMode mode) {
  if (n < 1 || source.IsEmpty()) return string();
  string converted;
  if (!DelimiterFor(source, delimiter, mode, converted)) return n == 1 ? source : string();
  FieldWalker walker(source, converted, mode);
  if (!walker.Skip(n - 1)) return string();
  int32_t begin, end;
  walker.Next(begin, end);
  return source.Mid(begin, end - begin);
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

void SplitWith(const string& source, const string& delimiter, MatchMode mode, std::vector<string>& pieces) {
  if (source.IsEmpty()) return;
  string converted;
  if (!DelimiterFor(source, delimiter, mode, converted)) {
    pieces.push_back(source);
    return;
  }
  FieldWalker walker(source, converted, mode);
  int32_t begin, end;
  while (walker.Next(begin, end)) pieces.push_back(source.Mid(begin, end - begin));
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
