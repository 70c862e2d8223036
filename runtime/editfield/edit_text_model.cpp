#include "editfield/edit_text_model.h"

#include <algorithm>
#include <string>

#include "strings/utf8.h"

namespace vorn {

int32_t UTF8CharacterCount(std::string_view text) {
  auto length = static_cast<int32_t>(text.size());
  int32_t count = 0;
  for (int32_t offset = 0; offset < length; offset = UTF8NextChar(text.data(), length, offset)) ++count;
  return count;
}

int32_t UTF8ByteOffsetOfCharacter(std::string_view text, int32_t index) {
  return UTF8AdvanceChars(text.data(), static_cast<int32_t>(text.size()), 0, index);
}

EditSelection ClampSelection(int32_t start, int32_t end, int32_t textLength) {
  textLength = std::max(textLength, 0);
  EditSelection s;
  s.start = std::clamp(start, 0, textLength);
  s.end = std::clamp(end, s.start, textLength);
  return s;
}

string KeyCharacterString(int32_t code) {
  code &= 0xFF;
  if (code < 0x80) {
    char c = static_cast<char>(code);
    return string(&c, 1, kEncodingASCII);
  }
  char bytes[4];
  int32_t n = EncodeUTF8(static_cast<uint32_t>(code), bytes);
  return string(bytes, n, kEncodingUTF8);
}

KeyEdit KeyEditFor(int32_t code, int32_t selStart, int32_t selLength) {
  constexpr int32_t kBackspace = 8;
  constexpr int32_t kDelete = 127;
  KeyEdit edit;
  edit.start = selStart;
  edit.length = selLength;
  if (code == kBackspace || code == kDelete) {
    if (selLength == 0) {
      if (code == kBackspace) edit.start = selStart - 1;
      edit.length = 1;
    }
    edit.text = string("", 0, kEncodingUTF8);
    return edit;
  }
  if (code < 32) {
    edit.passOn = true;
    return edit;
  }
  edit.text = KeyCharacterString(code);
  edit.text.SetEncoding(kEncodingUTF8);
  return edit;
}

AppendPlan PlanAppend(int32_t textLength, int32_t selStart, int32_t selLength, int32_t limit,
                      int32_t appendLength) {
  AppendPlan plan;
  int32_t start = selStart;
  int32_t length = selLength;
  int32_t oldEnd = textLength;
  if (limit > 0) {
    int32_t excess = textLength + appendLength - limit;
    if (excess > 0) {
      plan.dropFromText = std::min(excess, textLength);
      // An appended text longer than the limit keeps only its last `limit` characters.
      plan.dropFromAppend = excess - plan.dropFromText;
      oldEnd = textLength - plan.dropFromText;
      start -= plan.dropFromText;
      if (start < 0) {
        length = std::max(length + start, 0);
        start = 0;
      }
    }
  }
  plan.restoreSelection = start < oldEnd;
  plan.selStart = start;
  plan.selLength = length;
  return plan;
}

namespace {

constexpr const char* kItemNames[] = {"EditCut", "EditCopy", "EditClear", "EditPaste", "EditSelectAll"};

}  // namespace

EditMenuItem EditMenuItemFromName(const string& name) {
  for (int32_t i = 0; i < 5; ++i) {
    if (name.Compare(string(kItemNames[i])) == 0) return static_cast<EditMenuItem>(i);
  }
  return EditMenuItem::kNone;
}

const char* EditMenuItemName(EditMenuItem item) {
  auto i = static_cast<int32_t>(item);
  return i >= 0 && i < 5 ? kItemNames[i] : "";
}

bool EditMenuItemEnabled(EditMenuItem item, const EditMenuState& s) {
  switch (item) {
    case EditMenuItem::kCut: return s.hasSelection && !s.password && !s.readOnly;
    case EditMenuItem::kCopy: return s.hasSelection && !s.password;
    case EditMenuItem::kClear: return s.hasSelection && !s.readOnly;
    case EditMenuItem::kPaste: return !s.readOnly && s.clipboardHasText;
    case EditMenuItem::kSelectAll: return true;
    case EditMenuItem::kNone: break;
  }
  return false;
}

int32_t DisplayLineAt(int32_t y, int32_t lineHeight) { return lineHeight > 0 ? y / lineHeight : 0; }

string PlainTextStyleData(int32_t characters, const string& font, int32_t size) {
  TextStyleRecord record;
  record.font = font;
  record.size = size;
  return WriteTextStyleData(std::vector<TextStyleRecord>(static_cast<size_t>(std::max(characters, 0)), record));
}

namespace {

constexpr uint8_t kStyleBold = 0x01;
constexpr uint8_t kStyleItalic = 0x02;
constexpr uint8_t kStyleUnderline = 0x04;
constexpr uint8_t kStyleFontFollows = 0x08;
constexpr uint8_t kStyleColorFollows = 0x10;

// The font's length takes one byte below 128: a longer name is cut at a character boundary.
std::string_view StyleDataFontName(std::string_view name) {
  int32_t n = static_cast<int32_t>(name.size());
  int32_t bytes = 0;
  while (bytes < n) {
    int32_t next = UTF8NextChar(name.data(), n, bytes);
    if (next > 127) break;
    bytes = next;
  }
  return name.substr(0, static_cast<size_t>(bytes));
}

}  // namespace

string WriteTextStyleData(const std::vector<TextStyleRecord>& records) {
  std::string bytes;
  string previousFont("System");
  for (const TextStyleRecord& r : records) {
    uint8_t flags = (r.bold ? kStyleBold : 0) | (r.italic ? kStyleItalic : 0) | (r.underline ? kStyleUnderline : 0);
    bool writeFont = r.font.Compare(previousFont) != 0;
    bool writeColor = (r.color & 0xFFFFFF) != 0;
    if (writeFont) flags |= kStyleFontFollows;
    if (writeColor) flags |= kStyleColorFollows;
    bytes.push_back(static_cast<char>(flags));
    if (writeFont) {
      std::string_view name = StyleDataFontName(r.font.View());
      bytes.push_back(static_cast<char>(name.size()));
      bytes.append(name);
      previousFont = r.font;
    }
    if (writeColor) {
      bytes.push_back(static_cast<char>((r.color >> 16) & 0xFF));
      bytes.push_back(static_cast<char>((r.color >> 8) & 0xFF));
      bytes.push_back(static_cast<char>(r.color & 0xFF));
    }
    bytes.push_back(static_cast<char>(std::clamp(r.size, 0, 127)));
  }
  return string(bytes.data(), RecordLength(bytes.size()), kEncodingUnknown);
}

std::vector<TextStyleRecord> ReadTextStyleData(std::string_view data, int32_t characters) {
  std::vector<TextStyleRecord> records;
  size_t at = 0;
  string font;
  auto byte = [&data](size_t i) { return static_cast<uint8_t>(data[i]); };
  while (static_cast<int32_t>(records.size()) < characters && at < data.size()) {
    TextStyleRecord r;
    uint8_t flags = byte(at++);
    r.bold = flags & kStyleBold;
    r.italic = flags & kStyleItalic;
    r.underline = flags & kStyleUnderline;
    if (flags & kStyleFontFollows) {
      if (at >= data.size()) break;
      // The length is a signed byte: a negative one names nothing readable.
      auto length = static_cast<int8_t>(byte(at++));
      if (length < 0 || at + static_cast<size_t>(length) > data.size()) break;
      font = string(data.substr(at, static_cast<size_t>(length)), kEncodingUTF8);
      at += static_cast<size_t>(length);
    }
    r.font = font;
    if (flags & kStyleColorFollows) {
      if (at + 3 > data.size()) break;
      r.hasColor = true;
      r.color = uint32_t{byte(at)} << 16 | uint32_t{byte(at + 1)} << 8 | byte(at + 2);
      at += 3;
    }
    if (at >= data.size()) break;
    r.size = std::max<int32_t>(static_cast<int8_t>(byte(at++)), 0);
    records.push_back(r);
  }
  return records;
}

uint32_t ColorFromComponents(uint16_t red, uint16_t green, uint16_t blue) {
  return (uint32_t{red} / 257u) << 16 | (uint32_t{green} / 257u) << 8 | uint32_t{blue} / 257u;
}

}  // namespace vorn
