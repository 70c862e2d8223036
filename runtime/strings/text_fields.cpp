#include "strings/text_fields.h"

#include <cstring>

#include "strings/char_reader.h"
#include "strings/text_places.h"
#include "strings/text_search.h"

namespace vorn {

namespace {

// Walks the fields of one text; the delimiter is already in the text's encoding.
class FieldWalker {
 public:
  FieldWalker(const char* text, int32_t length, EncodingCode encoding, const string& delimiter, MatchMode mode)
      : mText(text), mLength(length), mFinder(delimiter.CString(), delimiter.Length(), encoding, mode) {}

  // Walks on from the start of a field found before.
  void StartAt(int32_t position) { mPosition = position; }

  // The next field's range; false when the text is used up.
  bool Next(int32_t& begin, int32_t& end) {
    if (mDone) return false;
    begin = mPosition;
    // A field begins at a character start.
    TextMatch match = mFinder.Find(mText, mLength, mPosition, true);
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
          AddTextWalkSteps(mLength - mPosition);
          mDone = true;
          return false;
        }
        ++p;
      }
      AddTextWalkSteps(p - (mText + mPosition));
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

// Whether the fields are cut from the text as text functions read it (its readable form for
// ISO-2022-JP, which a long text keeps), with the delimiter in its encoding in `converted`; not
// when the text is searched in another form (the delimiter holds a character its encoding
// lacks), nor ISO-2022-JP by its bytes.
bool CutsAsRead(const string& whole, const string& delimiter, MatchMode mode, TextPlaces& places, string& converted) {
  if (mode == MatchMode::kBytes) {
    converted = delimiter;
    return !HasShiftStates(whole.Encoding());
  }
  return PatternInEncoding(delimiter, places.ReadEncoding(), converted);
}

int32_t CountFieldsWith(const string& whole, const string& delimiter, MatchMode mode) {
  if (whole.IsEmpty()) return 0;
  TextPlaces places(whole);
  string converted;
  auto count = [&](const char* bytes, int32_t length, EncodingCode encoding) {
    FieldWalker walker(bytes, length, encoding, converted, mode);
    int32_t fields = 0;
    int32_t begin, end;
    while (walker.Next(begin, end)) ++fields;
    return fields;
  };
  if (CutsAsRead(whole, delimiter, mode, places, converted)) return count(places.Bytes(), places.Length(), places.ReadEncoding());
  const string source = FieldText(whole, delimiter, mode);
  if (!DelimiterFor(source, delimiter, mode, converted)) return 1;
  return count(source.CString(), source.Length(), source.Encoding());
}

string NthFieldWith(const string& whole, const string& delimiter, int32_t n, MatchMode mode) {
  if (n < 1 || whole.IsEmpty()) return string();
  // A long text keeps the last field taken with its record, so that a loop over its fields
  // walks it once.
  TextPlaces places(whole);
  string converted;
  if (!CutsAsRead(whole, delimiter, mode, places, converted)) {
    const string source = FieldText(whole, delimiter, mode);
    if (!DelimiterFor(source, delimiter, mode, converted)) return n == 1 ? whole : string();
    FieldWalker walker(source.CString(), source.Length(), source.Encoding(), converted, mode);
    if (!walker.Skip(n - 1)) return string();
    int32_t begin = 0, end = 0;
    walker.Next(begin, end);
    return InEncodingOf(source.Mid(begin, end - begin), whole);
  }
  FieldWalker walker(places.Bytes(), places.Length(), places.ReadEncoding(), converted, mode);
  int32_t from = 1;
  TextCursor* cursor = places.HeldCursor();
  TextCursor::LastField* last = cursor ? &cursor->field : nullptr;
  if (last && last->number > 0 && last->number <= n && last->mode == mode && last->encoding == converted.Encoding() &&
      last->delimiter == converted.View()) {
    walker.StartAt(last->offset);
    from = last->number;
  }
  if (!walker.Skip(n - from)) return string();
  int32_t begin = 0, end = 0;
  walker.Next(begin, end);
  if (last) {
    last->delimiter.assign(converted.View());
    last->encoding = converted.Encoding();
    last->mode = mode;
    last->number = n;
    last->offset = begin;
  }
  return places.Piece(begin, end);
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
  FieldWalker walker(source.CString(), source.Length(), source.Encoding(), converted, mode);
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
