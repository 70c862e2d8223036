// Painting scroll bars and sliders into a drawing port with the theme's own functions, for
// DrawInto and printing (on screen GTK draws the widgets itself).
#include <gtk/gtk.h>

#include <algorithm>

#include "windows/pane_port.h"
#include "controls/scroller.h"
#include "graphics/graphics_gtk.h"

namespace vorn {

namespace {

constexpr int32_t kBarThickness = 16;
constexpr int32_t kStepperLength = 14;
constexpr int32_t kMinThumb = 7;
constexpr int32_t kSliderThumb = 31;

struct Box {
  int32_t x, y, width, height;
};

// The widget's style, once its GdkWindow exists; nil when it cannot have one yet.
GtkStyle* PaintStyle(GtkWidget* widget) {
  if (!widget) return nullptr;
  if (!GTK_WIDGET_REALIZED(widget)) {
    GtkWidget* top = gtk_widget_get_toplevel(widget);
    if (!top || !GTK_WIDGET_TOPLEVEL(top)) return nullptr;
    gtk_widget_realize(widget);
  }
  return GTK_WIDGET_REALIZED(widget) ? gtk_widget_get_style(widget) : nullptr;
}

// The area drawn on, in device coordinates: the bar (at most kBarThickness across, centred
// across a thicker rectangle) and the port's clip.
struct Canvas {
  GdkWindow* window = nullptr;
  GdkRectangle clip{};
  GdkRectangle* clipPointer = nullptr;
  Box bar{};
};

bool PrepareCanvas(Graphics* port, const Rect& bounds, bool vertical, Canvas* out) {
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  GdkDrawable* drawable = gtkPort ? gtkPort->GetGdkDrawable() : nullptr;
  if (!drawable) return false;
  // The theme functions are declared over GdkWindow but draw on any drawable, so an
  // offscreen pixmap passes as one.
  out->window = reinterpret_cast<GdkWindow*>(drawable);
  Rect device = gtkPort->ToDeviceRect(bounds);
  Box box{device.left, device.top, device.Width(), device.Height()};
  if (vertical) {
    int32_t thickness = std::min(kBarThickness, box.width);
    box.x += (box.width - thickness) / 2;
    box.width = thickness;
  } else {
    int32_t thickness = std::min(kBarThickness, box.height);
    box.y += (box.height - thickness) / 2;
    box.height = thickness;
  }
  if (box.width < 1 || box.height < 1) return false;
  out->bar = box;
  if (const Rect* clip = gtkPort->GetClipRect()) {
    Rect c = gtkPort->ToDeviceRect(*clip);
    out->clip = GdkRectangle{c.left, c.top, c.Width(), c.Height()};
    out->clipPointer = &out->clip;
  }
  return true;
}

}  // namespace

int32_t SliderThumbOffset(int32_t length, int32_t thumb, int32_t value, int32_t minimum,
                          int32_t maximum) {
  int32_t travel = length - thumb;
  // An empty range (a bound still pending) or a trough too short holds the thumb at its start.
  if (travel <= 0 || maximum <= minimum) return 0;
  int64_t span = int64_t{maximum} - minimum;
  int64_t at = std::clamp<int64_t>(int64_t{value} - minimum, 0, span);
  return static_cast<int32_t>(at * travel / span);
}

void PaintScrollBar(NativeWidget widget, Graphics* port, const Rect& bounds, bool vertical,
                    bool enabled, int32_t value, int32_t maximum) {
  GtkStyle* style = PaintStyle(widget);
  Canvas canvas;
  if (!style || !PrepareCanvas(port, bounds, vertical, &canvas)) return;
  const Box bar = canvas.bar;
  const char* detail = vertical ? "vscrollbar" : "hscrollbar";
  GtkStateType troughState = enabled ? GTK_STATE_ACTIVE : GTK_STATE_INSENSITIVE;
  GtkStateType state = enabled ? GTK_STATE_NORMAL : GTK_STATE_INSENSITIVE;
  gtk_paint_box(style, canvas.window, troughState, GTK_SHADOW_IN, canvas.clipPointer, widget,
                "through", bar.x, bar.y, bar.width, bar.height);

  int32_t length = vertical ? bar.height : bar.width;
  int32_t across = vertical ? bar.width : bar.height;
  int32_t stepper = std::min(kStepperLength, length / 2);
  auto along = [&](int32_t offset, int32_t size) {
    return vertical ? Box{bar.x + 1, bar.y + offset + 1, across - 2, size - 2}
                    : Box{bar.x + offset + 1, bar.y + 1, size - 2, across - 2};
  };
  auto paintStepper = [&](int32_t offset, GtkArrowType arrow) {
    Box b = along(offset, stepper);
    if (b.width < 1 || b.height < 1) return;
    gtk_paint_box(style, canvas.window, state, GTK_SHADOW_OUT, canvas.clipPointer, widget, detail,
                  b.x, b.y, b.width, b.height);
    int32_t inset = std::min(3, std::min(b.width, b.height) / 4);
    gtk_paint_arrow(style, canvas.window, state, GTK_SHADOW_OUT, canvas.clipPointer, widget, detail,
                    arrow, TRUE, b.x + inset, b.y + inset, b.width - 2 * inset, b.height - 2 * inset);
  };
  paintStepper(0, vertical ? GTK_ARROW_UP : GTK_ARROW_LEFT);
  paintStepper(length - stepper, vertical ? GTK_ARROW_DOWN : GTK_ARROW_RIGHT);

  int32_t free = length - 2 * stepper;
  if (maximum <= 0 || free <= 1) return;
  int32_t thumb = free < kMinThumb ? free : std::max(kMinThumb, std::min(free / 4, 3 * across));
  int64_t at = std::clamp<int64_t>(value, 0, maximum);
  int32_t offset = stepper + static_cast<int32_t>(at * (free - thumb) / maximum);
  Box t = vertical ? Box{bar.x + 1, bar.y + offset, across - 2, thumb}
                   : Box{bar.x + offset, bar.y + 1, thumb, across - 2};
  if (t.width < 1 || t.height < 1) return;
  gtk_paint_box(style, canvas.window, state, GTK_SHADOW_OUT, canvas.clipPointer, widget, detail,
                t.x, t.y, t.width, t.height);
}

void Scroller::DrawSliderInto(Graphics* port) {
  GtkStyle* style = PaintStyle(mWidget);
  Canvas canvas;
  if (!style || !PrepareCanvas(port, mBounds, mVertical, &canvas)) return;
  const Box bar = canvas.bar;
  GtkStateType state = mEnabled ? GTK_STATE_NORMAL : GTK_STATE_INSENSITIVE;
  gtk_paint_box(style, canvas.window, state, GTK_SHADOW_IN, canvas.clipPointer, mWidget, "through",
                bar.x, bar.y, bar.width, bar.height);
  int32_t length = mVertical ? bar.height : bar.width;
  int32_t thumb = std::min(kSliderThumb, length);
  int32_t offset = SliderThumbOffset(length, kSliderThumb, GetValue(), GetMinimum(), GetMaximum());
  Box t = mVertical ? Box{bar.x, bar.y + offset, bar.width, thumb}
                    : Box{bar.x + offset, bar.y, thumb, bar.height};
  gtk_paint_slider(style, canvas.window, state, GTK_SHADOW_OUT, canvas.clipPointer, mWidget, "slider",
                   t.x, t.y, t.width, t.height,
                   mVertical ? GTK_ORIENTATION_VERTICAL : GTK_ORIENTATION_HORIZONTAL);
}

void Scroller::DrawInto(Graphics* port) {
  if (mSlider) {
    DrawSliderInto(port);
  } else {
    // The thumb stands where the value lies in the range, whatever the minimum.
    int32_t minimum = GetMinimum();
    int64_t span = int64_t{GetMaximum()} - minimum;
    int64_t value = int64_t{GetValue()} - minimum;
    PaintScrollBar(mWidget, port, mBounds, mVertical, mEnabled,
                   static_cast<int32_t>(std::clamp<int64_t>(value, 0, INT32_MAX)),
                   static_cast<int32_t>(std::clamp<int64_t>(span, 0, INT32_MAX)));
  }
  SubPane::DrawInto(port);
}

}  // namespace vorn
