#include "editfield/input_mask.h"

#include <glib.h>

#include <algorithm>

#include "editfield/edit_text_model.h"
#include "strings/locale_separators.h"
#include "strings/utf8.h"

namespace vorn {

namespace {

enum class CaseMode { kNone, kLower, kUpper };

struct Char {
  uint32_t code = 0;
  std::string_view bytes;
};

Char CharAt(std::string_view text, size_t offset) {
  auto length = static_cast<int32_t>(text.size());
  UTF8Char c = UTF8DecodeChar(text.data(), length, static_cast<int32_t>(offset));
  return {c.codePoint, text.substr(offset, static_cast<size_t>(std::max(c.size, 1)))};
}

bool IsDigit(uint32_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(uint32_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsControl(uint32_t c) { return c < 32 || c == 127; }

bool IsPlaceholder(uint32_t c) {
  switch (c) {
    case '#': case '&': case '9': case '<': case '>': case '?': case 'A': case 'C': case 'a': case '~':
      return true;
    default:
      return false;
  }
}

// The separator a mask character stands for; nil for any other character.
const std::string* SeparatorFor(uint32_t c, const InputMaskSeparators& s) {
  switch (c) {
    case ',': return &s.thousands;
    case '.': return &s.decimal;
    case '/': return &s.date;
    case ':': return &s.time;
    default: return nullptr;
  }
}

// A typed character against a separator: the separator's first character counts.
bool MatchesSeparator(std::string_view typed, const std::string& separator) {
  if (separator.empty()) return false;
  return typed == CharAt(separator, 0).bytes;
}

std::string Converted(const Char& c, CaseMode mode) {
  // An invalid byte stands for itself, whatever the case mode.
  if (mode == CaseMode::kNone || c.code == kReplacementCharacter) return std::string(c.bytes);
  gunichar changed = mode == CaseMode::kUpper ? g_unichar_toupper(c.code) : g_unichar_tolower(c.code);
  char out[4];
  return std::string(out, static_cast<size_t>(EncodeUTF8(changed, out)));
}

std::string LiteralTail(std::string_view mask, size_t m, const InputMaskSeparators& separators) {
  std::string tail;
  while (m < mask.size()) {
    Char c = CharAt(mask, m);
    if (IsPlaceholder(c.code)) break;
    if (const std::string* separator = SeparatorFor(c.code, separators)) {
      tail += *separator;
    } else if (c.code == '\\') {
      if (m + c.bytes.size() >= mask.size()) break;
      Char escaped = CharAt(mask, m + c.bytes.size());
      tail += escaped.bytes;
      m += escaped.bytes.size();
    } else {
      tail += c.bytes;
    }
    m += c.bytes.size();
  }
  return tail;
}

}  // namespace

InputMaskSeparators LocaleInputMaskSeparators() {
  string thousands, decimal, date, time;
  GetLocaleSeparators(&thousands, &decimal, &date, &time);
  InputMaskSeparators s;
  s.thousands = std::string(thousands.View());
  s.decimal = std::string(decimal.View());
  s.date = std::string(date.View());
  s.time = std::string(time.View());
  return s;
}

InputMaskMatch MatchInputMask(std::string_view text, std::string_view mask, const InputMaskSeparators& separators) {
  InputMaskMatch match;
  CaseMode mode = CaseMode::kNone;
  size_t t = 0;
  size_t m = 0;
  while (t < text.size()) {
    Char typed = CharAt(text, t);
    std::string converted = Converted(typed, mode);
    bool accepted = false;
    bool consume = true;
    size_t maskStep = 0;
    if (m >= mask.size()) {
      accepted = mode != CaseMode::kNone;
    } else {
      Char mc = CharAt(mask, m);
      maskStep = mc.bytes.size();
      uint32_t c = typed.code;
      switch (mc.code) {
        case '#': accepted = IsDigit(c); break;
        case '?': accepted = IsLetter(c); break;
        case 'A': accepted = IsLetter(c) || IsDigit(c); break;
        case '9':
          accepted = true;
          consume = IsDigit(c);
          break;
        case 'a':
          accepted = true;
          consume = IsLetter(c) || IsDigit(c);
          break;
        case '&':
        case 'C':
          accepted = true;
          consume = !IsControl(c);
          break;
        case '<':
        case '>':
          mode = mc.code == '<' ? CaseMode::kLower : CaseMode::kUpper;
          accepted = true;
          consume = false;
          break;
        case '~':
          match.result = InputMaskResult::kInvalidMask;
          return match;
        case '\\':
          if (m + maskStep < mask.size()) {
            Char escaped = CharAt(mask, m + maskStep);
            accepted = converted == escaped.bytes;
            maskStep += escaped.bytes.size();
          }
          break;
        default:
          if (const std::string* separator = SeparatorFor(mc.code, separators)) {
            accepted = MatchesSeparator(converted, *separator);
          } else {
            accepted = converted == mc.bytes;
          }
          break;
      }
    }
    if (!accepted) {
      match.result = InputMaskResult::kRejected;
      return match;
    }
    m += maskStep;
    if (consume) {
      match.accepted += converted;
      ++match.acceptedCharacters;
      t += typed.bytes.size();
    }
  }
  match.tail = LiteralTail(mask, m, separators);
  return match;
}

MaskedEdit ProposeMaskedEdit(std::string_view text, int32_t start, int32_t length, int32_t insertAt,
                             std::string_view inserted, bool nothingSelected) {
  MaskedEdit edit;
  edit.proposed = std::string(text);
  int32_t characters = UTF8CharacterCount(edit.proposed);
  if (length > 0) {
    // A range reaching outside the text (Backspace at its start) deletes only what exists.
    int64_t from = std::clamp<int64_t>(start, 0, characters);
    int64_t to = std::clamp<int64_t>(int64_t{start} + length, 0, characters);
    size_t fromByte = static_cast<size_t>(UTF8ByteOffsetOfCharacter(edit.proposed, static_cast<int32_t>(from)));
    size_t toByte = static_cast<size_t>(UTF8ByteOffsetOfCharacter(edit.proposed, static_cast<int32_t>(to)));
    edit.proposed.erase(fromByte, toByte - fromByte);
    characters -= static_cast<int32_t>(to - from);
    if (nothingSelected) insertAt = start;
  }
  edit.insertAt = std::clamp(insertAt, 0, characters);
  if (!inserted.empty()) {
    size_t at = static_cast<size_t>(UTF8ByteOffsetOfCharacter(edit.proposed, edit.insertAt));
    edit.proposed.insert(at, inserted);
  }
  return edit;
}

}  // namespace vorn
