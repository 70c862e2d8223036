// Creating and showing a window with 50 button panes, against the same widgets made with GTK
// directly.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include "windows/container_pane.h"
#include "windows/gtk_pane_support.h"
#include "windows/window.h"

namespace {

constexpr int kPanes = 50;

bool DisplayReady() {
  static bool ready = gtk_init_check(nullptr, nullptr);
  return ready;
}

void Drain() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

vorn::Rect PaneBounds(int i) {
  int left = 10 + (i % 5) * 110;
  int top = 10 + (i / 5) * 36;
  return vorn::MakeRect(left, top, left + 100, top + 30);
}

class ButtonPane : public vorn::ContainerPane {
 public:
  ButtonPane(vorn::SubPane* parent, const vorn::Rect& r) : ContainerPane(parent, 0, r) {
    SetWidget(gtk_button_new_with_label("Button"));
    vorn::ConnectButtonPressHandler(this);
    vorn::ConnectGrabFocusHandler(this);
    vorn::AddPaneToWindow(this, true);
  }
};

void BM_RuntimeWindowWithPanes(benchmark::State& state) {
  if (!DisplayReady()) {
    state.SkipWithError("no X display");
    return;
  }
  for (auto _ : state) {
    auto* window = new vorn::Window(vorn::string("Bench"), vorn::MakeRect(50, 50, 620, 430), 0, 0, true);
    for (int i = 0; i < kPanes; ++i) new ButtonPane(window, PaneBounds(i));
    window->Show();
    vorn::Window::ShowPendingWindows();
    Drain();
    window->Close();
    Drain();
  }
}
BENCHMARK(BM_RuntimeWindowWithPanes)->Unit(benchmark::kMillisecond);

void BM_PlainGtkWindowWithWidgets(benchmark::State& state) {
  if (!DisplayReady()) {
    state.SkipWithError("no X display");
    return;
  }
  for (auto _ : state) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_move(GTK_WINDOW(window), 50, 50);
    gtk_window_resize(GTK_WINDOW(window), 570, 380);
    GtkWidget* box = gtk_vbox_new(FALSE, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_widget_show(box);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_box_pack_end(GTK_BOX(box), fixed, TRUE, TRUE, 0);
    gtk_widget_show(fixed);
    for (int i = 0; i < kPanes; ++i) {
      vorn::Rect r = PaneBounds(i);
      GtkWidget* button = gtk_button_new_with_label("Button");
      gtk_fixed_put(GTK_FIXED(fixed), button, r.left, r.top);
      gtk_widget_set_size_request(button, r.Width(), r.Height());
      gtk_widget_show(button);
    }
    gtk_widget_show(window);
    Drain();
    gtk_widget_destroy(window);
    Drain();
  }
}
BENCHMARK(BM_PlainGtkWindowWithWidgets)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
