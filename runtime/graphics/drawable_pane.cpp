#include "graphics/drawable_pane.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "graphics/bmp_decoder.h"
#include "graphics/graphics_gtk.h"

namespace vorn {

namespace {

// The colormap bitmaps are made for: the screen's own, so that RGB data and pixbufs can be
// drawn into them and read back.
GdkColormap* BitmapColormap() {
  GdkScreen* screen = gdk_screen_get_default();
  return screen ? gdk_screen_get_system_colormap(screen) : nullptr;
}

// A pixmap of the screen's depth, nil when there is no display or the size is beyond what
// the server should be asked for. The server's own refusal is trapped rather than fatal.
GdkPixmap* NewPixmap(int32_t width, int32_t height) {
  GdkColormap* colormap = BitmapColormap();
  if (!colormap) return nullptr;
  if (width > kMaxBitmapSide || height > kMaxBitmapSide || int64_t{width} * height > kMaxBitmapPixels) {
    return nullptr;
  }
  gdk_error_trap_push();
  GdkPixmap* pixmap = gdk_pixmap_new(nullptr, width, height, gdk_visual_get_depth(gdk_colormap_get_visual(colormap)));
  if (pixmap) gdk_drawable_set_colormap(pixmap, colormap);
  gdk_flush();
  if (gdk_error_trap_pop() != 0 && pixmap) {
    g_object_unref(pixmap);
    pixmap = nullptr;
  }
  return pixmap;
}

void SetForeground(GdkDrawable* drawable, GdkGC* gc, uint16_t red, uint16_t green, uint16_t blue) {
  GdkColor color = {0, red, green, blue};
  gdk_colormap_alloc_color(gdk_drawable_get_colormap(drawable), &color, FALSE, TRUE);
  gdk_gc_set_foreground(gc, &color);
}

struct Box {
  int32_t left, top, width, height;
};

// Where the destination lands in the port's drawable: the device rectangle of the
// destination (whose origin is already removed), its right and bottom kept inside the pane
// the port draws for and inside the port's clip.
Box DeviceBoxFor(GraphicsGTK* port, const Rect& destination) {
  auto toDevice = [port](const Rect& r) {
    Rect d = port->ToDeviceRect(r);
    return Box{d.left + port->OriginH(), d.top + port->OriginV(), RectWidth(d), RectHeight(d)};
  };
  Box box = toDevice(destination);
  int32_t right = box.left + box.width;
  int32_t bottom = box.top + box.height;
  GraphicsTarget* target = port->Target();
  if (target && target->Placement() == TargetPlacement::kInWindow) {
    const Rect bounds = target->GetPaneBounds();
    right = std::min<int32_t>(right, bounds.right);
    bottom = std::min<int32_t>(bottom, bounds.bottom + target->MenuBarHeight());
  }
  if (const Rect* clip = port->GetClipRect()) {
    const Box c = toDevice(*clip);
    right = std::min(right, c.left + c.width);
    bottom = std::min(bottom, c.top + c.height);
  }
  box.width = right - box.left;
  box.height = bottom - box.top;
  return box;
}

// A copy of part of a pixbuf (nil when the part is empty).
GdkPixbuf* CopyPart(GdkPixbuf* whole, int32_t left, int32_t top, int32_t width, int32_t height) {
  if (!whole || width < 1 || height < 1) return nullptr;
  GdkPixbuf* part = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
  if (part) gdk_pixbuf_copy_area(whole, left, top, width, height, part, 0, 0);
  return part;
}

// White pixels become fully transparent, all others opaque.
void WhiteIsTransparent(GdkPixbuf* image) {
  const int32_t width = gdk_pixbuf_get_width(image);
  const int32_t height = gdk_pixbuf_get_height(image);
  const int32_t stride = gdk_pixbuf_get_rowstride(image);
  guchar* pixels = gdk_pixbuf_get_pixels(image);
  for (int32_t y = 0; y < height; ++y) {
    for (guchar* p = pixels + y * stride; p < pixels + y * stride + 4 * width; p += 4) {
      p[3] = (p[0] == 255 && p[1] == 255 && p[2] == 255) ? 0 : 255;
    }
  }
}

// Each pixel's alpha from the mask pixel at the same place: black opaque, white transparent.
void AlphaFromMask(GdkPixbuf* image, GdkPixbuf* mask) {
  const int32_t width = std::min(gdk_pixbuf_get_width(image), gdk_pixbuf_get_width(mask));
  const int32_t height = std::min(gdk_pixbuf_get_height(image), gdk_pixbuf_get_height(mask));
  const int32_t imageStride = gdk_pixbuf_get_rowstride(image);
  const int32_t maskStride = gdk_pixbuf_get_rowstride(mask);
  guchar* pixels = gdk_pixbuf_get_pixels(image);
  const guchar* maskPixels = gdk_pixbuf_get_pixels(mask);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const guchar* m = maskPixels + y * maskStride + 4 * x;
      pixels[y * imageStride + 4 * x + 3] = static_cast<guchar>(255 - (m[0] + m[1] + m[2]) / 3);
    }
  }
}

