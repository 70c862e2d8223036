// The bitmap drawable: an offscreen GdkPixmap of the screen's depth that drawing ports draw
// into like any pane, with a cached pixbuf of its pixels for transparency, scaling and pixel
// reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "graphics/drawable.h"
#include "graphics/graphics_target.h"

struct _GdkPixbuf;

namespace vorn {

class DrawablePane : public Drawable, public GraphicsTarget {
 public:
  // A white bitmap of the bounds' size (at least 1 x 1 pixels, reported as given). Sizes
  // beyond what a pixmap can hold leave it invalid.
  DrawablePane(const Rect& bounds, int32_t depth);

  // False when no pixmap could be made (no display, too large).
  bool IsValid() const { return mPixmap != nullptr; }
  int32_t Width() const { return mWidth; }
  int32_t Height() const { return mHeight; }
  _GdkDrawable* Pixmap() const { return mPixmap; }
  _GdkGC* GC() const { return mGC; }

  // The whole bitmap as an RGB pixbuf with alpha, made on first use and kept until the next
  // drawing; nil for an empty or invalid pane. The pane keeps the pixbuf.
  _GdkPixbuf* GetPixbuf();
  // A fresh RGB-with-alpha pixbuf of part of the bitmap (the caller's); nil when empty.
  _GdkPixbuf* ReadPixbuf(int32_t left, int32_t top, int32_t width, int32_t height) const;
  // Draws the pixbuf's RGB into the bitmap at (left, top).
  void WritePixbuf(_GdkPixbuf* pixbuf, int32_t left, int32_t top);
  // The whole bitmap white again, as new; the drawing GC is left white.
  void FillWhite();
  // One pixel written straight into the pixmap (&hRRGGBB); the drawing GC keeps its colour.
  void SetPixel(int32_t x, int32_t y, uint32_t color);

  // Drawable
  void WillDelete() override;
  void PrepareToDraw() override { DropPixbuf(); }
  bool IsDrawablePane() const override { return true; }
  DrawablePane* AsDrawablePane() override { return this; }
  void GetSize(int32_t* width, int32_t* height) const override;
  void GetDescription(DrawableDescription* description) override;
  bool GetDescriptionOfKind(DrawableDescription* description, int32_t kind) override;
  void DrawWhole(Graphics* port, const Rect& destination, bool maskFlag) override;
  void CopyTo(Graphics* port, const Rect& source, const Rect& destination, bool inWindow,
              bool maskFlag) override;
  Graphics* NewGraphics() override;
  int32_t NativeWord() const override { return mNativeWord; }

  // GraphicsTarget
  _GdkDrawable* GetGdkDrawable() override { return mPixmap; }
  _GdkGC* NewGC() override { return mGC; }
  Rect GetPaneBounds() const override { return mBounds; }

 protected:
  ~DrawablePane() override;

 private:
  void DropPixbuf();

  Rect mBounds;
  int32_t mWidth;
  int32_t mHeight;
  _GdkDrawable* mPixmap = nullptr;
  _GdkGC* mGC = nullptr;
  _GdkGC* mPixelGC = nullptr;
  _GdkPixbuf* mPixbuf = nullptr;
  int32_t mNativeWord = 0;
};

// A new white bitmap of width x height at (0, 0); nil when no pixmap can be made (one
// reference for the caller).
DrawablePane* NewDrawablePane(int32_t width, int32_t height, int32_t depth);

// A bitmap file held in memory as a new 24-bit bitmap (one reference for the caller); nil for
// nil data or data that does not decode, with the reason in error when asked. A header size
// other than 12 or 40 and more is also reported as an internal error.
DrawablePane* DrawableFromBMP(const void* data, size_t length, std::string* error = nullptr);

}  // namespace vorn
