// Input masks of edit fields: which text a mask accepts, and the literal characters that
// follow what was typed. Text and mask are UTF-8 and are matched character by character.
//
//   #  a digit            9  a digit, optional      ?  a letter A-Z or a-z
//   A  a letter or digit  a  a letter or digit, optional
//   &, C  any character (a control character skips the position)
//   <  lower case from here on    >  upper case from here on
//   \  the next mask character as a literal
//   , . / :  the locale's thousands, decimal, date and time separators
//   ~  reserved: the mask is invalid when matching reaches it
//   anything else: that character itself
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

struct InputMaskSeparators {
  std::string thousands = ",";
  std::string decimal = ".";
  std::string date = "/";
  std::string time = ":";
};

// The separators of the user's locale.
InputMaskSeparators LocaleInputMaskSeparators();

enum class InputMaskResult { kAccepted, kRejected, kInvalidMask };

struct InputMaskMatch {
  InputMaskResult result = InputMaskResult::kAccepted;
  std::string accepted;          // the text as far as the mask took it, with case applied
  int32_t acceptedCharacters = 0;
  std::string tail;              // literals that follow the accepted text; empty unless accepted
};

// Text beyond the end of the mask is accepted only while a case mode is in force (a mask ">"
// upper-cases any text); inside the mask every position decides for itself.
InputMaskMatch MatchInputMask(std::string_view text, std::string_view mask, const InputMaskSeparators& separators);

// What an edit makes of a field's text: delete `length` characters at `start` (clipped to the
// text), then insert `inserted` at `insertAt`, which becomes `start` when nothing was selected.
struct MaskedEdit {
  std::string proposed;
  int32_t insertAt = 0;  // where the inserted text went, inside the text
};
MaskedEdit ProposeMaskedEdit(std::string_view text, int32_t start, int32_t length, int32_t insertAt,
                             std::string_view inserted, bool nothingSelected);

}  // namespace vorn
