// Text on the desktop clipboard, asked of whoever owns it. This program's own text answers at
// once through GTK. Another program is asked over the X connection directly, with no main loop
// running meanwhile, so no timer or event handler of the program runs inside a getter; an owner
// that has not answered within kClipboardAnswerWait, every piece of an answer sent in pieces
// included, counts as an empty clipboard.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorn {

// Milliseconds another program has to answer a getter, however many requests and pieces it takes.
inline constexpr int32_t kClipboardAnswerWait = 1500;

// The clipboard's text as UTF-8; nothing when it holds none or its owner does not answer.
std::optional<std::string> ReadClipboardText();
// Whether the clipboard's owner offers text.
bool ClipboardOffersText();

}  // namespace vorn
