#include "graphics/graphics_gtk.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "graphics/shape_plotter.h"
#include "objects/runtime_object.h"
#include "graphics/gtk_fonts.h"

namespace vorn {

namespace {

constexpr gint kFullCircle = 360 * 64;

// A colormap to allocate colours in: the drawable's own, or for a bare pixmap the screen's
// when the depths agree (colours of another depth cannot be drawn into it anyway).
GdkColormap* ColormapFor(GdkDrawable* drawable) {
  GdkColormap* colormap = gdk_drawable_get_colormap(drawable);
  if (colormap) return colormap;
  GdkScreen* screen = gdk_screen_get_default();
  if (!screen) return nullptr;
  GdkColormap* system = gdk_screen_get_system_colormap(screen);
  if (gdk_visual_get_depth(gdk_colormap_get_visual(system)) != gdk_drawable_get_depth(drawable)) {
    return nullptr;
  }
  return system;
}

// One underline attribute over the whole text, shared by every port.
PangoAttrList* UnderlineAttributes() {
  static PangoAttrList* list = nullptr;
  if (!list) {
    list = pango_attr_list_new();
    PangoAttribute* underline = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
    underline->start_index = 0;
    underline->end_index = G_MAXUINT;
    pango_attr_list_insert(list, underline);
  }
  return list;
}

const char* StockIdForIcon(int32_t kind) {
  switch (kind) {
    case kIconStop: return GTK_STOCK_DIALOG_ERROR;
    case kIconNote: return GTK_STOCK_DIALOG_INFO;
    case kIconCaution: return GTK_STOCK_DIALOG_WARNING;
    case kIconQuestion: return GTK_STOCK_DIALOG_QUESTION;
    default: return nullptr;
  }
}

// Rendered once per kind and kept: the stock images do not change while the program runs.
GdkPixbuf* StockIcon(int32_t kind, GtkWidget* widget) {
  static GdkPixbuf* icons[4] = {};
  const char* stockId = StockIdForIcon(kind);
  if (!stockId) return nullptr;
  if (!icons[kind]) {
    if (widget) {
      icons[kind] = gtk_widget_render_icon(widget, stockId, GTK_ICON_SIZE_DIALOG, nullptr);
    } else if (GtkIconSet* set = gtk_icon_factory_lookup_default(stockId)) {
      icons[kind] = gtk_icon_set_render_icon(set, gtk_widget_get_default_style(), GTK_TEXT_DIR_LTR,
                                             GTK_STATE_NORMAL, GTK_ICON_SIZE_DIALOG, nullptr,
                                             nullptr);
    }
  }
  return icons[kind];
}

}  // namespace

GraphicsGTK::GraphicsGTK(GraphicsTarget* target) : Graphics(target) {
  if (gdk_screen_get_default()) {
    mContext = NewScreenTextContext();
    mLayout = pango_layout_new(mContext);
  }
}

GraphicsGTK::~GraphicsGTK() {
  ForgetShapedLayouts();
  if (mFontDescription) pango_font_description_free(mFontDescription);
  if (mLayout) g_object_unref(mLayout);
  if (mContext) g_object_unref(mContext);
  delete mClip;
}

GdkDrawable* GraphicsGTK::GetGdkDrawable() { return mTarget ? mTarget->GetGdkDrawable() : nullptr; }

void GraphicsGTK::ApplyForeColor(GdkDrawable* drawable, GdkGC* gc) {
  GdkColormap* colormap = ColormapFor(drawable);
  if (!colormap) return;
  GdkColor color = {0, mForeColor.red, mForeColor.green, mForeColor.blue};
  gdk_colormap_alloc_color(colormap, &color, FALSE, TRUE);
  gdk_gc_set_foreground(gc, &color);
  mForegroundAllocated = true;
}

GdkGC* GraphicsGTK::GetGC() {
  if (!mTarget) return nullptr;
  GdkGC* gc = mTarget->NewGC();
  if (gc && !mForegroundAllocated) {
    if (GdkDrawable* drawable = GetGdkDrawable()) ApplyForeColor(drawable, gc);
  }
  return gc;
}

// --- coordinates ---------------------------------------------------------------------------

void GraphicsGTK::DeviceOffset(int32_t* dh, int32_t* dv) const {
  *dh = -mOriginH;
  *dv = -mOriginV;
  if (!mTarget) return;
  switch (mTarget->Placement()) {
    case TargetPlacement::kWindow:
    case TargetPlacement::kInWindow:
      *dv += mTarget->MenuBarHeight();
      break;
    case TargetPlacement::kOwnGdkWindow: {
      const Rect bounds = mTarget->GetPaneBounds();
      *dh -= bounds.left;
      *dv -= bounds.top;
      break;
    }
    case TargetPlacement::kOffscreen:
      break;
  }
}

GraphicsGTK::DeviceBox GraphicsGTK::ToDeviceBox(const Rect& rect) const {
  int32_t dh, dv;
  DeviceOffset(&dh, &dv);
  DeviceBox box{rect.left + dh, rect.top + dv, rect.right + dh, rect.bottom + dv};
  if (box.left > box.right) std::swap(box.left, box.right);
  if (box.top > box.bottom) std::swap(box.top, box.bottom);
  return box;
}

Rect GraphicsGTK::ToDeviceRect(const Rect& rect) const {
  const DeviceBox box = ToDeviceBox(rect);
  return MakeRect(box.left, box.top, box.right, box.bottom);
}

void GraphicsGTK::ToDevicePoint(int32_t* h, int32_t* v) const {
  int32_t dh, dv;
  DeviceOffset(&dh, &dv);
  *h += dh;
  *v += dv;
}

// --- state ---------------------------------------------------------------------------------

void GraphicsGTK::SetClipRect(const Rect& rect) {
  if (!mTarget) return;
  if (!mClip) mClip = new Rect;
  GraphicsToPaneRect(this, mClip, rect);
  ApplyClip(*mClip);
}

// The clip is kept with the origin removed, so it maps to the device without the origin.
// Giving a kept clip back therefore restores the same device area even when the origin
// moved meanwhile (passing it through SetClipRect would take the origin off twice).
void GraphicsGTK::ApplyClip(const Rect& paneRect) {
  GdkGC* gc = GetGC();
  if (!gc) return;
  int32_t dh, dv;
  DeviceOffset(&dh, &dv);
  dh += mOriginH;
  dv += mOriginV;
  DeviceBox box{paneRect.left + dh, paneRect.top + dv, paneRect.right + dh, paneRect.bottom + dv};
  if (box.left > box.right) std::swap(box.left, box.right);
  if (box.top > box.bottom) std::swap(box.top, box.bottom);
  GdkRectangle area = {box.left, box.top, box.right - box.left, box.bottom - box.top};
  gdk_gc_set_clip_rectangle(gc, &area);
}

void GraphicsGTK::RestoreClip(const Rect* clip) {
  if (clip) {
    if (!mTarget) return;
    if (!mClip) mClip = new Rect;
    *mClip = *clip;
    ApplyClip(*mClip);
    return;
  }
  if (GdkGC* gc = GetGC()) gdk_gc_set_clip_rectangle(gc, nullptr);
  delete mClip;
  mClip = nullptr;
}

void GraphicsGTK::ResetPenSize() { SetPenSize(1, 1); }

void GraphicsGTK::SetForeColor(const RGB48& color) {
  mForeColor = color;
  if (!mTarget) return;
  GdkDrawable* drawable = GetGdkDrawable();
  if (!drawable) return;
  if (GdkGC* gc = mTarget->NewGC()) ApplyForeColor(drawable, gc);
}

// --- shapes --------------------------------------------------------------------------------

void GraphicsGTK::DrawRect(const Rect& rect) {
  GdkDrawable* drawable = GetGdkDrawable();
  GdkGC* gc = drawable ? GetGC() : nullptr;
  if (!gc) return;
  const DeviceBox b = ToDeviceBox(rect);
  // GDK reads a negative size as "the whole drawable"; an empty frame draws nothing.
  if (b.right - b.left < 1 || b.bottom - b.top < 1) return;
  gdk_draw_rectangle(drawable, gc, FALSE, b.left, b.top, b.right - b.left - 1, b.bottom - b.top - 1);
}

void GraphicsGTK::FillRect(const Rect& rect) {
  GdkDrawable* drawable = GetGdkDrawable();
  GdkGC* gc = drawable ? GetGC() : nullptr;
  if (!gc) return;
  const DeviceBox b = ToDeviceBox(rect);
  if (b.right - b.left < 1 || b.bottom - b.top < 1) return;
  gdk_draw_rectangle(drawable, gc, TRUE, b.left, b.top, b.right - b.left, b.bottom - b.top);
}

void GraphicsGTK::PaintRect(const Rect& rect) { FillRect(rect); }

void GraphicsGTK::ClearRect(const Rect& rect) {
  GdkDrawable* drawable = GetGdkDrawable();
  if (!drawable) return;
  const RGB48 saved = mForeColor;
  const WindowBackground background = mTarget->GetWindowBackground();
  if (background.inWindow && !background.hasBackColor) {
    if (GDK_IS_WINDOW(drawable)) {
      const DeviceBox b = ToDeviceBox(rect);
      if (b.right - b.left >= 1 && b.bottom - b.top >= 1) {
        gdk_window_clear_area(GDK_WINDOW(drawable), b.left, b.top, b.right - b.left,
                              b.bottom - b.top);
      }
    }
  } else {
    SetForeColor(background.inWindow ? ColorToRGB48(background.backColor) : kWhite48);
    FillRect(rect);
  }
  SetForeColor(saved);
}

void GraphicsGTK::DrawOval(const Rect& rect) {
  GdkDrawable* drawable = GetGdkDrawable();
  GdkGC* gc = drawable ? GetGC() : nullptr;
  if (!gc) return;
  const DeviceBox b = ToDeviceBox(rect);
  if (b.right - b.left < 1 || b.bottom - b.top < 1) return;
  // The pen widens the frame as it widens lines: the shape plotter draws thick oval borders so.
  const int32_t pen = std::max(mPenWidth, mPenHeight);
  if (pen > 1) gdk_gc_set_line_attributes(gc, pen, GDK_LINE_SOLID, GDK_CAP_BUTT, GDK_JOIN_MITER);
  gdk_draw_arc(drawable, gc, FALSE, b.left, b.top, b.right - b.left - 1, b.bottom - b.top - 1, 0,
               kFullCircle);
  if (pen > 1) gdk_gc_set_line_attributes(gc, 0, GDK_LINE_SOLID, GDK_CAP_BUTT, GDK_JOIN_MITER);
}

void GraphicsGTK::FillOval(const Rect& rect) {
  GdkDrawable* drawable = GetGdkDrawable();
  GdkGC* gc = drawable ? GetGC() : nullptr;
  if (!gc) return;
  const DeviceBox b = ToDeviceBox(rect);
  if (b.right - b.left < 1 || b.bottom - b.top < 1) return;
  const gint w = b.right - b.left - 1;
  const gint h = b.bottom - b.top - 1;
  gdk_draw_arc(drawable, gc, TRUE, b.left, b.top, w, h, 0, kFullCircle);
  gdk_draw_arc(drawable, gc, FALSE, b.left, b.top, w, h, 0, kFullCircle);
}

// Rounded rectangles are 2D round-rectangle shapes drawn by the shape plotter, so that they
// have the same outline as the shapes.
void GraphicsGTK::RoundRect(const Rect& rect, int32_t arcWidth, int32_t arcHeight, bool fill) {
  if (!mTarget || !GetGdkDrawable()) return;
  RuntimeObject* object = CreateInstanceFromDefinition(GetRoundRectShapeClassDefinition());
  if (!object) return;
  auto* shape = reinterpret_cast<RoundRectShapeFields*>(object);
  Object2DFields& base = shape->rect.base;
  const DeviceBox b = ToDeviceBox(rect);
  const double width = b.right - b.left - 1, height = b.bottom - b.top - 1;
  shape->rect.width = width;
  shape->rect.height = height;
  shape->cornerWidth = arcWidth;
  shape->cornerHeight = arcHeight;
  const LanguageColor color = RGB48ToColor(mForeColor);
  if (fill) {
    base.fill = 1.0;
    base.fillColor = color;
    base.border = 0;
  } else {
    base.border = 1.0;
    base.borderWidth = mPenWidth;
    base.borderColor = color;
    base.fill = 0;
  }
  const Rect pane = mTarget->GetPaneBounds();
  base.x = rect.left - pane.left + width * 0.5;
  base.y = rect.top - pane.top + height * 0.5;
  ShapePlotter(this).Draw(object, ShapePlotter::kMaxDepth);
  RuntimeUnlockObject(object);
}

void GraphicsGTK::DrawRoundRect(const Rect& rect, int32_t arcWidth, int32_t arcHeight) {
  RoundRect(rect, arcWidth, arcHeight, false);
}

void GraphicsGTK::FillRoundRect(const Rect& rect, int32_t arcWidth, int32_t arcHeight) {
  RoundRect(rect, arcWidth, arcHeight, true);
}

void GraphicsGTK::LineTo(int32_t h, int32_t v) {
  if (!mTarget) return;
  if (GdkDrawable* drawable = GetGdkDrawable()) {
    if (GdkGC* gc = GetGC()) {
      int32_t dh, dv;
      DeviceOffset(&dh, &dv);
      // A pen wider than one pixel widens lines too; the language's PenWidth would otherwise
      // have no visible effect on them.
      const int32_t width = std::max(mPenWidth, mPenHeight);
      if (width > 1) gdk_gc_set_line_attributes(gc, width, GDK_LINE_SOLID, GDK_CAP_ROUND, GDK_JOIN_ROUND);
      gdk_draw_line(drawable, gc, mPenH + dh, mPenV + dv, h + dh, v + dv);
      if (width > 1) gdk_gc_set_line_attributes(gc, 0, GDK_LINE_SOLID, GDK_CAP_BUTT, GDK_JOIN_MITER);
    }
  }
  mPenH = h;
  mPenV = v;
}

void GraphicsGTK::DrawPolygon(const int32_t* elements, int32_t upperBound, bool fill) {
  if (!elements || upperBound < 2) return;
  GdkDrawable* drawable = GetGdkDrawable();
  GdkGC* gc = drawable ? GetGC() : nullptr;
  if (!gc) return;
  // Polygon points come without the pane's place in its window (the language layer leaves
  // them as given), so the port adds it here; the origin is not subtracted.
  int32_t dh = 0, dv = 0;
  switch (mTarget->Placement()) {
    case TargetPlacement::kWindow:
      dv = mTarget->MenuBarHeight();
      break;
    case TargetPlacement::kInWindow: {
      const Rect bounds = mTarget->GetPaneBounds();
      dh = bounds.left;
      dv = bounds.top + mTarget->MenuBarHeight();
      break;
    }
    default:
      break;
  }
  const int32_t count = upperBound / 2;
  std::vector<GdkPoint> points(static_cast<size_t>(count));
  for (int32_t k = 1; k <= count; ++k) {
    points[k - 1].x = elements[2 * k - 1] + dh;
    points[k - 1].y = elements[2 * k] + dv;
  }
  gdk_draw_polygon(drawable, gc, fill, points.data(), count);
  if (fill) gdk_draw_polygon(drawable, gc, FALSE, points.data(), count);
}

// --- text ----------------------------------------------------------------------------------

void GraphicsGTK::SetTextFont(const string& font) {
  if (mTextFont.Compare(font) == 0) return;
  mTextFont = font.ToUTF8();
  mLayoutValid = false;
}

void GraphicsGTK::SetTextSize(int32_t size) {
  if (size == mTextSize) return;
  mTextSize = size;
  mLayoutValid = false;
}

void GraphicsGTK::SetTextStyle(uint8_t style) {
  if (style == mTextStyle) return;
  // Only bold and italic reach the font description: underline is added when text is drawn
  // and condensing has no form here, so toggling those keeps the layout.
  const bool fontChanged = ((style ^ mTextStyle) & (kStyleBold | kStyleItalic)) != 0;
  mTextStyle = style;
  if (fontChanged) mLayoutValid = false;
}

void GraphicsGTK::UpdateLayout() {
  if (!mTarget || !mContext) return;
  if (mLayoutValid && mFontDescription) return;
  TextStyle style;
  style.mFontName = mTextFont;
  style.mSize = PinToInt16(mTextSize);
  style.mBold = (mTextStyle & kStyleBold) ? 1 : 0;
  style.mItalic = (mTextStyle & kStyleItalic) ? 1 : 0;
  style.mUnderline = (mTextStyle & kStyleUnderline) ? 1 : 0;
  if (mFontDescription) pango_font_description_free(mFontDescription);
  mFontDescription = MakeFontDescription(style);
  if (mLayout) g_object_unref(mLayout);
  mLayout = pango_layout_new(mContext);
  pango_layout_set_font_description(mLayout, mFontDescription);
  ForgetShapedLayouts();
  mLayoutValid = true;
  mMetricsValid = false;
  ++mLayoutBuilds;
}

namespace {

// Pango takes only valid UTF-8; text tagged with an unknown encoding passes unconverted, so
// it is mended here.
std::string LayoutBytes(const string& text) {
  const string utf8 = text.ToUTF8();
  const char* bytes = utf8.CString();
  const gssize length = utf8.Length();
  if (g_utf8_validate(bytes, length, nullptr)) return std::string(bytes, static_cast<size_t>(length));
  gchar* valid = g_utf8_make_valid(bytes, length);
  std::string out(valid);
  g_free(valid);
  return out;
}

// Shaped layouts kept per port: a list box measures and draws the same few texts (a column
// of equal cells, a cell measured and then drawn) again and again.
constexpr size_t kShapedLayouts = 32;

}  // namespace

void GraphicsGTK::SetLayoutText(const string& text) {
  const std::string bytes = LayoutBytes(text);
  pango_layout_set_text(mLayout, bytes.data(), static_cast<int>(bytes.size()));
}

void GraphicsGTK::ForgetShapedLayouts() {
  for (ShapedText& shaped : mShaped) g_object_unref(shaped.layout);
  mShaped.clear();
  mNextShaped = 0;
}

PangoLayout* GraphicsGTK::ShapedLayout(const string& text) {
  UpdateLayout();
  if (!mLayout) return nullptr;
  std::string bytes = LayoutBytes(text);
  for (const ShapedText& shaped : mShaped)
    if (shaped.text == bytes) return shaped.layout;
  size_t index;
  if (mShaped.size() < kShapedLayouts) {
    PangoLayout* layout = pango_layout_new(mContext);
    pango_layout_set_font_description(layout, mFontDescription);
    mShaped.push_back({std::string(), layout});
    index = mShaped.size() - 1;
  } else {
    index = mNextShaped;
    mNextShaped = (mNextShaped + 1) % kShapedLayouts;
  }
  ShapedText& slot = mShaped[index];
  pango_layout_set_text(slot.layout, bytes.data(), static_cast<int>(bytes.size()));
  slot.text = std::move(bytes);
  return slot.layout;
}

void GraphicsGTK::DrawText(const string& text, int32_t h, int32_t v, int32_t) {
  GdkDrawable* drawable = GetGdkDrawable();
  GdkGC* gc = drawable ? GetGC() : nullptr;
  if (!gc) return;
  ToDevicePoint(&h, &v);
  UpdateLayout();
  if (!mLayout) return;
  // Underlining changes a layout's attributes, which would cost a kept layout its shaping.
  if ((mTextStyle & kStyleUnderline) == 0) {
    if (PangoLayout* layout = ShapedLayout(text)) gdk_draw_layout(drawable, gc, h, v - FontAscent(), layout);
    return;
  }
  SetLayoutText(text);
  pango_layout_set_width(mLayout, -1);
  pango_layout_set_attributes(mLayout, UnderlineAttributes());
  gdk_draw_layout(drawable, gc, h, v - FontAscent(), mLayout);
  pango_layout_set_attributes(mLayout, nullptr);
}

void GraphicsGTK::DrawWrappedText(const string& text, const Rect& rect, int32_t alignment) {
  GdkDrawable* drawable = GetGdkDrawable();
  GdkGC* gc = drawable ? GetGC() : nullptr;
  if (!gc) return;
  const DeviceBox b = ToDeviceBox(rect);
  UpdateLayout();
  if (!mLayout) return;
  if (alignment == kAlignCenter) pango_layout_set_alignment(mLayout, PANGO_ALIGN_CENTER);
  if (alignment == kAlignRight) pango_layout_set_alignment(mLayout, PANGO_ALIGN_RIGHT);
  SetLayoutText(text);
  pango_layout_set_width(mLayout, (b.right - b.left) * PANGO_SCALE);
  pango_layout_set_wrap(mLayout, PANGO_WRAP_WORD);
  const bool underline = (mTextStyle & kStyleUnderline) != 0;
  if (underline) pango_layout_set_attributes(mLayout, UnderlineAttributes());
  gdk_draw_layout(drawable, gc, b.left, b.top, mLayout);
  if (underline) pango_layout_set_attributes(mLayout, nullptr);
}

int32_t GraphicsGTK::StringWidth(const string& text) {
  if (!mTarget) return 0;
  PangoLayout* layout = ShapedLayout(text);
  if (!layout) return 0;
  int width = 0, height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  return width;
}

int32_t GraphicsGTK::StringHeight(const string& text, int32_t wrapWidth) {
  if (!mTarget) return 0;
  UpdateLayout();
  if (!mLayout) return 0;
  // A width below 1 gives no width to wrap at rather than a break after every character; so
  // does one wider than Pango can count (2,097,151 pixels), at which no text wraps anyway.
  const bool wraps = wrapWidth > 0 && wrapWidth <= INT32_MAX / PANGO_SCALE;
  pango_layout_set_width(mLayout, wraps ? wrapWidth * PANGO_SCALE : -1);
  pango_layout_set_wrap(mLayout, PANGO_WRAP_WORD);
  SetLayoutText(text);
  int width = 0, height = 0;
  pango_layout_get_pixel_size(mLayout, &width, &height);
  return height;
}

void GraphicsGTK::LoadMetrics() {
  UpdateLayout();
  if (mMetricsValid) return;
  PangoFont* font = nullptr;
  if (mContext && mFontDescription) {
    pango_context_set_font_description(mContext, mFontDescription);
    font = pango_context_load_font(mContext, mFontDescription);
  }
  if (!font) {
    mAscent = mDescent = mHeight = -1;
    return;
  }
  int32_t ascent = 0, descent = 0;
  GetFontAscentDescent(font, &ascent, &descent);
  mAscent = static_cast<int32_t>(std::lround(ascent / 1024.0)) - 1;
  mDescent = static_cast<int32_t>(std::lround(descent / 1024.0));
  mHeight = mAscent + mDescent;
  g_object_unref(font);
  mMetricsValid = true;
}

int32_t GraphicsGTK::FontAscent() {
  if (!mTarget) return 0;
  LoadMetrics();
  return mAscent;
}

int32_t GraphicsGTK::FontDescent() {
  if (!mTarget) return 0;
  LoadMetrics();
  return mDescent;
}

int32_t GraphicsGTK::TextHeight() {
  if (!mTarget) return 0;
  LoadMetrics();
  return mHeight;
}

// --- pixels and icons ----------------------------------------------------------------------

void GraphicsGTK::GetPixel(int32_t h, int32_t v, RGB48* out) {
  GdkDrawable* drawable = GetGdkDrawable();
  if (!drawable || !out) return;
  ToDevicePoint(&h, &v);
  gint width = 0, height = 0;
  gdk_drawable_get_size(drawable, &width, &height);
  if (h < 0 || v < 0 || h >= width || v >= height) return;
  GdkPixbuf* pixel = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 1, 1);
  if (!pixel) return;
  if (gdk_pixbuf_get_from_drawable(pixel, drawable, ColormapFor(drawable), h, v, 0, 0, 1, 1)) {
    const guchar* p = gdk_pixbuf_get_pixels(pixel);
    if (p) *out = RGB48{static_cast<uint16_t>(p[0] * 257), static_cast<uint16_t>(p[1] * 257),
                        static_cast<uint16_t>(p[2] * 257)};
  }
  g_object_unref(pixel);
}

