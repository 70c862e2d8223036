// Text placed into a given width: fitting, condensing and cutting, numbers, printed lines.
#include <cmath>
#include <string>

#include "graphics/graphics.h"
#include "strings/c_number_text.h"

namespace vorn {

namespace {

bool IsBlank(uint8_t byte) { return byte == ' ' || byte == '\t'; }

// Moves n back to the start of the character it falls in.
int32_t ToCharacterBoundary(const string& text, int32_t n) {
  const EncodingCode encoding = text.Encoding();
  if (encoding == kEncodingUTF8) {
    while (n > 0 && n < text.Length() && (text.Byte(n) & 0xC0) == 0x80) --n;
  } else if (encoding == kEncodingUTF16) {
    if (n & 1) --n;
  }
  // Every other encoding this platform tags text with is a single-byte set or one whose
  // system lead bytes do not exist here (the system set is UTF-8), so n is a boundary.
  return n;
}

// The first character boundary after the boundary n.
int32_t NextCharacterBoundary(const string& text, int32_t n) {
  if (text.Encoding() == kEncodingUTF16) return n + 2;
  ++n;
  if (text.Encoding() == kEncodingUTF8) {
    while (n < text.Length() && (text.Byte(n) & 0xC0) == 0x80) ++n;
  }
  return n;
}

struct GuessFactors {
  double factor;
  int32_t step;
};

GuessFactors FactorsFor(EncodingCode encoding) {
  if (encoding == kEncodingASCII) return {1.0, 1};
  if (encoding == kEncodingUTF8) return {1.1, 6};
  if (encoding == kEncodingUTF16) return {2.0, 2};
  return {1.8, 2};
}

// The search keeps lo, the longest prefix measured to fit (0 fits by definition), and hi,
// the shortest measured not to; both are character boundaries.
class PrefixSearch {
 public:
  PrefixSearch(Graphics* port, const string& text, int32_t width)
      : mPort(port), mText(text), mWidth(width), mHi(text.Length()) {}

  // Measures the prefix of n bytes (moved to a boundary) when it lies strictly between lo
  // and hi; answers whether it fitted, or nothing when it was not measured.
  enum class Probe { kFits, kTooWide, kSkipped };
  Probe Try(int32_t n) {
    n = ToCharacterBoundary(mText, n);
    if (n <= mLo || n >= mHi) return Probe::kSkipped;
    if (mPort->StringWidth(mText.Left(n)) < mWidth) {
      mLo = n;
      return Probe::kFits;
    }
    mHi = n;
    return Probe::kTooWide;
  }

  int32_t Lo() const { return mLo; }
  int32_t Hi() const { return mHi; }

