#include "controls/progress_bar_pane.h"

#include <gtk/gtk.h>

#include "windows/pane_port.h"
#include "controls/progress_logic.h"
#include "graphics/graphics_gtk.h"
#include "windows/gtk_pane_support.h"

namespace vorn {

void ProgressBackgroundTask::Run() { mPane->Pulse(); }

ProgressBar::ProgressBar(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, int32_t value,
                         int32_t maximum)
    : SubPane(parent, tabPanelIndex, bounds), mValue(value), mMaximum(maximum) {
  EnsurePanePorts();
  SetWidget(gtk_progress_bar_new());
  AddPaneToWindow(this, true);
  if (ProgressIsIndeterminate(maximum)) {
    StartPulsing();
  } else {
    SetValue(value);
  }
}

ProgressBar::~ProgressBar() { mPulseTask.reset(); }

void ProgressBar::StartPulsing() {
  if (mWidget) gtk_progress_bar_set_pulse_step(GTK_PROGRESS_BAR(mWidget), 0.1);
  if (!mPulseTask) mPulseTask = std::make_unique<ProgressBackgroundTask>(this);
}

void ProgressBar::Pulse() {
  if (!mVisible || !mWidget || !gtk_widget_get_window(mWidget)) return;
  gtk_progress_bar_pulse(GTK_PROGRESS_BAR(mWidget));
}

void ProgressBar::SetValue(int32_t value) {
  mValue = value;
  if (mMaximum <= 0 || !mWidget) return;
  gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(mWidget), ProgressFraction(value, mMaximum));
}

void ProgressBar::SetMaximum(int32_t maximum) {
  mMaximum = maximum;
  if (ProgressIsIndeterminate(maximum)) {
    StartPulsing();
    return;
  }
  mPulseTask.reset();
  SetValue(mValue);
}

bool ProgressBar::MouseDown(int32_t x, int32_t y, int32_t) { return mMouse.Down(this, x, y); }
void ProgressBar::MouseDrag(int32_t x, int32_t y) { mMouse.Drag(this, x, y); }
void ProgressBar::MouseUp(int32_t x, int32_t y) { mMouse.Up(this, x, y); }

void ProgressBar::DrawInto(Graphics* port) {
  if (!port) return;
  if (mWidget && !GTK_WIDGET_REALIZED(mWidget)) {
    GtkWidget* top = gtk_widget_get_toplevel(mWidget);
    if (top && GTK_WIDGET_TOPLEVEL(top)) gtk_widget_realize(mWidget);
  }
  auto* gtkPort = dynamic_cast<GraphicsGTK*>(port);
  GdkDrawable* drawable = gtkPort ? gtkPort->GetGdkDrawable() : nullptr;
  if (drawable && mWidget && GTK_WIDGET_REALIZED(mWidget)) {
    GtkStyle* style = gtk_widget_get_style(mWidget);
    auto* target = reinterpret_cast<GdkWindow*>(drawable);
    Rect trough = gtkPort->ToDeviceRect(mBounds);
    gtk_paint_box(style, target, GTK_STATE_NORMAL, GTK_SHADOW_IN, nullptr, mWidget, "through", trough.left,
                  trough.top, trough.Width(), trough.Height());
    int32_t fill = ProgressBarFillWidth(mWidth, mValue, mMaximum);
    if (fill > 0) {
      gtk_paint_box(style, target, GTK_STATE_PRELIGHT, GTK_SHADOW_OUT, nullptr, mWidget, "bar", trough.left + 2,
                    trough.top + 2, fill, trough.Height() - 4);
    }
  }
  SubPane::DrawInto(port);
}

}  // namespace vorn
