#include "core/declaration_tokenizer.h"

#include <cstring>

#include "strings/c_text.h"
#include "strings/number_parse.h"
#include "strings/string_map.h"

namespace vorn {

namespace {

// Code = kFirstKeywordToken + place. The empty place is kept so that the codes after it stay
// where plug-in declarations expect them.
constexpr const char* kKeywords[kDeclarationKeywordCount] = {
    "If",        "Sub",       "Function", "Until",     "As",         "Integer",  "End",
    "Mod",       "Dim",       "Then",     "Else",      "While",      "Wend",     "String",
    "Raise",     "For",       "Exception", "Array",    "Of",         "Not",      "Single",
    "Double",    "GoTo",      "And",      "Or",        "Nil",        "Rem",      "Next",
    "ElseIf",    "To",        "True",     "False",     "ByRef",      "Boolean",  "New",
    "Select",    "Case",      "Return",   "Self",      "Do",         "Loop",     "Exit",
    "Redim",     "downto",    "step",     "color",     "isa",        "me",       "#pragma",
    "",          "ByVal",     "Optional", "Const",     "#if",        "#else",    "#endif",
    "Declare",   "Private",   "Protected", "Class",    "Interface",  "Implements", "Inherits",
    "Public",    "Shared",    "Namespace", "Module",   "Static",     "Event",    "Handles",
    "Each",      "In",        "Catch",    "Try",       "Finally",    "Super",    "Lib",
    "Extends",   "Assigns",   "Call",     "Is",        "AddressOf",  "Delegate", "ParamArray",
    "#ElseIf",   "Object"};

struct Directive {
  const char* word;
  int32_t code;
};
constexpr Directive kDirectives[] = {{"#pragma", kTokenPragma},
                                     {"#if", kTokenHashIf},
                                     {"#elseif", kTokenHashElseIf},
                                     {"#else", kTokenHashElse},
                                     {"#endif", kTokenHashEndIf}};

// The letters and digits of plug-in declarations are ASCII whatever the C locale says.
bool IsLetter(uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool IsWordByte(uint8_t c) { return IsLetter(c) || IsDigit(c) || c == '_'; }
bool IsIdentifierByte(uint8_t c) { return IsWordByte(c) || c >= 0x80; }
bool IsIdentifierStart(uint8_t c) { return IsLetter(c) || c == '_' || c == '~' || c >= 0x80; }
uint8_t UpperLetter(uint8_t c) { return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - 32) : c; }

int DigitValue(uint8_t c) {
  if (IsDigit(c)) return c - '0';
  c = UpperLetter(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

int32_t DigitRunLength(const char* text, int base) {
  int32_t length = 0;
  while (DigitValue(static_cast<uint8_t>(text[length])) < base) ++length;
  return length;
}

// Built on first use; it lives until exit.
StringMap<int32_t>& KeywordMap() {
  static StringMap<int32_t>* map = [] {
    auto* keywords = new StringMap<int32_t>();
    for (int32_t i = 0; i < kDeclarationKeywordCount; ++i) {
      if (kKeywords[i][0] != '\0') keywords->SetEntry(string(kKeywords[i]), kFirstKeywordToken + i);
    }
    return keywords;
  }();
  return *map;
}

DeclarationTokenizer gTokenizer;

}  // namespace

// --- DeclarationTokenizer --------------------------------------------------------------------

void DeclarationTokenizer::Begin(const char* text) {
  mSource = text ? text : "";
  mOffset = 0;
  mPushedCount = 0;
  mPushedToken = kTokenEnd;
  SetText("");
  mTokenStart = mTokenEnd = 0;
}

uint8_t DeclarationTokenizer::ReadChar() {
  if (mPushedCount > 0) {
    uint8_t c = mPushedChars[0];
    mPushedChars[0] = mPushedChars[1];
    --mPushedCount;
    return c;
  }
  auto c = static_cast<uint8_t>(mSource[mOffset]);
  if (c != 0) ++mOffset;  // the NUL is read again and again, never passed
  return c;
}

void DeclarationTokenizer::PushBackChar(uint8_t c) {
  if (c == 0 || mPushedCount == 2) return;
  mPushedChars[mPushedCount++] = c;
}

int32_t DeclarationTokenizer::Offset() const {
  size_t pushed = static_cast<size_t>(mPushedCount);
  return static_cast<int32_t>(mOffset > pushed ? mOffset - pushed : 0);
}

void DeclarationTokenizer::GetBounds(int32_t& start, int32_t& end) const {
  start = mTokenStart;
  end = mTokenEnd;
}

bool DeclarationTokenizer::NextCharIsBlank() const {
  char next = mPushedCount > 0 ? static_cast<char>(mPushedChars[0]) : mSource[mOffset];
  return next == ' ';
}

void DeclarationTokenizer::SkipToEnd() {
  mOffset += std::strlen(mSource + mOffset);
  mPushedCount = 0;
}

void DeclarationTokenizer::Finish() {
  SkipToEnd();
  mPushedToken = kTokenEnd;
}

int32_t DeclarationTokenizer::Next() {
  if (mPushedToken != kTokenEnd) {
    int32_t code = mPushedToken;
    mPushedToken = kTokenEnd;
    return code;
  }
  uint8_t c = ReadChar();
  while (c == ' ' || c == '\t') c = ReadChar();
  mTokenStart = c != 0 ? Offset() - 1 : Offset();
  SetText("");
  int32_t code = Scan(c);
  SubstituteTypeNames();
  mTokenEnd = Offset();
  return code;
}

int32_t DeclarationTokenizer::NextSkippingComments() {
  int32_t code = Next();
  if (code != kTokenComment) return code;
  SkipToEnd();
  return kTokenEnd;
}

int32_t DeclarationTokenizer::Scan(uint8_t first) {
  if (first == 0) return kTokenEnd;
  if (IsIdentifierStart(first)) {
    Append(first);
    return ScanIdentifier();
  }
  if (IsDigit(first)) {
    Append(first);
    return ScanNumber();
  }
  switch (first) {
    case '"':
      return ScanString();
    case ':':
    case '>':
    case '<':
      return ScanPairedOperator(first);
    case '.':
      return ScanPoint();
    case '#':
      return ScanDirective();
    case '&':
      return ScanRadixLiteral();
    case '\'':
      Append(first);
      return kTokenComment;
    case '/':
      Append(first);
      return AppendIf('/') ? kTokenComment : first;
    default:
      break;
  }
  Append(first);
  return first;
}

int32_t DeclarationTokenizer::ScanIdentifier() {
  AppendWhile(IsIdentifierByte);
  int32_t keyword = 0;
  if (!KeywordMap().GetEntry(string(mToken), &keyword)) return kTokenIdentifier;
  return keyword == kTokenConst ? kTokenByVal : keyword;
}

int32_t DeclarationTokenizer::ScanNumber() {
  // Counted apart from the text, which a very long number overflows.
  size_t digits = 1 + AppendWhile(IsDigit);
  bool floating = false;
  if (AppendIf('.')) {
    floating = true;
    AppendWhile(IsDigit);
  }
  if (AppendIf('e') || AppendIf('E')) {
    floating = true;
    if (!AppendIf('+')) AppendIf('-');
    AppendWhile(IsDigit);
  }
  if (floating || digits > 10) return kTokenFloat;
  if (digits < 10) return kTokenInteger;
  return std::strcmp(mToken, "2147483647") <= 0 ? kTokenInteger : kTokenFloat;
}

int32_t DeclarationTokenizer::ScanString() {
  for (;;) {
    uint8_t c = ReadChar();
    if (c == 0) return kTokenUnterminatedString;
    if (c == '"') {
      uint8_t next = ReadChar();
      if (next != '"') {
        PushBackChar(next);
        return kTokenString;
      }
    }
    Append(c, kMaxStringLiteralBytes);
  }
}

int32_t DeclarationTokenizer::ScanPairedOperator(uint8_t first) {
  Append(first);
  if (AppendIf('=')) {
    return first == ':' ? kTokenAssign : first == '>' ? kTokenGreaterEqual : kTokenLessEqual;
  }
  if (first == '<' && AppendIf('>')) return kTokenNotEqual;
  return first;
}

int32_t DeclarationTokenizer::ScanPoint() {
  Append('.');
  if (AppendWhile(IsDigit) > 0) return kTokenFloat;
  if (!AppendIf('.')) return '.';
  return AppendIf('.') ? kTokenEllipsis : kTokenRange;
}

int32_t DeclarationTokenizer::ScanDirective() {
  Append('#');
  AppendWhile(IsWordByte);
  for (const Directive& directive : kDirectives) {
    if (CStringCompareNoCase(mToken, directive.word) == 0) return directive.code;
  }
  return '#';
}

int32_t DeclarationTokenizer::ScanRadixLiteral() {
  Append('&');
  uint8_t next = ReadChar();
  uint8_t letter = UpperLetter(next);
  int base = letter == 'H' || letter == 'C' ? 16 : letter == 'O' ? 8 : letter == 'B' ? 2 : 0;
  if (base == 0) {
    PushBackChar(next);
    return '&';
  }
  Append(letter);
  size_t digits = AppendWhile([base](uint8_t c) { return DigitValue(c) < base; });
  if (letter != 'C') return kTokenInteger;
  return digits > 6 ? kTokenLongColor : kTokenColor;
}

template <typename Accepts>
size_t DeclarationTokenizer::AppendWhile(Accepts accepts) {
  size_t count = 0;
  uint8_t c = ReadChar();
  for (; accepts(c); c = ReadChar()) {
    Append(c);
    ++count;
  }
  PushBackChar(c);
  return count;
}

bool DeclarationTokenizer::AppendIf(uint8_t expected) {
  uint8_t c = ReadChar();
  if (c != expected) {
    PushBackChar(c);
    return false;
  }
  Append(c);
  return true;
}

void DeclarationTokenizer::Append(uint8_t c, int32_t limit) {
  if (mTokenLength >= limit) return;
  mToken[mTokenLength++] = static_cast<char>(c);
  mToken[mTokenLength] = '\0';
}

void DeclarationTokenizer::SetText(const char* text) {
  mTokenLength = 0;
  mToken[0] = '\0';
  while (*text) Append(static_cast<uint8_t>(*text++));
}

void DeclarationTokenizer::SubstituteTypeNames() {
  if (CStringCompareNoCase(mToken, "DatabaseCursor") == 0) {
    SetText("RecordSet");
  } else if (CStringCompareNoCase(mToken, "DatabaseCursorField") == 0) {
    SetText("DatabaseField");
  }
}

// --- the global cursor -----------------------------------------------------------------------

void TokenizerBegin(const char* text) { gTokenizer.Begin(text); }
int32_t NextToken() { return gTokenizer.Next(); }
int32_t NextTokenSkippingComments() { return gTokenizer.NextSkippingComments(); }
void PushBackToken(int32_t code) { gTokenizer.PushBackToken(code); }
void GetTokenBounds(int32_t& start, int32_t& end) { gTokenizer.GetBounds(start, end); }
int32_t TokenizerOffset() { return gTokenizer.Offset(); }
void SkipToEnd() { gTokenizer.SkipToEnd(); }
void TokenizerFinish() { gTokenizer.Finish(); }
bool NextCharIsBlank() { return gTokenizer.NextCharIsBlank(); }
const char* LastTokenText() { return gTokenizer.Text(); }

// --- texts -----------------------------------------------------------------------------------

bool IsDeclarationKeyword(const string& text) {
  return !text.IsEmpty() && KeywordMap().GetEntry(text);
}

bool IsHexText(const char* text, int32_t n) {
  if (!text) return false;
  for (int32_t i = 0; i < n; ++i) {
    if (DigitValue(static_cast<uint8_t>(text[i])) >= 16) return false;
  }
  return true;
}

int32_t LiteralValue(const char* text) {
  if (!text) return 0;
  if (text[0] != '&') return CStringToLong(text);
  uint8_t letter = UpperLetter(static_cast<uint8_t>(text[1]));
  if (letter == 0) return 0;
  const char* digits = text + 2;
  // Unsigned arithmetic: long digit runs wrap instead of overflowing.
  uint32_t value = 0;
  switch (letter) {
    case 'H':
      value = ParseHexDigits(digits, DigitRunLength(digits, 16));
      break;
    case 'O':
      value = ParseOctalDigits(digits, DigitRunLength(digits, 8));
      break;
    case 'B':
      value = ParseBinaryDigits(digits, DigitRunLength(digits, 2));
      break;
    case 'C': {
      int32_t count = DigitRunLength(digits, 16);
      if (count <= 6) {
        value = ParseHexDigits(digits, count);
      } else {
        value = ParseHexDigits(digits, 6) + (ParseHexDigits(digits + 6, count - 6) << 24);
      }
      break;
    }
    default:
      break;
  }
  return static_cast<int32_t>(value);
}

}  // namespace vorn
