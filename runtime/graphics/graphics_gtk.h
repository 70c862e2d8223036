// The drawing port of this platform: draws into the target's GdkDrawable with its GdkGC,
// lays out and measures text with Pango, reads pixels and draws stock icons with GdkPixbuf.
#pragma once

#include <vector>

#include <string>

#include "graphics/graphics.h"

struct _PangoContext;
struct _PangoLayout;
struct _PangoFontDescription;

namespace vorn {

class GraphicsGTK : public Graphics {
 public:
  explicit GraphicsGTK(GraphicsTarget* target);
  ~GraphicsGTK() override;

  _GdkDrawable* GetGdkDrawable();
  // The target's GC, carrying the fore colour from the first time it is asked for.
  _GdkGC* GetGC();

  bool HasClip() override { return mClip != nullptr; }
  void UpdateLayout() override;
  void SetClipRect(const Rect& rect) override;
  const Rect* GetClipRect() const override { return mClip; }
  // A clip as GetClipRect gave it (origin removed) becomes the clip again; nil removes it.
  void RestoreClip(const Rect* clip) override;
  void ResetPenSize() override;
  void SetForeColor(const RGB48& color) override;
  void DrawRect(const Rect& rect) override;
  void FillRect(const Rect& rect) override;
  void PaintRect(const Rect& rect) override;
  void ClearRect(const Rect& rect) override;
  void DrawRoundRect(const Rect& rect, int32_t arcWidth, int32_t arcHeight) override;
  void FillRoundRect(const Rect& rect, int32_t arcWidth, int32_t arcHeight) override;
  void DrawOval(const Rect& rect) override;
  void FillOval(const Rect& rect) override;
  void LineTo(int32_t h, int32_t v) override;
  void DrawPolygon(const int32_t* elements, int32_t upperBound, bool fill) override;
  void SetTextFont(const string& font) override;
  void SetTextSize(int32_t size) override;
  void SetTextStyle(uint8_t style) override;
  void DrawText(const string& text, int32_t h, int32_t v, int32_t flag) override;
  int32_t StringWidth(const string& text) override;
  int32_t FontAscent() override;
  int32_t FontDescent() override;
  int32_t TextHeight() override;
  int32_t StringHeight(const string& text, int32_t wrapWidth) override;
  void DrawWrappedText(const string& text, const Rect& rect, int32_t alignment) override;
  void DrawIcon(int32_t kind, int32_t h, int32_t v, int32_t width, int32_t height) override;
  void GetPixel(int32_t h, int32_t v, RGB48* out) override;
  void SetPixel(int32_t h, int32_t v, const RGB48& color) override;
  void DrawFocusRing(const Rect& rect) override;

  // Port coordinates to the drawable's: the origin subtracted, the target's offset in its
  // drawable added, then normalised.
  Rect ToDeviceRect(const Rect& rect) const;
  void ToDevicePoint(int32_t* h, int32_t* v) const;
  // How many times the layout was rebuilt; lets callers check that it is kept.
  int32_t LayoutBuildCount() const { return mLayoutBuilds; }

 private:
  struct DeviceBox {
    int32_t left, top, right, bottom;
  };
  DeviceBox ToDeviceBox(const Rect& rect) const;
  void DeviceOffset(int32_t* dh, int32_t* dv) const;
  void ApplyClip(const Rect& paneRect);
  void ApplyForeColor(_GdkDrawable* drawable, _GdkGC* gc);
  void LoadMetrics();
  void SetLayoutText(const string& text);
  // A layout of the current font holding the text, shaped once and kept among the last few.
  _PangoLayout* ShapedLayout(const string& text);
  void ForgetShapedLayouts();
  void RoundRect(const Rect& rect, int32_t arcWidth, int32_t arcHeight, bool fill);

  _PangoFontDescription* mFontDescription = nullptr;
  Rect* mClip = nullptr;
  bool mForegroundAllocated = false;
  bool mLayoutValid = false;
  bool mMetricsValid = false;
  int32_t mAscent = 0;
  int32_t mDescent = 0;
  int32_t mHeight = 0;
  _PangoContext* mContext = nullptr;
  _PangoLayout* mLayout = nullptr;
  int32_t mLayoutBuilds = 0;
  struct ShapedText {
    std::string text;
    _PangoLayout* layout;
  };
  std::vector<ShapedText> mShaped;
  size_t mNextShaped = 0;
};

}  // namespace vorn