void GraphicsGTK::SetPixel(int32_t h, int32_t v, const RGB48& color) {
  GdkDrawable* drawable = GetGdkDrawable();
  if (!drawable) return;
  ToDevicePoint(&h, &v);
  const RGB48 saved = mForeColor;
  SetForeColor(color);
  if (GdkGC* gc = GetGC()) gdk_draw_point(drawable, gc, h, v);
  SetForeColor(saved);
}

void GraphicsGTK::DrawIcon(int32_t kind, int32_t h, int32_t v, int32_t width, int32_t height) {
  GdkDrawable* drawable = GetGdkDrawable();
  GdkGC* gc = drawable ? GetGC() : nullptr;
  if (!gc || width < 1 || height < 1) return;
  GdkPixbuf* icon = StockIcon(kind, mTarget->GetWidget());
  if (!icon) return;
  GdkPixbuf* scaled = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
  if (!scaled) return;
  gdk_pixbuf_scale(icon, scaled, 0, 0, width, height, 0, 0,
                   static_cast<double>(width) / gdk_pixbuf_get_width(icon),
                   static_cast<double>(height) / gdk_pixbuf_get_height(icon), GDK_INTERP_BILINEAR);
  // Blended over what is there, so the icon's transparent corners keep the background.
  gdk_draw_pixbuf(drawable, gc, scaled, 0, 0, h, v, width, height, GDK_RGB_DITHER_NONE, 0, 0);
  g_object_unref(scaled);
}

void GraphicsGTK::DrawFocusRing(const Rect& rect) {
  GdkDrawable* drawable = GetGdkDrawable();
  GdkGC* gc = drawable ? GetGC() : nullptr;
  if (!gc) return;
  const DeviceBox b = ToDeviceBox(rect);
  gdk_gc_set_line_attributes(gc, 1, GDK_LINE_ON_OFF_DASH, GDK_CAP_BUTT, GDK_JOIN_MITER);
  GdkPoint ring[5] = {{b.left, b.top},
                      {b.right - 1, b.top},
                      {b.right - 1, b.bottom - 1},
                      {b.left, b.bottom - 1},
                      {b.left, b.top}};
  gdk_draw_lines(drawable, gc, ring, 5);
  gdk_gc_set_line_attributes(gc, 0, GDK_LINE_SOLID, GDK_CAP_BUTT, GDK_JOIN_MITER);
}

// --- making ports --------------------------------------------------------------------------

Graphics* NewGraphics(GraphicsTarget* target) { return new GraphicsGTK(target); }

}  // namespace vorn
