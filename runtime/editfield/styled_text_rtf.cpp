#include "editfield/styled_text_rtf.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

namespace vorn {

namespace {

constexpr std::string_view kRTFStart = "{\\rtf";
constexpr int32_t kDefaultSize = 12;
// Real files nest a few levels; this only stops a file made to exhaust the reader.
constexpr size_t kMaxDepth = 200;
constexpr size_t kMaxControlWord = 32;

void AppendUTF8(std::string* out, uint32_t code) {
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code >> 6)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (code >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The code point of the UTF-8 sequence at `at`, advancing past it; a byte that starts no
// valid, shortest sequence stands for itself (Latin-1).
uint32_t NextCodePoint(std::string_view text, size_t* at) {
  auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  uint8_t lead = byte(*at);
  int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 && lead < 0xF0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : 0;
  if (extra == 0 || *at + static_cast<size_t>(extra) >= text.size()) {
    ++*at;
    return lead;
  }
  uint32_t code = lead & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((byte(*at + k) & 0xC0) != 0x80) {
      ++*at;
      return lead;
    }
    code = (code << 6) | (byte(*at + k) & 0x3F);
  }
  bool shortest = extra == 1 || (extra == 2 && code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) ||
                  (extra == 3 && code >= 0x10000 && code <= 0x10FFFF);
  if (!shortest) {
    ++*at;
    return lead;
  }
  *at += static_cast<size_t>(extra) + 1;
  return code;
}

// Whether the bytes begin a UTF-8 sequence that is still incomplete.
bool ExpectsMore(const std::string& bytes) {
  auto lead = static_cast<uint8_t>(bytes[0]);
  if (lead < 0xC2 || lead >= 0xF5) return false;
  size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  for (size_t k = 1; k < bytes.size(); ++k)
    if ((static_cast<uint8_t>(bytes[k]) & 0xC0) != 0x80) return false;
  return bytes.size() < need;
}

void AppendEscapedName(std::string* out, std::string_view name) {
  static const char kHex[] = "0123456789abcdef";
  for (char c : name) {
    auto u = static_cast<uint8_t>(c);
    if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == ' ' || u == '-' ||
        u == '_' || u == '.') {
      out->push_back(c);
    } else {
      *out += "\\'";
      out->push_back(kHex[u >> 4]);
      out->push_back(kHex[u & 15]);
    }
  }
}

void AppendEscapedText(std::string* out, std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    uint32_t code = NextCodePoint(text, &at);
    if (code == '\\' || code == '{' || code == '}') {
      out->push_back('\\');
      out->push_back(static_cast<char>(code));
    } else if (code == '\n') {
      *out += "\\par\n";
    } else if (code == '\t') {
      *out += "\\tab ";
    } else if (code >= 0x20 && code < 0x7F) {
      out->push_back(static_cast<char>(code));
    } else if (code >= 0x10000) {
      code -= 0x10000;
      *out += "\\u" + std::to_string(static_cast<int16_t>(0xD800 + (code >> 10))) + "?";
      *out += "\\u" + std::to_string(static_cast<int16_t>(0xDC00 + (code & 0x3FF))) + "?";
    } else {
      *out += "\\u" + std::to_string(static_cast<int16_t>(code)) + "?";
    }
  }
}

std::string FontOf(const TextStyleRecord& record) {
  return record.font.IsEmpty() ? std::string("System") : std::string(record.font.View());
}

bool SameStyle(const TextStyleRecord& a, const TextStyleRecord& b) {
  return a.bold == b.bold && a.italic == b.italic && a.underline == b.underline && FontOf(a) == FontOf(b) &&
         a.size == b.size && (a.hasColor ? a.color : 0) == (b.hasColor ? b.color : 0);
}

// --- reading -----------------------------------------------------------------------------------

enum class Destination : uint8_t { kText, kFontTable, kColorTable, kSkip };

struct GroupState {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int32_t font = -1;
  int32_t halfPoints = kDefaultSize * 2;
  int32_t color = 0;
  int32_t unicodeSkip = 1;
  Destination destination = Destination::kText;
};

// Groups whose text is no part of the document.
bool IsSkippedDestination(std::string_view word) {
  for (std::string_view skipped : {"stylesheet", "info", "pict", "header", "footer", "headerl", "headerr",
                                   "footerl", "footerr", "footnote", "object", "listtable", "listoverridetable",
                                   "revtbl", "filetbl", "generator"})
    if (word == skipped) return true;
  return false;
}

class Reader {
 public:
  explicit Reader(std::string_view data, StyledTextFile* file) : mData(data), mFile(file) {}