 private:
  Graphics* mPort;
  const string& mText;
  int32_t mWidth;
  int32_t mLo = 0;
  int32_t mHi;
};

}  // namespace

int32_t FitStringLength(Graphics* port, const string& text, int32_t width, bool wordBreak) {
  const int32_t length = text.Length();
  if (!port || length == 0) return 0;
  if (port->StringWidth(text) < width) return length;
  if (width <= 0) return 0;

  // A first guess from the width of an "a", then steps that double away from it until the
  // answer is bracketed, then halving. Every position taken is measured, so a guess that is
  // far off costs time but never gives a prefix wider than the width.
  const GuessFactors f = FactorsFor(text.Encoding());
  int32_t step = f.step;
  const double perByte = port->StringWidth(string("a")) * f.factor;
  int32_t guess = 0;
  if (perByte > 0) {
    const double g = std::trunc(width / perByte);
    guess = g >= length ? length : static_cast<int32_t>(g);
  }

  PrefixSearch search(port, text, width);
  const PrefixSearch::Probe first = search.Try(guess);
  if (first == PrefixSearch::Probe::kFits) {
    while (search.Lo() + step < search.Hi() &&
           search.Try(search.Lo() + step) == PrefixSearch::Probe::kFits) {
      step *= 2;
    }
  } else if (first == PrefixSearch::Probe::kTooWide) {
    while (search.Hi() - step > search.Lo() &&
           search.Try(search.Hi() - step) == PrefixSearch::Probe::kTooWide) {
      step *= 2;
    }
  }
  for (;;) {
    int32_t n = ToCharacterBoundary(text, (search.Lo() + search.Hi()) / 2);
    if (n <= search.Lo()) n = NextCharacterBoundary(text, search.Lo());
    if (n >= search.Hi()) break;
    search.Try(n);
  }
  int32_t lo = search.Lo();

  if (wordBreak) {
    for (int32_t i = lo; i >= 1; --i) {
      if (i < length && IsBlank(text.Byte(i))) {
        lo = i;
        break;
      }
    }
    while (lo < length && IsBlank(text.Byte(lo))) ++lo;
  }
  return lo;
}

namespace {

// Applies the condense bit when the text is too wide; answers the width then measured.
int32_t MeasureCondensed(Graphics* port, const string& text, int32_t width, uint8_t style) {
  int32_t w = port->StringWidth(text);
  if (w > width) {
    port->SetTextStyle(static_cast<uint8_t>(style | kStyleCondense));
    w = port->StringWidth(text);
  }
  return w;
}

}  // namespace

void DrawCondensedString(Graphics* port, const string& text, int32_t h, int32_t v,
                         int32_t width, const string& ellipsis, int32_t flag) {
  if (!port || !port->Target()) return;
  const uint8_t style = port->TextStyleBits();
  port->UpdateLayout();

  string shown = text;
  bool cut = false;
  int32_t w = MeasureCondensed(port, shown, width, style);
  if (w > width) {
    const int32_t e = port->StringWidth(ellipsis);
    if (e >= width) {
      shown = string();
    } else {
      shown = shown.Left(FitStringLength(port, shown, width - e, false));
      cut = true;
      w = port->StringWidth(shown);
    }
  }
  if (!shown.IsEmpty()) port->DrawText(shown, h, v, flag);
  if (cut) port->DrawText(ellipsis, h + w, v, flag);
  port->SetTextStyle(style);
}

namespace {

// Fixed notation with `decimals` digits after the point (mode 0), or the short form of
// mode -1: scientific notation for magnitudes above 1e6 or below 1e-5, else fixed with
// `digits` significant digits and no trailing zeros.
string FormatNumber(double value, int32_t mode, int32_t digits) {
  if (!std::isfinite(value)) return string(std::isnan(value) ? "NAN" : value < 0 ? "-INF" : "INF");
  if (digits < 0) digits = 0;
  if (digits > 20) digits = 20;
  if (mode == 0) return string(WriteCNumber(value, 'f', digits).c_str());
  const double magnitude = std::fabs(value);
  const int32_t significant = digits < 1 ? 1 : digits;
  if (magnitude > 1e6 || (magnitude > 0 && magnitude < 1e-5)) {
    return string(WriteCNumber(value, 'e', significant - 1).c_str());
  }
  int32_t decimals = 0;
  if (magnitude > 0) {
    decimals = significant - 1 - static_cast<int32_t>(std::floor(std::log10(magnitude)));
    if (decimals < 0) decimals = 0;
  }
  std::string text = WriteCNumber(value, 'f', decimals);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  return string(text.c_str());
}

}  // namespace

void DrawNumberInWidth(Graphics* port, double value, int32_t digits, int32_t h, int32_t v,
                       int32_t width) {
  if (!port || !port->Target()) return;
  const uint8_t style = port->TextStyleBits();
  string text = FormatNumber(value, -1, digits);
  if (MeasureCondensed(port, text, width, style) > width) {
    int32_t d = digits - 1 < 0 ? 0 : digits - 1;
    text = FormatNumber(value, 0, d);
    while (!text.IsEmpty() && port->StringWidth(text) > width) {
      if (d > 0) {
        --d;
        text = FormatNumber(value, 0, d);
      } else {
        // Dropping leading digits would show a different number: mark the overflow instead.
        text = string("#");
        if (port->StringWidth(text) > width) text = string();
        break;
      }
    }
  }
  if (!text.IsEmpty()) port->DrawText(text, h, v, 0);
  port->SetTextStyle(style);
}

int32_t PrintTextLine(Graphics* port, const string& text, int32_t h, int32_t vOffset) {
  if (!port) return 0;
  GraphicsTarget* target = port->Target();
  const int32_t lineHeight = port->TextHeight();
  const int32_t bottom =
      lineHeight + port->PenV() + vOffset - port->OriginV() + port->LineMargin();
  const Rect bounds = target ? target->GetPaneBounds() : Rect{};
  int32_t usable = (bounds.bottom - bounds.top) - port->LineMargin();
  PageHandler* pages = port->GetPageHandler();
  if (pages) usable -= pages->FooterHeight();
  if (bottom > usable) {
    if (target) target->Erase();
    port->SetPenPosition(port->PenH(), 0);
    if (pages) {
      pages->StartNewPage(port, usable);
      port->SetPenPosition(port->PenH(), pages->HeaderHeight());
    }
  }
  port->DrawText(text, h + port->LineMargin(),
                 port->PenV() - port->OriginV() + port->FontAscent() + port->LineMargin(), 0);
  port->SetPenPosition(port->PenH(), port->PenV() + lineHeight);
  return lineHeight;
}

}  // namespace vorn
