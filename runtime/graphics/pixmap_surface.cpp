#include "graphics/pixmap_surface.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <gdk/gdkx.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstddef>

namespace vorn {

namespace {

// A shared memory segment the X server knows; it is removed from the system as soon as both
// sides are attached, so nothing is left behind when the process ends.
struct Segment {
  Display* display = nullptr;
  XShmSegmentInfo info = {};
  size_t size = 0;
};

// The buffer of the last page printed, kept for the next page or job: a fresh one costs a
// page fault per 4 KB.
Segment* sSpare = nullptr;
const cairo_user_data_key_t kSegmentKey = {};

void Free(Segment* segment) {
  if (!segment) return;
  gdk_error_trap_push();
  XShmDetach(segment->display, &segment->info);
  XSync(segment->display, False);
  gdk_error_trap_pop();
  shmdt(segment->info.shmaddr);
  delete segment;
}

Segment* NewSegment(Display* display, size_t size) {
  auto* segment = new Segment{display, {}, size};
  segment->info.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
  if (segment->info.shmid < 0) {
    delete segment;
    return nullptr;
  }
  segment->info.shmaddr = static_cast<char*>(shmat(segment->info.shmid, nullptr, 0));
  segment->info.readOnly = False;
  bool attached = segment->info.shmaddr != reinterpret_cast<char*>(-1);
  if (attached) {
    // A server on another machine takes the request and then fails it.
    gdk_error_trap_push();
    attached = XShmAttach(display, &segment->info);
    XSync(display, False);
    attached = gdk_error_trap_pop() == 0 && attached;
  }
  shmctl(segment->info.shmid, IPC_RMID, nullptr);
  if (!attached) {
    if (segment->info.shmaddr != reinterpret_cast<char*>(-1)) shmdt(segment->info.shmaddr);
    delete segment;
    return nullptr;
  }
  return segment;
}

Segment* TakeSegment(Display* display, size_t size) {
  Segment* spare = sSpare;
  sSpare = nullptr;
  if (spare && spare->display == display && spare->size >= size) return spare;
  Free(spare);
  return NewSegment(display, size);
}

void GiveBack(void* data) {
  Free(sSpare);
  sSpare = static_cast<Segment*>(data);
}

bool IsRgb24(const Visual* visual) {
  return visual && visual->c_class == TrueColor && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 &&
         visual->blue_mask == 0xFF;
}

}  // namespace

cairo_surface_t* ReadPixmapSurface(GdkDrawable* pixmap, int width, int height) {
  GdkVisual* gdkVisual = pixmap ? gdk_drawable_get_visual(pixmap) : nullptr;
  if (!gdkVisual || width < 1 || height < 1) return nullptr;
  Display* display = GDK_DRAWABLE_XDISPLAY(pixmap);
  Visual* visual = GDK_VISUAL_XVISUAL(gdkVisual);
  if (!IsRgb24(visual) || !XShmQueryExtension(display)) return nullptr;
  XImage* image =
      XShmCreateImage(display, visual, static_cast<unsigned>(gdkVisual->depth), ZPixmap, nullptr, nullptr,
                      static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (!image) return nullptr;
  const int native = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  const size_t size = static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height);
  Segment* segment = nullptr;
  if (image->bits_per_pixel == 32 && image->byte_order == native && image->bytes_per_line % 4 == 0) {
    segment = TakeSegment(display, size);
  }
  bool read = false;
  if (segment) {
    image->data = segment->info.shmaddr;
    image->obdata = reinterpret_cast<char*>(&segment->info);
    gdk_error_trap_push();
    read = XShmGetImage(display, GDK_DRAWABLE_XID(pixmap), image, 0, 0, AllPlanes);
    read = gdk_error_trap_pop() == 0 && read;
  }
  const int stride = image->bytes_per_line;
  // The data is the segment's: the image must not free it.
  image->data = nullptr;
  XDestroyImage(image);
  if (!read) {
    if (segment) GiveBack(segment);
    return nullptr;
  }
  cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(segment->info.shmaddr),
                                                                 CAIRO_FORMAT_RGB24, width, height, stride);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_set_user_data(surface, &kSegmentKey, segment, &GiveBack) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    GiveBack(segment);
    return nullptr;
  }
  return surface;
}

}  // namespace vorn
