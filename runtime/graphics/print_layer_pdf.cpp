// The print layer's output: each recorded page as a page of a PDF file. The layer's
// coordinates are points with y upwards from the bottom of the paper; cairo's run down from the
// top. The file is written under a fresh name made exclusively beside the one asked for and
// then renamed onto it, so a link planted at that name is replaced, never followed.
#include <cairo-pdf.h>
#include <cairo.h>
#include <glib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "graphics/print_layer_model.h"

namespace vorn::print_layer {

namespace {

cairo_matrix_t ToCairo(const Matrix& m, double paperHeight) {
  cairo_matrix_t transform;
  cairo_matrix_init(&transform, m[0], m[1], m[2], m[3], m[4], m[5]);
  cairo_matrix_t flip;
  cairo_matrix_init(&flip, 1, 0, 0, -1, 0, paperHeight);
  cairo_matrix_t result;
  cairo_matrix_multiply(&result, &transform, &flip);
  return result;
}

void DrawImage(cairo_t* cr, const Mark& mark, double paperHeight) {
  if (!mark.image) return;
  // Pixel (px, py) lands at (px / columns, 1 - py / rows) of the unit square.
  cairo_matrix_t pixels;
  cairo_matrix_init(&pixels, 1.0 / mark.columns, 0, 0, -1.0 / mark.rows, 0, 1);
  const cairo_matrix_t page = ToCairo(mark.transform, paperHeight);
  cairo_matrix_t whole;
  cairo_matrix_multiply(&whole, &pixels, &page);
  cairo_save(cr);
  cairo_set_matrix(cr, &whole);
  cairo_set_source_surface(cr, mark.image.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_rectangle(cr, 0, 0, mark.columns, mark.rows);
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawMark(cairo_t* cr, const Mark& mark, double paperHeight) {
  if (mark.kind == Mark::kImage) {
    DrawImage(cr, mark, paperHeight);
    return;
  }
  const cairo_matrix_t page = ToCairo(mark.transform, paperHeight);
  cairo_save(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  if (mark.kind == Mark::kText) {
    double x = mark.x, y = mark.y;
    cairo_matrix_transform_point(&page, &x, &y);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, mark.text.c_str());
  } else {
    cairo_set_matrix(cr, &page);
    if (mark.kind == Mark::kRect) {
      cairo_rectangle(cr, mark.x, mark.y, mark.width, mark.height);
    } else {
      cairo_move_to(cr, mark.x, mark.y);
      cairo_line_to(cr, mark.width, mark.height);
    }
    // The pen is one point wide whatever the transform.
    cairo_identity_matrix(cr);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

cairo_status_t WriteToDescriptor(void* closure, const unsigned char* data, unsigned int length) {
  const int fd = *static_cast<int*>(closure);
  while (length > 0) {
    const ssize_t written = write(fd, data, length);
    if (written <= 0) return CAIRO_STATUS_WRITE_ERROR;
    data += written;
    length -= static_cast<unsigned int>(written);
  }
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::shared_ptr<cairo_surface_t> ImageFromRgb(const unsigned char* pixels, int width, int height, int rowStride) {
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(image);
    return nullptr;
  }
  cairo_surface_flush(image);
  unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    const unsigned char* rgb = pixels + static_cast<size_t>(y) * rowStride;
    for (int x = 0; x < width; ++x, rgb += 3) row[x] = (uint32_t{rgb[0]} << 16) | (rgb[1] << 8) | rgb[2];
  }
  cairo_surface_mark_dirty(image);
  return std::shared_ptr<cairo_surface_t>(image, &cairo_surface_destroy);
}

double Points(const Config& config, const char* key, double fallback) {
  double value = 0;
  const PrintUnit* unit = nullptr;
  if (!ParseLength(Setting(&config, key), &value, &unit) || value <= 0) return fallback;
  return value * unit->points;
}

void DrawPages(cairo_t* cr, const Context& context, const Config& config) {
  const double height = Points(config, kPrintKeyPaperHeight, 792);
  for (const Page& page : context.pages) {
    for (const Mark& mark : page.marks) DrawMark(cr, mark, height);
    cairo_show_page(cr);
  }
}

bool WritePdf(const Context& context, const Config& config, const std::string& path) {
  if (path.empty() || context.pages.empty()) return false;
  const double width = Points(config, kPrintKeyPaperWidth, 612);
  const double height = Points(config, kPrintKeyPaperHeight, 792);
  std::string temporary = path + ".XXXXXX";
  int fd = g_mkstemp(temporary.data());
  if (fd < 0) return false;
  cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(&WriteToDescriptor, &fd, width, height);
  bool written = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  if (written) {
    cairo_t* cr = cairo_create(surface);
    DrawPages(cr, context, config);
    written = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    written = written && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  }
  cairo_surface_destroy(surface);
  written = close(fd) == 0 && written;
  if (written && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  std::remove(temporary.c_str());
  return false;
}

}  // namespace vorn::print_layer
