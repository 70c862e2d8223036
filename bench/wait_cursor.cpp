// The cost the automatic wait cursor adds to every event wait of the main thread: one
// iteration of GLib's loop with nothing pending and a window shown, with the wait cursor's
// heartbeat around the poll and with GLib's bare poll.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>

#include "windows/wait_cursor.h"

namespace {

GPollFunc sBarePoll = nullptr;
GPollFunc sWatchedPoll = nullptr;

bool DisplayReady() {
  static bool ready = [] {
    if (!gtk_init_check(nullptr, nullptr)) return false;
    sBarePoll = g_main_context_get_poll_func(nullptr);
    vorn::InstallWaitCursor();
    sWatchedPoll = g_main_context_get_poll_func(nullptr);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_show(window);
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    return true;
  }();
  return ready;
}

void Iterate(benchmark::State& state, bool watched) {
  if (!DisplayReady()) {
    state.SkipWithError("no X display");
    return;
  }
  g_main_context_set_poll_func(nullptr, watched ? sWatchedPoll : sBarePoll);
  for (auto _ : state) g_main_context_iteration(nullptr, FALSE);
  g_main_context_set_poll_func(nullptr, sWatchedPoll);
}

void BM_IterationWithWaitCursor(benchmark::State& state) { Iterate(state, true); }
BENCHMARK(BM_IterationWithWaitCursor);

void BM_IterationWithBarePoll(benchmark::State& state) { Iterate(state, false); }
BENCHMARK(BM_IterationWithBarePoll);

}  // namespace

BENCHMARK_MAIN();
