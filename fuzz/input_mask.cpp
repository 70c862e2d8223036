// Fuzzes edit-field input masks: the input is a mask and a text separated by the first NUL
// (all mask when there is none); the text is matched whole and as each of its prefixes typed
// one edit at a time, and what is accepted must always be a prefix the mask took.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "editfield/input_mask.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t nul = input.find('\0');
  const std::string_view mask = input.substr(0, nul);
  const std::string_view text = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);

  InputMaskSeparators separators;
  if (!mask.empty() && (mask[0] & 1)) {
    separators.thousands = "\xE2\x80\xAF";
    separators.decimal = ",";
  }
  InputMaskMatch whole = MatchInputMask(text, mask, separators);
  if (whole.result != InputMaskResult::kAccepted && !whole.tail.empty()) abort();

  // Typing the text character by character, as the field would, with the tail after each step.
  std::string shown = MatchInputMask("", mask, separators).tail;
  size_t t = 0;
  int steps = 0;
  while (t < text.size() && steps++ < 256) {
    size_t next = t + 1;
    while (next < text.size() && (static_cast<uint8_t>(text[next]) & 0xC0) == 0x80) ++next;
    MaskedEdit edit = ProposeMaskedEdit(shown, static_cast<int32_t>(shown.size()), 0,
                                        static_cast<int32_t>(shown.size()), text.substr(t, next - t), true);
    InputMaskMatch step = MatchInputMask(edit.proposed, mask, separators);
    if (step.result == InputMaskResult::kAccepted) shown = step.accepted + step.tail;
    if (step.accepted.size() > edit.proposed.size() * 4 + 4) abort();
    t = next;
  }
  MaskedEdit removal = ProposeMaskedEdit(shown, -3, 5, -1, "", false);
  if (removal.proposed.size() > shown.size()) abort();
  return 0;
}
