// Fuzzes the declaration tokenizer: the input, made NUL-terminated, is read to its end twice
// (once with comments as tokens, once skipping them), the literals' values are taken, and the
// bounds and offsets are checked to stay inside the text and move forward.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/declaration_tokenizer.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void ReadToEnd(int32_t length, bool skipComments) {
  using namespace vorn;
  int32_t previousEnd = 0;
  // Every token but the end takes at least one byte.
  for (int32_t guard = 0; guard <= length + 1; ++guard) {
    bool blankNext = NextCharIsBlank();
    int32_t code = skipComments ? NextTokenSkippingComments() : NextToken();
    if (code == kTokenEnd) {
      Check(TokenizerOffset() == length);
      return;
    }
    int32_t start = 0;
    int32_t end = 0;
    GetTokenBounds(start, end);
    Check(previousEnd <= start && start < end && end <= length && end == TokenizerOffset());
    Check(!blankNext || start > previousEnd);
    previousEnd = end;
    const char* text = LastTokenText();
    Check(std::strlen(text) < static_cast<size_t>(kTokenTextSize));
    if (code == kTokenInteger || code == kTokenColor || code == kTokenLongColor) {
      (void)LiteralValue(text);
      if (text[0] == '&') Check(IsHexText(text + 2, static_cast<int32_t>(std::strlen(text + 2))));
    }
    if (code == kTokenIdentifier) Check(!IsDeclarationKeyword(vorn::string(text)));
    if (guard % 7 == 3) {
      // A pushed-back token comes back once, and leaves the text where it was.
      PushBackToken(code);
      Check(NextToken() == code && TokenizerOffset() == end);
    }
  }
  std::abort();  // more tokens than bytes
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> text(data, data + size);
  text.push_back('\0');
  auto length = static_cast<int32_t>(std::strlen(text.data()));

  vorn::TokenizerBegin(text.data());
  ReadToEnd(length, false);
  vorn::TokenizerBegin(text.data());
  ReadToEnd(length, true);
  vorn::TokenizerFinish();
  Check(vorn::NextToken() == vorn::kTokenEnd);
  return 0;
}
