// A server pixmap's pixels as a cairo image surface, read through shared memory straight into
// the buffer the surface keeps, so that a printed page is neither converted nor copied on its
// way from the X server to the printer's surface.
#pragma once

#include <cairo.h>

struct _GdkDrawable;

namespace vorn {

// A new RGB24 surface (one reference for the caller) holding the width x height pixels at the
// pixmap's top left; nil when the display has no shared memory or the pixmap's pixels are not
// 32-bit 0x00RRGGBB words in this machine's byte order, and the caller reads them another way.
// The buffer goes back to a pool of one when the surface is destroyed, for the next page.
cairo_surface_t* ReadPixmapSurface(_GdkDrawable* pixmap, int width, int height);

}  // namespace vorn
