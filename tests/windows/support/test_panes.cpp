#include "windows/support/test_panes.h"

#include <gtk/gtk.h>

#include "windows/gtk_pane_support.h"

namespace vorn::test {

TestButton::TestButton(SubPane* parent, const Rect& bounds, const char* caption, bool isDefault)
    : ContainerPane(parent, 0, bounds), isDefault(isDefault) {
  SetWidget(gtk_button_new_with_label(caption));
  ConnectButtonPressHandler(this);
  ConnectGrabFocusHandler(this);
  AddPaneToWindow(this, true);
}

SubPane* TestButton::FindDefaultButton() { return isDefault ? this : nullptr; }
void TestButton::Press() { ++presses; }

bool TestButton::MouseDown(int32_t, int32_t, int32_t) {
  ++mouseDowns;
  return false;
}

TestEntry::TestEntry(SubPane* parent, const Rect& bounds) : SubPane(parent, 0, bounds) {
  SetWidget(gtk_entry_new());
  ConnectButtonPressHandler(this);
  ConnectGrabFocusHandler(this);
  AddPaneToWindow(this, true);
}

bool TestClickPane::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  clicks.push_back({x, y, modifiers});
  return true;
}

bool TestClickPane::MouseWheel(int32_t, int32_t, int32_t delta) {
  wheel.push_back(delta);
  return true;
}

SwatchPane::SwatchPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, uint32_t rgb)
    : SubPane(parent, tabPanelIndex, bounds, true) {
  GtkWidget* box = gtk_event_box_new();
  GdkColor color = {0, static_cast<guint16>(((rgb >> 16) & 0xFF) * 257), static_cast<guint16>(((rgb >> 8) & 0xFF) * 257),
                    static_cast<guint16>((rgb & 0xFF) * 257)};
  gtk_widget_modify_bg(box, GTK_STATE_NORMAL, &color);
  gtk_widget_modify_bg(box, GTK_STATE_INSENSITIVE, &color);
  SetWidget(box);
  AddPaneToWindow(this, true);
}

}  // namespace vorn::test
