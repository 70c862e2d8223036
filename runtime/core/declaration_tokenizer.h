// The tokenizer of the member declarations plug-ins hand over as text, in the language's own
// syntax ("As" types, "#if" blocks, "&H" literals). It reads one NUL-terminated text at a time
// and answers integer token codes, keeping the text of the last token.
//
// Plug-in registration reads through one global cursor (TokenizerBegin, NextToken, ...), which
// is not reentrant. The cursor is a DeclarationTokenizer; anything that needs a second one at
// the same time can make its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

// Codes 1..255 are single characters (the character's own code); keywords are
// kFirstKeywordToken plus their place in the keyword table.
inline constexpr int32_t kTokenEnd = -1;
inline constexpr int32_t kFirstKeywordToken = 257;
inline constexpr int32_t kDeclarationKeywordCount = 86;
inline constexpr int32_t kTokenIf = 257;
inline constexpr int32_t kTokenComment = 283;  // the keyword Rem, "'" and "//"
inline constexpr int32_t kTokenPragma = 305;
inline constexpr int32_t kTokenByVal = 307;  // also what "Const" reads as
inline constexpr int32_t kTokenConst = 309;  // in the table, never answered
inline constexpr int32_t kTokenHashIf = 310;
inline constexpr int32_t kTokenHashElse = 311;
inline constexpr int32_t kTokenHashEndIf = 312;
inline constexpr int32_t kTokenHashElseIf = 341;
inline constexpr int32_t kTokenIdentifier = 400;
inline constexpr int32_t kTokenInteger = 401;
inline constexpr int32_t kTokenString = 402;
inline constexpr int32_t kTokenAssign = 403;        // ":="
inline constexpr int32_t kTokenGreaterEqual = 404;  // ">="
inline constexpr int32_t kTokenLessEqual = 405;     // "<="
inline constexpr int32_t kTokenNotEqual = 406;      // "<>"
inline constexpr int32_t kTokenEllipsis = 407;      // "..."
inline constexpr int32_t kTokenRange = 408;         // ".."
inline constexpr int32_t kTokenFloat = 409;
inline constexpr int32_t kTokenColor = 410;  // "&C" with at most 6 digits
inline constexpr int32_t kTokenUnterminatedString = 601;
inline constexpr int32_t kTokenLongColor = 602;  // "&C" with more than 6 digits

// The token text buffer, NUL included. Longer identifiers, numbers and literal digits are
// cut to what fits, but read to their end; string literals keep kMaxStringLiteralBytes.
inline constexpr int32_t kTokenTextSize = 2048;
inline constexpr int32_t kMaxStringLiteralBytes = 2046;

class DeclarationTokenizer {
 public:
  // The text is not copied: it must stay alive and unchanged while it is read. Nil reads as
  // the empty text.
  void Begin(const char* text);
  int32_t Next();
  // A comment ends the text: it answers kTokenEnd and leaves nothing unread.
  int32_t NextSkippingComments();
  // The next Next answers the code (one code is kept; kTokenEnd keeps none).
  void PushBackToken(int32_t code) { mPushedToken = code; }
  void GetBounds(int32_t& start, int32_t& end) const;
  // The offset of the next unread byte, pushed-back characters counting as unread.
  int32_t Offset() const;
  void SkipToEnd();
  void Finish();
  bool NextCharIsBlank() const;
  // The last token's text, NUL-terminated.
  const char* Text() const { return mToken; }

  // The character level beneath the tokens. Pushed-back characters come back in the order
  // they were pushed; a NUL, or a third character, is not kept.
  uint8_t ReadChar();
  void PushBackChar(uint8_t c);

 private:
  int32_t Scan(uint8_t first);
  int32_t ScanIdentifier();
  int32_t ScanNumber();
  int32_t ScanString();
  int32_t ScanPairedOperator(uint8_t first);
  int32_t ScanPoint();
  int32_t ScanDirective();
  int32_t ScanRadixLiteral();
  // Appends characters while `accepts` says yes and pushes back the first one it refuses;
  // answers how many were read.
  template <typename Accepts>
  size_t AppendWhile(Accepts accepts);
  // Appends the next character when it is the expected one, else pushes it back.
  bool AppendIf(uint8_t expected);
  void Append(uint8_t c, int32_t limit = kTokenTextSize - 1);
  void SetText(const char* text);
  void SubstituteTypeNames();

  const char* mSource = "";
  size_t mOffset = 0;
  uint8_t mPushedChars[2] = {0, 0};
  int32_t mPushedCount = 0;
  int32_t mPushedToken = kTokenEnd;
  char mToken[kTokenTextSize] = {0};
  int32_t mTokenLength = 0;
  int32_t mTokenStart = 0;
  int32_t mTokenEnd = 0;
};

// The global cursor.
void TokenizerBegin(const char* text);
int32_t NextToken();
int32_t NextTokenSkippingComments();
void PushBackToken(int32_t code);
void GetTokenBounds(int32_t& start, int32_t& end);
int32_t TokenizerOffset();
void SkipToEnd();
// As SkipToEnd, and a pushed-back token is dropped too.
void TokenizerFinish();
bool NextCharIsBlank();
const char* LastTokenText();

// Whether the text is one of the keywords, without regard to case.
bool IsDeclarationKeyword(const string& text);
// Whether the first n bytes are all hexadecimal digits: true for n = 0, false for nil.
bool IsHexText(const char* text, int32_t n);
// The value of an integer or colour literal's text: decimal, or "&H", "&O", "&B" or "&C"
// followed by digits of the base, computed modulo 2^32. A colour's digits beyond the sixth
// give its top byte. Nil or an unknown letter gives 0.
int32_t LiteralValue(const char* text);

}  // namespace vorn
