// The drawing port: the one object through which panes, offscreen pictures, printed pages,
// controls and shapes draw. The base class keeps the drawing state and draws nothing; the
// GDK port (GraphicsGTK) does the drawing. Ports are made with NewGraphics only.
#pragma once

#include <cstdint>

#include "graphics/color_types.h"
#include "graphics/graphics_target.h"
#include "graphics/rect.h"
#include "graphics/text_style.h"
#include "strings/vstring.h"

namespace vorn {

class Drawable;
class Graphics;

// Optional helper of PrintTextLine that knows the page layout of a print job.
class PageHandler {
 public:
  virtual ~PageHandler();
  virtual int32_t HeaderHeight() = 0;
  virtual int32_t FooterHeight() = 0;
  virtual void StartNewPage(Graphics* port, int32_t usableHeight) = 0;
};

// Kinds of SetStandardPattern.
enum StandardPattern : int32_t {
  kPatternGrey = 1,          // 0x55, 0xAA alternating
  kPatternHorizontal = 2,    // 0xFF, 0x00 alternating
  kPatternVertical = 3,      // 0xAA on every row
};

enum DrawIconKind : int32_t { kIconStop = 0, kIconNote = 1, kIconCaution = 2, kIconQuestion = 3 };

// Alignment of DrawWrappedText; other values keep the layout's alignment.
enum TextAlignment : int32_t { kAlignDefault = 0, kAlignCenter = 1, kAlignRight = 2 };

class Graphics {
 public:
  explicit Graphics(GraphicsTarget* target);
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // Recomputes the effective pattern from the pattern, the origin and the pattern phase.
  virtual void UpdatePenPattern();
  virtual ~Graphics();

  virtual bool SupportsTranslucency() { return mTranslucent; }
  virtual bool HasClip() { return false; }
  // Brings the text layout up to date with font, size and style.
  virtual void UpdateLayout() {}
  virtual void SetClipRect(const Rect& rect);
  virtual void SetPattern(const uint8_t pattern[8]);
  virtual void SetStandardPattern(int32_t kind);
  virtual void SetModeValue(int32_t value) { mModeValue = value; }
  virtual void SetPenSize(int32_t width, int32_t height);
  virtual void ResetPenSize() {}
  virtual void SetForeColor(const RGB48& color) { mForeColor = color; }
  virtual void SetBackColor(const RGB48& color) { mBackColor = color; }
  virtual void DrawRect(const Rect& rect);
  virtual void FillRect(const Rect& rect);
  virtual void PaintRect(const Rect& rect);
  virtual void ClearRect(const Rect& rect);
  virtual void DrawRoundRect(const Rect& rect, int32_t arcWidth, int32_t arcHeight);
  virtual void FillRoundRect(const Rect& rect, int32_t arcWidth, int32_t arcHeight);
  virtual void DrawOval(const Rect& rect);
  virtual void FillOval(const Rect& rect);
  virtual void MoveTo(int32_t h, int32_t v);
  virtual void LineTo(int32_t h, int32_t v);
  // elements is a language Integer array with upper bound upperBound: point k (from 1) is
  // (elements[2k - 1], elements[2k]); element 0 and an odd last element are not used.
  virtual void DrawPolygon(const int32_t* elements, int32_t upperBound, bool fill);
  virtual void SetTextFontFrom(const TextStyle& style);
  virtual void SetTextFont(const string& font) { mTextFont = font; }
  virtual void SetTextSize(int32_t size) { mTextSize = size; }
  virtual void SetTextStyle(uint8_t style) { mTextStyle = style; }
  // v is the baseline; flag is kept for callers and not read.
  virtual void DrawText(const string& text, int32_t h, int32_t v, int32_t flag);
  virtual int32_t StringWidth(const string& text);
  virtual int32_t DefaultTextDirection() { return -1; }
  virtual int32_t StringDirection(const string& text);
  virtual int32_t FontAscent() { return -1; }
  virtual int32_t FontDescent() { return -1; }
  virtual int32_t TextHeight() { return -1; }
  // Picture drawing: the drawable's source rectangle (sx, sy, sw, sh) into the destination at
  // (h, v) in port coordinates; with the mask flag white is left out unless the drawable has
  // a mask of its own. The part forms draw at the source's size.
  virtual void DrawPicturePart(int32_t h, int32_t v, Drawable* drawable, int32_t sx, int32_t sy, int32_t sw,
                               int32_t sh, bool maskFlag);
  virtual void DrawPicture(int32_t h, int32_t v, int32_t width, int32_t height, Drawable* drawable, int32_t sx,
                           int32_t sy, int32_t sw, int32_t sh, bool maskFlag);
  virtual void DrawPicturePartMasked(int32_t h, int32_t v, Drawable* drawable, int32_t sx, int32_t sy, int32_t sw,
                                     int32_t sh);
  virtual int32_t StringHeight(const string& text, int32_t wrapWidth);
  virtual void DrawWrappedText(const string& text, const Rect& rect, int32_t alignment);
  virtual void DrawIcon(int32_t kind, int32_t h, int32_t v, int32_t width, int32_t height);
  // Leaves out unchanged when there is no pixel to read.
  virtual void GetPixel(int32_t h, int32_t v, RGB48* out);
  virtual void SetPixel(int32_t h, int32_t v, const RGB48& color);
  virtual void DrawFocusRing(const Rect& rect);
  // The clip as set (origin removed), nil for none; ClipSaver keeps and gives it back.
  virtual const Rect* GetClipRect() const { return nullptr; }
  virtual void RestoreClip(const Rect* clip);