  bool Run(std::string* error) {
    std::vector<GroupState> stack;
    GroupState state;
    while (mAt < mData.size()) {
      char c = mData[mAt];
      if (c == '{') {
        if (stack.size() >= kMaxDepth) return Fail(error, "groups nested too deeply");
        stack.push_back(state);
        ++mAt;
        mGroupStart = true;
        continue;
      }
      bool groupStart = mGroupStart;
      mGroupStart = false;
      if (c == '}') {
        if (stack.empty()) return Fail(error, "a group is closed that was never opened");
        FinishTableEntry(state, true);
        state = stack.back();
        stack.pop_back();
        ++mAt;
        if (stack.empty()) return Finish(error);
      } else if (c == '\\') {
        if (!ControlWord(&state, groupStart, error)) return false;
      } else if (c == '\r' || c == '\n') {
        ++mAt;
      } else {
        ++mAt;
        TextByte(&state, static_cast<uint8_t>(c));
      }
    }
    return Fail(error, "the file ends inside a group (cut short)");
  }

 private:
  static bool Fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
  }

  bool Finish(std::string* error) {
    // Line ends and NULs may follow the document; anything else means it was damaged.
    for (; mAt < mData.size(); ++mAt) {
      char c = mData[mAt];
      if (c != '\r' && c != '\n' && c != ' ' && c != '\0') return Fail(error, "data after the end of the document");
    }
    FlushPending();
    if (mHighSurrogate) AppendCharacter(0xFFFD, mLastState);
    return true;
  }

  // The control word or symbol at a backslash; false for a damaged one.
  bool ControlWord(GroupState* state, bool groupStart, std::string* error) {
    ++mAt;
    if (mAt >= mData.size()) return Fail(error, "the file ends inside a control word");
    char c = mData[mAt];
    if (!IsLetter(c)) {
      ++mAt;
      switch (c) {
        case '\\':
        case '{':
        case '}':
          TextByte(state, static_cast<uint8_t>(c));
          break;
        case '\'': {
          if (mAt + 2 > mData.size()) return Fail(error, "the file ends inside a hex escape");
          int high = HexValue(mData[mAt]), low = HexValue(mData[mAt + 1]);
          if (high < 0 || low < 0) return Fail(error, "a hex escape without two hex digits");
          mAt += 2;
          EscapedByte(state, static_cast<uint8_t>(high * 16 + low));
          break;
        }
        case '~':
          Character(state, 0xA0);
          break;
        case '_':
          Character(state, '-');
          break;
        case '*':
          if (groupStart) state->destination = Destination::kSkip;
          break;
        case '\n':
        case '\r':
          Character(state, '\n');
          break;
        default:
          break;  // optional hyphens and the like carry nothing a field keeps
      }
      return true;
    }
    size_t begin = mAt;
    while (mAt < mData.size() && IsLetter(mData[mAt])) {
      if (mAt - begin >= kMaxControlWord) return Fail(error, "a control word too long");
      ++mAt;
    }
    std::string_view word = mData.substr(begin, mAt - begin);
    bool has = false;
    bool negative = false;
    int64_t parameter = 0;
    if (mAt < mData.size() && mData[mAt] == '-') {
      negative = true;
      ++mAt;
    }
    size_t digits = 0;
    while (mAt < mData.size() && mData[mAt] >= '0' && mData[mAt] <= '9') {
      if (++digits > 10) return Fail(error, "a control word's number too long");
      parameter = parameter * 10 + (mData[mAt] - '0');
      has = true;
      ++mAt;
    }
    if (negative) parameter = -parameter;
    if (parameter > INT32_MAX || parameter < INT32_MIN) return Fail(error, "a control word's number too large");
    if (mAt < mData.size() && mData[mAt] == ' ') ++mAt;
    Apply(state, word, has, static_cast<int32_t>(parameter), groupStart);
    return true;
  }

  void Apply(GroupState* state, std::string_view word, bool has, int32_t value, bool groupStart) {
    bool on = !has || value != 0;
    if (word == "bin" && has && value > 0) {
      // Raw bytes (of a picture, say) that may hold braces and backslashes of their own.
      mAt += std::min(static_cast<size_t>(value), mData.size() - mAt);
      return;
    }
    if (state->destination == Destination::kSkip) return;
    if (word == "fonttbl") {
      state->destination = Destination::kFontTable;
    } else if (word == "colortbl") {
      state->destination = Destination::kColorTable;
      mColors.clear();
      mColor = {};
    } else if (groupStart && IsSkippedDestination(word)) {
      state->destination = Destination::kSkip;
    } else if (state->destination == Destination::kFontTable) {
      if (word == "f" && has) {
        FinishTableEntry(*state);
        mFontNumber = value;
        mFontName.clear();
      }
    } else if (state->destination == Destination::kColorTable) {
      if (word == "red") mColor.red = ClampByte(value);
      if (word == "green") mColor.green = ClampByte(value);
      if (word == "blue") mColor.blue = ClampByte(value);
      mColor.given = true;
    } else if (word == "deff" && has) {
      mDefaultFont = value;
    } else if (word == "b") {
      state->bold = on;
    } else if (word == "i") {
      state->italic = on;
    } else if (word == "ul") {
      state->underline = on;
    } else if (word == "ulnone") {
      state->underline = false;
    } else if (word == "plain") {
      state->bold = state->italic = state->underline = false;
      state->font = -1;
      state->halfPoints = kDefaultSize * 2;
      state->color = 0;
    } else if (word == "f" && has) {
      state->font = value;
    } else if (word == "fs" && has && value > 0) {
      state->halfPoints = value;
    } else if (word == "cf" && has) {
      state->color = value;
    } else if (word == "uc" && has && value >= 0 && value < 16) {
      state->unicodeSkip = value;
    } else if (word == "u" && has) {
      Unicode(state, value < 0 ? value + 65536 : value);
    } else if (word == "par" || word == "line") {
      Character(state, '\n');
    } else if (word == "tab") {
      Character(state, '\t');
    } else if (word == "emdash") {
      Character(state, 0x2014);
    } else if (word == "endash") {
      Character(state, 0x2013);
    } else if (word == "bullet") {
      Character(state, 0x2022);
    }
  }

  void Unicode(GroupState* state, int32_t code) {
    if (state->destination != Destination::kText) return;
    FlushPending();
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (mHighSurrogate) AppendCharacter(0xFFFD, *state);
      mHighSurrogate = static_cast<uint32_t>(code);
    } else if (code >= 0xDC00 && code <= 0xDFFF && mHighSurrogate) {
      uint32_t full = 0x10000 + ((mHighSurrogate - 0xD800) << 10) + (static_cast<uint32_t>(code) - 0xDC00);
      mHighSurrogate = 0;
      AppendCharacter(full, *state);
    } else {
      Character(state, static_cast<uint32_t>(code));
    }
    // The characters that follow stand in for this one in readers that know no \u.
    mSkip = state->unicodeSkip;
  }

  // A byte written as itself: in the text, part of a UTF-8 sequence or a Latin-1 character.
  void TextByte(GroupState* state, uint8_t byte) {
    if (state->destination == Destination::kFontTable) {
      if (byte == ';')
        FinishTableEntry(*state);
      else
        mFontName.push_back(static_cast<char>(byte));
      return;
    }
    if (state->destination == Destination::kColorTable) {
      if (byte == ';') FinishTableEntry(*state);
      return;
    }
    if (state->destination != Destination::kText) return;
    if (mSkip > 0) {
      --mSkip;
      return;
    }
    mPending.push_back(static_cast<char>(byte));
    mPendingState = *state;
    if (!ExpectsMore(mPending)) FlushPending();
  }

  // A byte written as \'hh: the font table keeps it as a byte of the name, the text as a
  // Latin-1 character.
  void EscapedByte(GroupState* state, uint8_t byte) {
    if (state->destination == Destination::kFontTable) {
      mFontName.push_back(static_cast<char>(byte));
      return;
    }
    if (state->destination != Destination::kText) return;
    if (mSkip > 0) {
      --mSkip;
      return;
    }
    Character(state, byte);
  }

  void Character(GroupState* state, uint32_t code) {
    if (state->destination != Destination::kText) return;
    FlushPending();
    if (mHighSurrogate) {
      mHighSurrogate = 0;
      AppendCharacter(0xFFFD, *state);
    }
    AppendCharacter(code, *state);
  }

  void FlushPending() {
    std::string pending;
    pending.swap(mPending);
    for (size_t i = 0; i < pending.size();) AppendCharacter(NextCodePoint(pending, &i), mPendingState);
  }

  void AppendCharacter(uint32_t code, const GroupState& state) {
    mLastState = state;
    AppendUTF8(&mFile->text, code);
    TextStyleRecord record;
    record.bold = state.bold;
    record.italic = state.italic;
    record.underline = state.underline;
    int32_t font = state.font >= 0 ? state.font : mDefaultFont;
    auto named = mFonts.find(font);
    record.font = string(named != mFonts.end() ? named->second : std::string("System"), kEncodingUTF8);
    record.size = state.halfPoints / 2 > 0 ? state.halfPoints / 2 : 1;
    if (state.color > 0 && static_cast<size_t>(state.color) < mColors.size()) {
      const Color& color = mColors[static_cast<size_t>(state.color)];
      record.hasColor = color.red || color.green || color.blue;
      record.color = (uint32_t{color.red} << 16) | (uint32_t{color.green} << 8) | color.blue;
    }
    mFile->styles.push_back(record);
  }

  void FinishTableEntry(const GroupState& state, bool closing = false) {
    if (state.destination == Destination::kFontTable && mFontNumber >= 0) {
      std::string name = mFontName;
      while (!name.empty() && name.back() == ' ') name.pop_back();
      while (!name.empty() && name.front() == ' ') name.erase(name.begin());
      if (!name.empty()) mFonts[mFontNumber] = name;
      mFontNumber = -1;
      mFontName.clear();
    } else if (state.destination == Destination::kColorTable && (!closing || mColor.given)) {
      mColors.push_back(mColor);
      mColor = {};
    }
  }

  static bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
  static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }
  static uint8_t ClampByte(int32_t value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); }

  struct Color {
    uint8_t red = 0, green = 0, blue = 0;
    bool given = false;
  };

  std::string_view mData;
  StyledTextFile* mFile;
  size_t mAt = 0;
  bool mGroupStart = false;
  std::map<int32_t, std::string> mFonts;
  int32_t mDefaultFont = 0;
  int32_t mFontNumber = -1;
  std::string mFontName;
  std::vector<Color> mColors;
  Color mColor;
  int32_t mSkip = 0;
  uint32_t mHighSurrogate = 0;
  std::string mPending;  // bytes of a UTF-8 sequence not yet complete
  GroupState mPendingState;
  GroupState mLastState;
};

}  // namespace

