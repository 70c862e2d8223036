#include "graphics/graphics.h"

#include <cstring>

namespace vorn {

int32_t graphicsDefaultsFlag = 0;

namespace {
Graphics* sCurrentDrawingPort = nullptr;
}  // namespace

PageHandler::~PageHandler() = default;

Graphics::Graphics(GraphicsTarget* target) : mTarget(target), mTextFont("System") {}

Graphics::~Graphics() {
  if (sCurrentDrawingPort == this) sCurrentDrawingPort = nullptr;
  if (mOwnsPane) delete mTarget;
  delete mPageHandler;
  mPageHandler = nullptr;
  mTarget = nullptr;
}

void Graphics::UpdatePenPattern() {
  const int sv = (mPatternPhaseV + mOriginV) & 7;
  const int sh = (mPatternPhaseH + mOriginH) & 7;
  uint8_t rows[8];
  for (int i = 0; i < 8; ++i) rows[i] = mPattern[(sv + i) & 7];
  for (int i = 0; i < 8; ++i) {
    // A rotation left by sh within the byte.
    const unsigned b = static_cast<unsigned>(rows[i]) << sh;
    mEffectivePattern[i] = static_cast<uint8_t>((b | (b >> 8)) & 0xFF);
  }
}

void Graphics::SetClipRect(const Rect&) {}

void Graphics::SetPattern(const uint8_t pattern[8]) {
  std::memcpy(mPattern, pattern, sizeof mPattern);
  UpdatePenPattern();
}

void Graphics::SetStandardPattern(int32_t kind) {
  for (int i = 0; i < 8; ++i) {
    switch (kind) {
      case kPatternGrey: mPattern[i] = (i & 1) ? 0xAA : 0x55; break;
      case kPatternHorizontal: mPattern[i] = (i & 1) ? 0x00 : 0xFF; break;
      case kPatternVertical: mPattern[i] = 0xAA; break;
      default: mPattern[i] = 0xFF; break;
    }
  }
  UpdatePenPattern();
}

void Graphics::SetPenSize(int32_t width, int32_t height) {
  mPenWidth = width;
  mPenHeight = height;
}

void Graphics::DrawRect(const Rect&) {}
void Graphics::FillRect(const Rect&) {}
void Graphics::PaintRect(const Rect&) {}
void Graphics::ClearRect(const Rect&) {}
void Graphics::DrawRoundRect(const Rect&, int32_t, int32_t) {}
void Graphics::FillRoundRect(const Rect&, int32_t, int32_t) {}
void Graphics::DrawOval(const Rect&) {}
void Graphics::FillOval(const Rect&) {}

void Graphics::MoveTo(int32_t h, int32_t v) {
  mPenH = h;
  mPenV = v;
}

void Graphics::LineTo(int32_t, int32_t) {}
void Graphics::DrawPolygon(const int32_t*, int32_t, bool) {}

void Graphics::SetTextFontFrom(const TextStyle& style) {
  SetTextFont(style.mFontName);
  SetTextSize(style.mSize);
  SetTextStyle(style.GetStyleBits());
}

void Graphics::DrawText(const string&, int32_t, int32_t, int32_t) {}
int32_t Graphics::StringWidth(const string&) { return -1; }

int32_t Graphics::StringDirection(const string& text) {
  return text.IsEmpty() ? DefaultTextDirection() : -1;
}

int32_t Graphics::StringHeight(const string&, int32_t) { return -1; }
void Graphics::DrawWrappedText(const string&, const Rect&, int32_t) {}
void Graphics::DrawIcon(int32_t, int32_t, int32_t, int32_t, int32_t) {}
void Graphics::GetPixel(int32_t, int32_t, RGB48*) {}
void Graphics::SetPixel(int32_t, int32_t, const RGB48&) {}
void Graphics::DrawFocusRing(const Rect&) {}
void Graphics::RestoreClip(const Rect*) {}

void Graphics::SetOrigin(int32_t h, int32_t v) {
  mOriginH = h;
  mOriginV = v;
  UpdatePenPattern();
}

void Graphics::SetPatternOffset(int32_t h, int32_t v) {
  mPatternPhaseH = h;
  mPatternPhaseV = v;
  UpdatePenPattern();
}

void Graphics::SetPageHandler(PageHandler* handler) {
  if (handler == mPageHandler) return;
  delete mPageHandler;
  mPageHandler = handler;
}

void DisposeGraphics(Graphics* port) { delete port; }

Graphics* GetCurrentDrawingPort() { return sCurrentDrawingPort; }
void SetCurrentDrawingPort(Graphics* port) { sCurrentDrawingPort = port; }

void GraphicsToPaneRect(const Graphics* port, Rect* out, const Rect& in) {
  if (!out) return;
  *out = in;
  if (!port) return;
  out->left = PinToInt16(in.left - port->OriginH());
  out->right = PinToInt16(in.right - port->OriginH());
  out->top = PinToInt16(in.top - port->OriginV());
  out->bottom = PinToInt16(in.bottom - port->OriginV());
}

}  // namespace vorn

extern "C" void EnableCoreGraphicsTextOnOSX() { vorn::graphicsDefaultsFlag = 1; }