  // --- non-virtual state ---
  void SetOrigin(int32_t h, int32_t v);
  void SetPatternOffset(int32_t h, int32_t v);

  GraphicsTarget* Target() const { return mTarget; }
  bool IsPrinting() const { return mPrinting; }
  void SetPrinting(bool printing) { mPrinting = printing; }
  const string& TextFont() const { return mTextFont; }
  int32_t TextSize() const { return mTextSize; }
  uint8_t TextStyleBits() const { return mTextStyle; }
  int32_t PenWidth() const { return mPenWidth; }
  int32_t PenHeight() const { return mPenHeight; }
  int32_t ModeValue() const { return mModeValue; }
  float Opacity() const { return mOpacity; }
  void SetOpacity(float opacity) { mOpacity = opacity; }
  const RGB48& ForeColor() const { return mForeColor; }
  const RGB48& BackColor() const { return mBackColor; }
  int32_t PenH() const { return mPenH; }
  int32_t PenV() const { return mPenV; }
  void SetPenPosition(int32_t h, int32_t v) {
    mPenH = h;
    mPenV = v;
  }
  int32_t OriginH() const { return mOriginH; }
  int32_t OriginV() const { return mOriginV; }
  int32_t LineMargin() const { return mLineMargin; }
  void SetLineMargin(int32_t margin) { mLineMargin = margin; }
  const uint8_t* Pattern() const { return mPattern; }
  const uint8_t* EffectivePattern() const { return mEffectivePattern; }
  bool OwnsPane() const { return mOwnsPane; }
  void SetOwnsPane(bool owns) { mOwnsPane = owns; }
  PageHandler* GetPageHandler() const { return mPageHandler; }
  // The port takes the handler over and deletes it with itself.
  void SetPageHandler(PageHandler* handler);

 protected:
  GraphicsTarget* mTarget;
  bool mPrinting = false;
  bool mTranslucent = false;
  string mTextFont;
  int32_t mTextSize = 12;
  uint8_t mTextStyle = 0;
  int32_t mPenWidth = 1;
  int32_t mPenHeight = 1;
  int32_t mModeValue = 0;
  float mOpacity = 1.0f;
  RGB48 mForeColor = kBlack48;
  RGB48 mBackColor = kWhite48;
  int32_t mPenH = 0;
  int32_t mPenV = 0;
  int32_t mOriginH = 0;
  int32_t mOriginV = 0;
  int32_t mLineMargin = 0;
  int32_t mPatternPhaseH = 0;
  int32_t mPatternPhaseV = 0;
  uint8_t mPattern[8] = {};
  uint8_t mEffectivePattern[8] = {};
  bool mOwnsPane = false;
  PageHandler* mPageHandler = nullptr;
};

// The only way ports are made: a GDK port on the target (nil allowed: it draws nothing).
Graphics* NewGraphics(GraphicsTarget* target);
// Deletes a port; nil is ignored.
void DisposeGraphics(Graphics* port);

// The port the pane layer registered as currently drawing; a port clears it when it dies.
Graphics* GetCurrentDrawingPort();
void SetCurrentDrawingPort(Graphics* port);

// in with the port's origin subtracted.
void GraphicsToPaneRect(const Graphics* port, Rect* out, const Rect& in);

// Byte count of the longest prefix of text narrower than width, never inside a character.
// With wordBreak the cut moves back to the last blank or tab, and the blanks after the cut
// stay on this line.
int32_t FitStringLength(Graphics* port, const string& text, int32_t width, bool wordBreak);

// One line, condensed and then cut with the ellipsis when it is wider than width.
void DrawCondensedString(Graphics* port, const string& text, int32_t h, int32_t v,
                         int32_t width, const string& ellipsis, int32_t flag);

// The value with as many of its digits after the point as fit in width; "#" when not even
// its integer part fits.
void DrawNumberInWidth(Graphics* port, double value, int32_t digits, int32_t h, int32_t v,
                       int32_t width);

// Draws one line at the pen position, starting a new page first when it would not fit;
// answers the line height.
int32_t PrintTextLine(Graphics* port, const string& text, int32_t h, int32_t vOffset);

// 0 at start-up; set to 1 by EnableCoreGraphicsTextOnOSX. Nothing on this platform reads it.
extern int32_t graphicsDefaultsFlag;

}  // namespace vorn

extern "C" void EnableCoreGraphicsTextOnOSX();