bool LooksLikeRTF(std::string_view data) { return data.substr(0, kRTFStart.size()) == kRTFStart; }

std::string WriteStyledTextRTF(std::string_view text, const std::vector<TextStyleRecord>& records) {
  std::vector<std::string_view> characters;
  for (size_t at = 0; at < text.size();) {
    size_t begin = at;
    NextCodePoint(text, &at);
    characters.push_back(text.substr(begin, at - begin));
  }
  std::vector<TextStyleRecord> styles(characters.size());
  for (size_t i = 0; i < characters.size() && i < records.size(); ++i) styles[i] = records[i];
  for (auto& style : styles)
    if (style.size <= 0) style.size = kDefaultSize;

  std::vector<std::string> fonts{"System"};
  std::vector<uint32_t> colors;
  auto fontIndex = [&](const TextStyleRecord& r) {
    std::string name = FontOf(r);
    for (size_t i = 0; i < fonts.size(); ++i)
      if (fonts[i] == name) return i;
    fonts.push_back(name);
    return fonts.size() - 1;
  };
  auto colorIndex = [&](const TextStyleRecord& r) -> size_t {
    if (!r.hasColor || r.color == 0) return 0;
    for (size_t i = 0; i < colors.size(); ++i)
      if (colors[i] == r.color) return i + 1;
    colors.push_back(r.color);
    return colors.size();
  };
  // One group a run of equal styles.
  std::string body;
  for (size_t i = 0; i < characters.size();) {
    size_t end = i + 1;
    while (end < characters.size() && SameStyle(styles[end], styles[i])) ++end;
    const TextStyleRecord& r = styles[i];
    body += "{\\f" + std::to_string(fontIndex(r)) + "\\fs" + std::to_string(r.size * 2);
    if (r.bold) body += "\\b";
    if (r.italic) body += "\\i";
    if (r.underline) body += "\\ul";
    if (size_t color = colorIndex(r)) body += "\\cf" + std::to_string(color);
    body += ' ';
    for (size_t k = i; k < end; ++k) AppendEscapedText(&body, characters[k]);
    body += "}";
    i = end;
  }

  std::string out = "{\\rtf1\\ansi\\deff0\n{\\fonttbl";
  for (size_t i = 0; i < fonts.size(); ++i) {
    out += "{\\f" + std::to_string(i) + " ";
    AppendEscapedName(&out, fonts[i]);
    out += ";}";
  }
  out += "}\n{\\colortbl;";
  for (uint32_t color : colors)
    out += "\\red" + std::to_string((color >> 16) & 0xFF) + "\\green" + std::to_string((color >> 8) & 0xFF) +
           "\\blue" + std::to_string(color & 0xFF) + ";";
  out += "}\n\\pard\\plain\n" + body + "\n}\n";
  return out;
}

bool ReadStyledTextRTF(std::string_view data, StyledTextFile* file, std::string* error) {
  if (!LooksLikeRTF(data)) {
    if (error) *error = "not Rich Text";
    return false;
  }
  StyledTextFile read;
  Reader reader(data, &read);
  if (!reader.Run(error)) return false;
  *file = std::move(read);
  return true;
}

}  // namespace vorn