// The part of a pane's bitmap a copy shows, at the destination's size.
GdkPixbuf* SourceImage(DrawablePane* pane, const Rect& source, int32_t dw, int32_t dh) {
  const int32_t sw = RectWidth(source);
  const int32_t sh = RectHeight(source);
  if (sw == dw && sh == dh) return CopyPart(pane->GetPixbuf(), source.left, source.top, sw, sh);
  GdkPixbuf* part = pane->ReadPixbuf(source.left, source.top, sw, sh);
  if (!part) return nullptr;
  GdkPixbuf* scaled = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, dw, dh);
  if (scaled) {
    gdk_pixbuf_scale(part, scaled, 0, 0, dw, dh, 0, 0, static_cast<double>(dw) / sw, static_cast<double>(dh) / sh,
                     GDK_INTERP_NEAREST);
  }
  g_object_unref(part);
  return scaled;
}

}  // namespace

DrawablePane::DrawablePane(const Rect& bounds, int32_t depth)
    : mBounds(bounds), mWidth(RectWidth(bounds)), mHeight(RectHeight(bounds)) {
  mDepth = depth;
  mPixmap = NewPixmap(std::max(mWidth, 1), std::max(mHeight, 1));
  if (!mPixmap) return;
  mGC = gdk_gc_new(mPixmap);
  mPixelGC = gdk_gc_new(mPixmap);
  FillWhite();
}

void DrawablePane::FillWhite() {
  if (!mPixmap) return;
  DropPixbuf();
  SetForeground(mPixmap, mGC, 65535, 65535, 65535);
  gdk_draw_rectangle(mPixmap, mGC, TRUE, 0, 0, std::max(mWidth, 1), std::max(mHeight, 1));
}

DrawablePane::~DrawablePane() {
  DropPixbuf();
  if (mPixelGC) g_object_unref(mPixelGC);
  if (mGC) g_object_unref(mGC);
  if (mPixmap) g_object_unref(mPixmap);
}

void DrawablePane::WillDelete() {
  // A port still registered as the one drawing must not outlive its bitmap.
  if (Graphics* current = GetCurrentDrawingPort(); current && current->Target() == this) {
    SetCurrentDrawingPort(nullptr);
  }
}

void DrawablePane::DropPixbuf() {
  if (mPixbuf) g_object_unref(mPixbuf);
  mPixbuf = nullptr;
}

GdkPixbuf* DrawablePane::ReadPixbuf(int32_t left, int32_t top, int32_t width, int32_t height) const {
  if (!mPixmap || width < 1 || height < 1) return nullptr;
  if (left < 0 || top < 0 || left + width > mWidth || top + height > mHeight) return nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
  if (!pixbuf) return nullptr;
  if (!gdk_pixbuf_get_from_drawable(pixbuf, mPixmap, nullptr, left, top, 0, 0, width, height)) {
    g_object_unref(pixbuf);
    return nullptr;
  }
  return pixbuf;
}

GdkPixbuf* DrawablePane::GetPixbuf() {
  if (!mPixbuf) mPixbuf = ReadPixbuf(0, 0, mWidth, mHeight);
  return mPixbuf;
}

void DrawablePane::WritePixbuf(GdkPixbuf* pixbuf, int32_t left, int32_t top) {
  if (!mPixmap || !pixbuf) return;
  DropPixbuf();
  // Drawn without its alpha: the bitmap holds colours only.
  GdkPixbuf* opaque = gdk_pixbuf_get_has_alpha(pixbuf) ? gdk_pixbuf_copy(pixbuf) : g_object_ref(pixbuf);
  if (!opaque) return;
  if (gdk_pixbuf_get_has_alpha(opaque)) {
    const int32_t stride = gdk_pixbuf_get_rowstride(opaque);
    guchar* pixels = gdk_pixbuf_get_pixels(opaque);
    for (int32_t y = 0; y < gdk_pixbuf_get_height(opaque); ++y)
      for (int32_t x = 0; x < gdk_pixbuf_get_width(opaque); ++x) pixels[y * stride + 4 * x + 3] = 255;
  }
  gdk_draw_pixbuf(mPixmap, mGC, opaque, 0, 0, left, top, -1, -1, GDK_RGB_DITHER_NONE, 0, 0);
  g_object_unref(opaque);
}

