// The language's questions to the desktop that belong to no window: the bell, the contextual
// click, the theme's colours, the open windows in front-to-back order, the control's window
// and whether help tags show.
#include "vorn/desktop_api.h"

#include <gtk/gtk.h>

#include "vorn/control_api.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_window_order.h"
#include "windows/runtime_window.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

// Indexes of the theme colour table (see GetSystemColor).
enum ThemeColor : int32_t {
  kSelectedBackground = 0,
  kDark = 1,
  kBackground = 2,
  kText = 3,
  kBase = 4,
  kActiveBackground = 5,
  kInsensitiveText = 6,
};

uint32_t ThemeColorValue(ThemeColor index) {
  SystemColor c = GetSystemColor(index);
  return (uint32_t{c.red} >> 8) << 16 | (uint32_t{c.green} >> 8) << 8 | (uint32_t{c.blue} >> 8);
}

// The runtime windows in front-to-back order; message dialogs and other windows of the
// runtime's own are not the program's.
RuntimeObject* NthProgramWindow(int32_t wanted, int32_t* count) {
  int32_t seen = 0;
  for (int32_t i = 0; i < GetWindowOrderCount(); ++i) {
    auto* view = dynamic_cast<RuntimeViewWindow*>(GetWindowOrderItem(i));
    if (!view || !view->WindowObjectRef()) continue;
    if (seen++ == wanted) return view->WindowObjectRef();
  }
  if (count) *count = seen;
  return nullptr;
}

GtkSettings* Settings() { return gdk_display_get_default() ? gtk_settings_get_default() : nullptr; }

}  // namespace

}  // namespace vorn

using namespace vorn;

extern "C" {

void RuntimeBeep(void) {
  if (gdk_display_get_default()) gdk_beep();
}

uint8_t IsCMMClick(void) {
  GdkEvent* event = gtk_get_current_event();
  if (!event) return 0;
  bool contextual = event->type == GDK_BUTTON_PRESS && event->button.button == 3;
  gdk_event_free(event);
  return contextual ? 1 : 0;
}

uint32_t getFillColor(void) { return ThemeColorValue(kBackground); }
uint32_t getFrameColor(void) { return ThemeColorValue(kDark); }
uint32_t getTextColor(void) { return ThemeColorValue(kText); }
uint32_t getHilightColor(void) { return ThemeColorValue(kSelectedBackground); }
uint32_t getLightTingeColor(void) { return ThemeColorValue(kBase); }
uint32_t getDarkTingeColor(void) { return ThemeColorValue(kActiveBackground); }
uint32_t getLightBevelColor(void) { return ThemeColorValue(kBase); }
uint32_t getDarkBevelColor(void) { return ThemeColorValue(kDark); }
uint32_t GetDisabledTextColor(void) { return ThemeColorValue(kInsensitiveText); }

int32_t getWindowCount(void) {
  int32_t count = 0;
  NthProgramWindow(-1, &count);
  return count;
}

VornRuntimeObject* getWindow(int32_t index) {
  RuntimeObject* window = index < 0 ? nullptr : NthProgramWindow(index, nullptr);
  RuntimeLockObject(window);
  return window;
}

VornRuntimeObject* getControlWindow(VornRuntimeObject* control) {
  return control ? controlWindowGetter(control, 0) : nullptr;
}

uint8_t AppBalloonHelpVisibleGetter(VornRuntimeObject*, int32_t) {
  GtkSettings* settings = Settings();
  if (!settings) return 1;
  gboolean enabled = TRUE;
  g_object_get(settings, "gtk-enable-tooltips", &enabled, nullptr);
  return enabled ? 1 : 0;
}

// The time of the input event being handled, in milliseconds of the display server's clock;
// 0 when no event is being handled (or there is no display).
double AppGetCurrentEventTime(VornRuntimeObject*) {
  return static_cast<double>(gtk_get_current_event_time());
}

void AppBalloonHelpVisibleSetter(VornRuntimeObject*, int32_t, uint8_t visible) {
  if (GtkSettings* settings = Settings()) {
    gtk_settings_set_long_property(settings, "gtk-enable-tooltips", visible ? 1 : 0, "vorn");
  }
}

}  // extern "C"
