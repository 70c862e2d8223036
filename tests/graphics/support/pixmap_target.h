// An offscreen target for GUI tests and measurements: a white GdkPixmap of the screen's
// depth with the screen's colormap, read back pixel by pixel.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/graphics_target.h"

struct _GdkImage;

namespace vorn::testing {

// Opens the display once; false when there is none.
bool EnsureGtk();

class PixmapTarget : public GraphicsTarget {
 public:
  PixmapTarget(int32_t width, int32_t height);
  ~PixmapTarget() override;

  _GdkDrawable* GetGdkDrawable() override;
  _GdkGC* NewGC() override { return mGC; }
  Rect GetPaneBounds() const override { return MakeRect(0, 0, mWidth, mHeight); }

  // &hRRGGBB of the pixel as stored in the pixmap.
  uint32_t PixelAt(int32_t x, int32_t y);
  // Reads the whole pixmap once; PixelAt uses the copy until the next Snapshot.
  void Snapshot();
  bool SavePNG(const std::string& path);
  int32_t Width() const { return mWidth; }
  int32_t Height() const { return mHeight; }

 private:
  int32_t mWidth;
  int32_t mHeight;
  _GdkDrawable* mPixmap = nullptr;
  _GdkGC* mGC = nullptr;
  _GdkImage* mImage = nullptr;
};

}  // namespace vorn::testing
