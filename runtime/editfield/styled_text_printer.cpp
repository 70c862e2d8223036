#include "editfield/styled_text_printer.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "graphics/color_types.h"
#include "graphics/graphics_object.h"
#include "graphics/graphics_state.h"
#include "objects/exceptions.h"
#include "vorn/styled_text_api.h"

namespace vorn {

namespace {

constexpr int32_t kDefaultSize = 12;

bool IsBreak(const std::string& c) { return c == "\n"; }
bool IsSpace(const std::string& c) { return c == " " || c == "\t"; }

}  // namespace

StyledTextLayout::StyledTextLayout(std::string_view text, const std::vector<TextStyleRecord>& styles) {
  for (size_t at = 0; at < text.size();) {
    auto length = static_cast<size_t>(UTF8ByteOffsetOfCharacter(text.substr(at), 1));
    if (length == 0) length = 1;
    mCharacters.emplace_back(text.substr(at, length));
    at += length;
  }
  mStyles.resize(mCharacters.size());
  for (size_t i = 0; i < mStyles.size() && i < styles.size(); ++i) mStyles[i] = styles[i];
  for (TextStyleRecord& style : mStyles)
    if (style.size <= 0) style.size = kDefaultSize;
}

bool StyledTextLayout::SameStyle(size_t a, size_t b) const {
  const TextStyleRecord& x = mStyles[a];
  const TextStyleRecord& y = mStyles[b];
  return x.bold == y.bold && x.italic == y.italic && x.underline == y.underline && x.size == y.size &&
         x.color == y.color && x.font.View() == y.font.View();
}

void StyledTextLayout::Apply(Graphics* port, size_t index) {
  const TextStyleRecord& style = mStyles[index];
  port->SetTextFont(style.font.IsEmpty() ? string("System") : style.font);
  port->SetTextSize(style.size);
  port->SetTextStyle(static_cast<uint8_t>((style.bold ? 1 : 0) | (style.italic ? 2 : 0) | (style.underline ? 4 : 0)));
  port->SetForeColor(ColorToRGB48(style.color));
}

int32_t StyledTextLayout::WidthOf(Graphics* port, size_t from, size_t to) {
  int32_t width = 0;
  for (size_t start = from; start < to;) {
    size_t end = start + 1;
    while (end < to && SameStyle(start, end)) ++end;
    std::string piece;
    for (size_t k = start; k < end; ++k) piece += mCharacters[k];
    Apply(port, start);
    width += port->StringWidth(string(piece, kEncodingUTF8));
    start = end;
  }
  return width;
}

StyledTextLayout::Line StyledTextLayout::LayOut(Graphics* port, int32_t width) {
  Line line{mNext, mNext, 0, 0};
  size_t at = mNext;
  int32_t used = 0;
  while (at < mCharacters.size() && !IsBreak(mCharacters[at])) {
    // A word and the blanks after it.
    size_t wordEnd = at;
    while (wordEnd < mCharacters.size() && !IsBreak(mCharacters[wordEnd]) && !IsSpace(mCharacters[wordEnd])) ++wordEnd;
    size_t blanksEnd = wordEnd;
    while (blanksEnd < mCharacters.size() && IsSpace(mCharacters[blanksEnd])) ++blanksEnd;
    int32_t wordWidth = WidthOf(port, at, wordEnd);
    if (used + wordWidth > width && at > mNext) break;
    if (wordWidth > width) {
      // A word wider than the line is cut where the line ends, after one character at least.
      size_t cut = at + 1;
      while (cut < wordEnd && WidthOf(port, at, cut + 1) <= width) ++cut;
      at = cut;
      break;
    }
    used += wordWidth + WidthOf(port, wordEnd, blanksEnd);
    at = blanksEnd;
  }
  line.end = at;
  line.resume = at < mCharacters.size() && IsBreak(mCharacters[at]) ? at + 1 : at;
  // The line is as tall as its tallest style; an empty line as tall as its own style.
  size_t last = std::max(line.end, mNext + 1);
  for (size_t k = mNext; k < last && k < mCharacters.size(); ++k) {
    if (k > mNext && SameStyle(k, k - 1)) continue;
    Apply(port, k);
    int32_t ascent = port->FontAscent();
    int32_t descent = port->FontDescent();
    if (ascent < 0) ascent = mStyles[k].size;
    if (descent < 0) descent = mStyles[k].size / 4;
    line.ascent = std::max(line.ascent, ascent);
    line.height = std::max(line.height, ascent + descent);
  }
  return line;
}

int32_t StyledTextLayout::DrawBlock(Graphics* port, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (!port) return 0;
  GraphicsState saved;
  saved.Save(port);
  int32_t top = y;
  int32_t lines = 0;
  std::optional<ClipSaver> clip;
  while (!AtEnd()) {
    Line line = LayOut(port, width);
    if (top + line.height > y + height) {
      if (lines > 0) break;
      // A block lower than a line still takes one, cut to the block: a program that draws
      // block after block until EOF must come to the end.
      clip.emplace(port);
      port->SetClipRect(MakeRect(x, y, x + std::max(width, 0), y + std::max(height, 0)));
    }
    int32_t h = x;
    for (size_t start = mNext; start < line.end;) {
      size_t end = start + 1;
      while (end < line.end && SameStyle(start, end)) ++end;
      std::string piece;
      for (size_t k = start; k < end; ++k) piece += IsSpace(mCharacters[k]) ? std::string(" ") : mCharacters[k];
      Apply(port, start);
      string text(piece, kEncodingUTF8);
      port->DrawText(text, h, top + line.ascent, 0);
      h += port->StringWidth(text);
      start = end;
    }
    top += line.height;
    mNext = line.resume;
    ++lines;
    if (clip) break;
  }
  clip.reset();
  saved.Restore();
  return lines;
}

// --- the language class ----------------------------------------------------------------------

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

StyledTextPrinterObject* AsPrinter(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetStyledTextPrinterClassDefinition())
             ? reinterpret_cast<StyledTextPrinterObject*>(object)
             : nullptr;
}