void DrawablePane::SetPixel(int32_t x, int32_t y, uint32_t color) {
  if (!mPixmap || x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
  DropPixbuf();
  SetForeground(mPixmap, mPixelGC, static_cast<uint16_t>(((color >> 16) & 0xFF) * 257),
                static_cast<uint16_t>(((color >> 8) & 0xFF) * 257), static_cast<uint16_t>((color & 0xFF) * 257));
  gdk_draw_point(mPixmap, mPixelGC, x, y);
}

void DrawablePane::GetSize(int32_t* width, int32_t* height) const {
  *width = mWidth;
  *height = mHeight;
}

void DrawablePane::GetDescription(DrawableDescription* description) {
  Drawable::GetDescription(description);
  description->kind = kDrawablePixmapKind;
  description->handle = mPixmap;
}

bool DrawablePane::GetDescriptionOfKind(DrawableDescription* description, int32_t kind) {
  if (kind != kDrawablePixmapKind) return false;
  GetDescription(description);
  return true;
}

void DrawablePane::DrawWhole(Graphics* port, const Rect& destination, bool maskFlag) {
  CopyTo(port, MakeRect(0, 0, mWidth, mHeight), destination, true, maskFlag);
}

Graphics* DrawablePane::NewGraphics() { return mPixmap ? vorn::NewGraphics(this) : nullptr; }

namespace {

// The part of a copy that reads the bitmap's own pixels: the source cut to the bitmap, and the
// destination cut in the same proportion. False when nothing is left.
bool ClipCopyToBitmap(Rect* source, Rect* destination, int32_t width, int32_t height) {
  const int64_t sw = RectWidth(*source), sh = RectHeight(*source);
  const int64_t dw = RectWidth(*destination), dh = RectHeight(*destination);
  const int64_t left = std::max<int64_t>(source->left, 0), right = std::min<int64_t>(source->right, width);
  const int64_t top = std::max<int64_t>(source->top, 0), bottom = std::min<int64_t>(source->bottom, height);
  if (left >= right || top >= bottom) return false;
  auto along = [](int64_t from, int64_t s0, int64_t sLength, int64_t d0, int64_t dLength) {
    return static_cast<int32_t>(d0 + (from - s0) * dLength / sLength);
  };
  *destination = MakeRect(along(left, source->left, sw, destination->left, dw),
                          along(top, source->top, sh, destination->top, dh),
                          along(right, source->left, sw, destination->left, dw),
                          along(bottom, source->top, sh, destination->top, dh));
  *source = MakeRect(static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                     static_cast<int32_t>(bottom));
  return RectWidth(*destination) > 0 && RectHeight(*destination) > 0;
}

}  // namespace

void DrawablePane::CopyTo(Graphics* port, const Rect& wantedSource, const Rect& wantedDestination, bool,
                          bool maskFlag) {
  if (RectWidth(wantedSource) < 1 || RectHeight(wantedSource) < 1 || !mPixmap) return;
  // Only the bitmap's own pixels can be read: a copy reaching past them keeps the part inside.
  Rect source = wantedSource, destination = wantedDestination;
  if (!ClipCopyToBitmap(&source, &destination, mWidth, mHeight)) return;
  const int32_t sw = RectWidth(source);
  const int32_t sh = RectHeight(source);
  const int32_t dw = RectWidth(destination);
  const int32_t dh = RectHeight(destination);
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  GdkDrawable* drawable = gtkPort ? gtkPort->GetGdkDrawable() : nullptr;
  GdkGC* gc = drawable ? gtkPort->GetGC() : nullptr;
  if (!gc) return;
  const Box d = DeviceBoxFor(gtkPort, destination);
  if (d.width < 1 || d.height < 1) return;

  const bool scaled = dw != sw || dh != sh;
  if (!scaled && !Mask() && !maskFlag) {
    gdk_draw_drawable(drawable, gc, mPixmap, source.left, source.top, d.left, d.top, std::min(d.width, sw),
                      std::min(d.height, sh));
    return;
  }
  GdkPixbuf* image = SourceImage(this, source, dw, dh);
  if (!image) return;
  if (DrawablePane* mask = Mask()) {
    const Rect inMask = MakeRect(source.left, source.top, std::min<int32_t>(source.right, mask->Width()),
                                 std::min<int32_t>(source.bottom, mask->Height()));
    if (GdkPixbuf* maskImage = SourceImage(mask, inMask, dw, dh)) {
      AlphaFromMask(image, maskImage);
      g_object_unref(maskImage);
    }
  } else if (maskFlag) {
    WhiteIsTransparent(image);
  }
  gdk_draw_pixbuf(drawable, gc, image, 0, 0, d.left, d.top, std::min(d.width, dw), std::min(d.height, dh),
                  GDK_RGB_DITHER_NONE, 0, 0);
  g_object_unref(image);
}

DrawablePane* NewDrawablePane(int32_t width, int32_t height, int32_t depth) {
  if (width < 0 || height < 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return nullptr;
  auto* pane = new DrawablePane(MakeRect(0, 0, width, height), depth);
  if (pane->IsValid()) return pane;
  pane->Release();
  return nullptr;
}

}  // namespace vorn
