// A drawing port that measures text with fixed widths and records the lines, rectangles,
// ovals and texts it is asked to draw, with the colour and pen of each; the chart tests check
// the picture through it without a display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "objects/runtime_object.h"

namespace vorn::testing {

struct RecordedLine {
  int32_t x1, y1, x2, y2;
  uint32_t color;
  int32_t pen;
};

struct RecordedShape {
  std::string kind;  // "DrawRect", "FillRect", "DrawOval", "FillOval"
  Rect rect;
  uint32_t color;
};

struct RecordedText {
  std::string text;
  int32_t x, baseline;
  uint32_t color;
};

class ChartRecordingPort : public Graphics {
 public:
  static constexpr int32_t kCharWidth = 7;
  static constexpr int32_t kAscent = 9;
  static constexpr int32_t kLineHeight = 12;

  ChartRecordingPort();
  ~ChartRecordingPort() override;

  void LineTo(int32_t h, int32_t v) override;
  void DrawRect(const Rect& r) override { Shape("DrawRect", r); }
  void FillRect(const Rect& r) override { Shape("FillRect", r); }
  void DrawOval(const Rect& r) override { Shape("DrawOval", r); }
  void FillOval(const Rect& r) override { Shape("FillOval", r); }
  void DrawText(const string& text, int32_t h, int32_t v, int32_t flag) override;
  int32_t StringWidth(const string& text) override { return text.Length() * kCharWidth; }
  int32_t FontAscent() override { return kAscent; }
  int32_t TextHeight() override { return kLineHeight; }

  std::vector<RecordedLine> mLines;
  std::vector<RecordedShape> mShapes;
  std::vector<RecordedText> mTexts;

 private:
  void Shape(const char* kind, const Rect& r);
  GraphicsTarget* mOwnTarget;
};

// A language Graphics object over a new recording port; the port stays valid while the
// object lives. Release the object with RuntimeUnlockObject.
RuntimeObject* NewRecordingGraphics(ChartRecordingPort** port);

}  // namespace vorn::testing