ObjectDefinition* BuildPrinterDefinition() {
  static const PropertyRow kProperties[] = {
      {0, "EOF", "b", Fn(&styledPrinterEOF), "styledPrinterEOF", nullptr, nullptr, 0, 0},
      {0, "Width", "i4", Fn(&intGetter), "intGetter", Fn(&styledPrinterWidthSetter), "styledPrinterWidthSetter",
       static_cast<int32_t>(offsetof(StyledTextPrinterObject, width)), 0},
  };
  static const ParamRow kBlockParams[] = {{"x", "i4", 0, 0}, {"y", "i4", 0, 0}, {"height", "i4", 0, 0}};
  static const MethodRow kMethods[] = {
      {"DrawBlock", "", kBlockParams, 3, Fn(&styledPrinterDrawBlock), "styledPrinterDrawBlock", nullptr, nullptr, 0, 0},
  };
  auto* definition = new ObjectDefinition();
  definition->mName = string("StyledTextPrinter");
  definition->mInstanceSize = static_cast<int32_t>(sizeof(StyledTextPrinterObject));
  definition->mFinalizer = {Fn(&StyledTextDestructor), "StyledTextDestructor"};
  definition->SetInstanceVariables(BuildPropertyList(kProperties, 2));
  SetMethodList(definition, kMethods, 1);
  return definition;
}

}  // namespace

ObjectDefinition* GetStyledTextPrinterClassDefinition() {
  static ObjectDefinition* definition = BuildPrinterDefinition();
  return definition;
}

RuntimeObject* NewStyledTextPrinterObject(RuntimeObject* graphics, int32_t width, std::string_view text,
                                          const std::vector<TextStyleRecord>& styles) {
  if (!graphics) return nullptr;
  RuntimeObject* object = CreateInstanceFromDefinition(GetStyledTextPrinterClassDefinition());
  StyledTextPrinterObject* printer = AsPrinter(object);
  if (!printer) return nullptr;
  RuntimeLockObject(graphics);
  printer->graphics = graphics;
  printer->width = width;
  printer->layout = new StyledTextLayout(text, styles);
  return object;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void StyledTextDestructor(VornRuntimeObject* self) {
  StyledTextPrinterObject* printer = AsPrinter(self);
  if (!printer) return;
  delete printer->layout;
  printer->layout = nullptr;
  RuntimeObject* graphics = printer->graphics;
  printer->graphics = nullptr;
  RuntimeUnlockObject(graphics);
}

uint8_t styledPrinterEOF(VornRuntimeObject* self, int32_t) {
  StyledTextPrinterObject* printer = AsPrinter(self);
  return !printer || !printer->layout || printer->layout->AtEnd() ? 1 : 0;
}

void styledPrinterWidthSetter(VornRuntimeObject* self, int32_t, int32_t width) {
  if (StyledTextPrinterObject* printer = AsPrinter(self)) printer->width = width;
}

void styledPrinterDrawBlock(VornRuntimeObject* self, int32_t x, int32_t y, int32_t height) {
  StyledTextPrinterObject* printer = AsPrinter(self);
  if (!printer || !printer->layout) return;
  Graphics* port = GraphicsObjectPort(printer->graphics);
  // Without a port nothing could ever be drawn, and a loop waiting for EOF would not end.
  if (!port && !printer->layout->AtEnd()) {
    RuntimeRaiseNilObjectException();
    return;
  }
  printer->layout->DrawBlock(port, x, y, printer->width, height);
}

}  // extern "C"
