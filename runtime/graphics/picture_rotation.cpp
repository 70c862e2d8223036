#include "graphics/picture_rotation.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/drawable_pane.h"
#include "graphics/object2d.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

constexpr const char* kRotationSource = "../Common/Graphics2D/RotatePicture";
constexpr double kLeastFraction = 0.0039;
constexpr double kMostFraction = 0.96;

struct Pixel {
  int32_t c[3];
};

constexpr Pixel kWhitePixel = {{255, 255, 255}};

Pixel Read(const uint8_t* p) { return {{p[0], p[1], p[2]}}; }

void Write(uint8_t* p, const Pixel& value) {
  for (int i = 0; i < 3; ++i) p[i] = static_cast<uint8_t>(std::clamp(value.c[i], 0, 255));
  p[3] = 255;
}

// The share f of a pixel that moves on to the next one.
Pixel Part(const Pixel& p, double f) {
  if (f < kLeastFraction) return {{0, 0, 0}};
  if (f > kMostFraction) return p;
  Pixel q;
  for (int i = 0; i < 3; ++i) q.c[i] = static_cast<int32_t>(p.c[i] * f);
  return q;
}

// One shear: line j of `lines` lines of `length` pixels; pixel i of line j lies at
// base + j * lineStep + i * pixelStep.
struct Lines {
  int32_t lines;
  int32_t length;
  int32_t sourceLine, sourcePixel;
  int32_t targetLine, targetPixel;
};

void Shear(const uint8_t* source, uint8_t* target, const Lines& l, double shear, int32_t flags) {
  for (int32_t j = 0; j < l.lines; ++j) {
    const double offset = shear * (j - l.lines / 2.0);
    int32_t k = static_cast<int32_t>(offset);
    if (offset < 0) --k;
    const double f = offset - k;
    const uint8_t* in = source + static_cast<ptrdiff_t>(j) * l.sourceLine;
    uint8_t* out = target + static_cast<ptrdiff_t>(j) * l.targetLine;
    auto at = [&](int32_t i) { return out + static_cast<ptrdiff_t>(i) * l.targetPixel; };
    auto inside = [&](int32_t i) { return i >= 0 && i < l.length; };
    if (flags & kRotateFillWhite) {
      for (int32_t i = 0; i < l.length; ++i)
        if (i < k || i >= l.length + k) Write(at(i), kWhitePixel);
    }
    const bool ownEdges = (flags & kRotateBlendEdges) != 0;
    const Pixel first = ownEdges ? Read(in) : kWhitePixel;
    Pixel carry = Part(first, f);
    for (int32_t i = 0; i < l.length; ++i) {
      const Pixel p = Read(in + static_cast<ptrdiff_t>(i) * l.sourcePixel);
      const Pixel q = Part(p, f);
      if (inside(i + k)) {
        Pixel value;
        for (int c = 0; c < 3; ++c) value.c[c] = p.c[c] - q.c[c] + carry.c[c];
        Write(at(i + k), value);
      }
      carry = q;
    }
    // What the last pixel passes on lands on the pixel after it.
    const Pixel last = ownEdges ? Read(in + static_cast<ptrdiff_t>(l.length - 1) * l.sourcePixel) : kWhitePixel;
    const Pixel lastPart = Part(last, f);
    if (inside(l.length + k)) {
      Pixel value;
      for (int c = 0; c < 3; ++c) value.c[c] = carry.c[c] + last.c[c] - lastPart.c[c];
      Write(at(l.length + k), value);
    }
  }
}

void CopyRows(const uint8_t* source, int32_t sourceStride, uint8_t* target, int32_t targetStride, int32_t rows) {
  const int32_t bytes = std::min(sourceStride, targetStride);
  for (int32_t r = 0; r < rows; ++r)
    std::memcpy(target + static_cast<ptrdiff_t>(r) * targetStride, source + static_cast<ptrdiff_t>(r) * sourceStride,
                static_cast<size_t>(bytes));
}

}  // namespace

void XShear(const uint8_t* source, int32_t sourceStride, uint8_t* target, int32_t targetStride, int32_t width,
            int32_t height, double shear, int32_t flags) {
  if (width < 1 || height < 1) return;
  Shear(source, target, {height, width, sourceStride, 4, targetStride, 4}, shear, flags);
}

void YShear(const uint8_t* source, int32_t sourceStride, uint8_t* target, int32_t targetStride, int32_t width,
            int32_t height, double shear, int32_t flags) {
  if (width < 1 || height < 1) return;
  Shear(source, target, {width, height, 4, sourceStride, 4, targetStride}, shear, flags);
}

void RotatePixels(uint8_t* a, int32_t aStride, uint8_t* b, int32_t bStride, int32_t width, int32_t height,
                  double angle, int32_t flags) {
  angle = std::fmod(angle, 2 * kPi);
  if (angle < -kPi) angle += 2 * kPi;
  if (angle >= kPi) angle -= 2 * kPi;
  double quarter = 0;
  if (angle > kPi / 2) {
    quarter = 1.0;
    angle -= kPi / 2;
  } else if (angle <= -kPi / 2) {
    quarter = -1.0;
    angle += kPi / 2;
  }
  if (quarter != 0) {
    XShear(a, aStride, b, bStride, width, height, quarter, flags);
    YShear(b, bStride, a, aStride, width, height, -quarter, flags);
    XShear(a, aStride, b, bStride, width, height, quarter, flags);
    if (angle > -0.0001 && angle < 0.0001) return;
    CopyRows(b, bStride, a, aStride, height);
  }
  const double t = std::tan(angle / 2);
  const double s = -2 * t / (t * t + 1);
  XShear(a, aStride, b, bStride, width, height, t, flags);
  YShear(b, bStride, a, aStride, width, height, s, flags);
  XShear(a, aStride, b, bStride, width, height, t, flags);
}

void RotateDrawable(DrawablePane* source, DrawablePane* destination, double angle, int32_t flags) {
  if (!source || !destination || source == destination) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kRotationSource, __LINE__,
                       "srcDP and dstDP and srcDP != dstDP", "");
    return;
  }
  int32_t width = 0, height = 0;
  source->GetSize(&width, &height);
  // Both buffers are fresh copies: the source's cached pixels must stay as its bitmap is.
  GdkPixbuf* a = source->ReadPixbuf(0, 0, width, height);
  GdkPixbuf* b = destination->ReadPixbuf(0, 0, width, height);
  if (a && b) {
    RotatePixels(gdk_pixbuf_get_pixels(a), gdk_pixbuf_get_rowstride(a), gdk_pixbuf_get_pixels(b),
                 gdk_pixbuf_get_rowstride(b), width, height, angle, flags);
    destination->WritePixbuf(b, 0, 0);
  }
  if (a) g_object_unref(a);
  if (b) g_object_unref(b);
}

}  // namespace vorn
