// The list box against a GtkTreeView over a GtkListStore, both shown in a window: adding
// 100,000 rows of three columns, sorting them by the first column, and redrawing one screen of
// rows after a scroll. Adding also reports the heap bytes the rows hold, per row. The list box
// also adds its rows as the children of a folder, from the folder's ExpandRow event.
#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "listbox/runtime_listbox.h"
#include "windows/window.h"

namespace {

constexpr int kRows = 100000;

bool DisplayReady() {
  static bool ready = gtk_init_check(nullptr, nullptr);
  return ready;
}

void Drain() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

// Row texts in a scrambled order, so that sorting has work to do.
const std::vector<std::string>& Texts() {
  static std::vector<std::string> texts = [] {
    std::vector<std::string> out;
    out.reserve(kRows);
    uint32_t x = 12345;
    for (int i = 0; i < kRows; ++i) {
      x = x * 1664525u + 1013904223u;
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "item %08u", x % 100000000u);
      out.emplace_back(buffer);
    }
    return out;
  }();
  return texts;
}

// A hierarchical list whose ExpandRow handler fills the opening folder as RuntimeList::Fill
// fills the list.
class FillingListbox : public vorn::RuntimeListbox {
 public:
  using RuntimeListbox::RuntimeListbox;
  void (*fill)(vorn::RuntimeListbox*) = nullptr;

 protected:
  void FireExpandRow(int32_t) override { fill(this); }
};

struct RuntimeList {
  RuntimeList() {
    window = new vorn::Window(vorn::string("Bench"), vorn::MakeRect(50, 50, 470, 370), 0, 0, true);
    list = new FillingListbox(window, 0, vorn::MakeRect(10, 10, 410, 310), false);
    list->Columns().SetColumnCount(3);
    list->Columns().LayoutColumns();
    list->SetVerticalScrollBarWanted(true);
    window->Show();
    vorn::Window::ShowPendingWindows();
    Drain();
  }
  ~RuntimeList() {
    window->Close();
    Drain();
  }
  // As a program fills it: a text of its own for each row's first cell, the same two literals
  // for the others.
  void Fill() { AddRows(list); }
  static void AddRows(vorn::RuntimeListbox* list) {
    const auto& texts = Texts();
    const vorn::string second("second column", vorn::kEncodingUTF8);
    const vorn::string third("third", vorn::kEncodingUTF8);
    for (int i = 0; i < kRows; ++i) {
      const int32_t row = list->AddTextRow(vorn::string(texts[i], vorn::kEncodingUTF8), vorn::kPlainRow);
      list->SetCellText(row, 1, second, false);
      list->SetCellText(row, 2, third, false);
    }
  }
  vorn::Window* window;
  FillingListbox* list;
};

// The same rows, added by the ExpandRow handler of the list's one folder as it opens.
struct RuntimeFolderList : RuntimeList {
  RuntimeFolderList() {
    list->SetHierarchical(true);
    list->AddTextRow(vorn::string("folder"), vorn::kCollapsedFolder);
    list->fill = &RuntimeList::AddRows;
  }
  void Fill() { list->ExpandFolder(0); }
};

struct TreeViewList {
  TreeViewList() {
    window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_resize(GTK_WINDOW(window), 420, 320);
    store = gtk_list_store_new(3, G_TYPE_STRING, G_TYPE_STRING, G_TYPE_STRING);
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_ALWAYS);
    view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    // Fixed heights, as the list box has: the view need not measure every row.
    for (int column = 0; column < 3; ++column) {
      GtkCellRenderer* renderer = gtk_cell_renderer_text_new();
      GtkTreeViewColumn* c =
          gtk_tree_view_column_new_with_attributes("Column", renderer, "text", column, static_cast<void*>(nullptr));
      gtk_tree_view_column_set_sizing(c, GTK_TREE_VIEW_COLUMN_FIXED);
      gtk_tree_view_column_set_fixed_width(c, 130);
      gtk_tree_view_append_column(GTK_TREE_VIEW(view), c);
    }
    gtk_tree_view_set_fixed_height_mode(GTK_TREE_VIEW(view), TRUE);
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    gtk_container_add(GTK_CONTAINER(window), scrolled);
    gtk_widget_show_all(window);
    Drain();
  }
  ~TreeViewList() {
    gtk_widget_destroy(window);
    g_object_unref(store);
    Drain();
  }
  void Fill() {
    const auto& texts = Texts();
    for (int i = 0; i < kRows; ++i) {
      gtk_list_store_insert_with_values(store, nullptr, -1, 0, texts[i].c_str(), 1, "second column", 2, "third", -1);
    }
  }
  GtkWidget* window;
  GtkListStore* store;
  GtkWidget* view;
};

void SortRuntimeList(RuntimeList* list) { list->list->SortByColumn(0); }
void SortTreeView(TreeViewList* list) {
  gtk_tree_sortable_set_sort_column_id(GTK_TREE_SORTABLE(list->store), 0, GTK_SORT_ASCENDING);
}

// Bytes the heap has handed out and not had back: the arena's and the mapped blocks'.
int64_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>(info.uordblks + info.hblkhd);
}

// Times the filling of a new shown list, or with `sort` its sorting after an untimed fill. A
// fill reports the most heap bytes per row any iteration's rows took (later iterations may
// reuse memory an allocator kept from the one before).
template <typename List>
void TimeFillOrSort(benchmark::State& state, void (*sort)(List*)) {
  if (!DisplayReady()) return state.SkipWithError("no X display");
  Texts();  // made once, outside the bytes counted
  int64_t mostBytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto* list = new List();
    if (sort) {
      list->Fill();
      Drain();
    }
    const int64_t before = HeapInUse();
    state.ResumeTiming();
    if (sort) {
      sort(list);
    } else {
      list->Fill();
    }
    Drain();
    state.PauseTiming();
    mostBytes = std::max(mostBytes, HeapInUse() - before);
    delete list;
    state.ResumeTiming();
  }
  if (!sort) state.counters["bytes_per_row"] = static_cast<double>(mostBytes) / kRows;
}

void BM_ListboxAdd100kRows(benchmark::State& state) { TimeFillOrSort<RuntimeList>(state, nullptr); }
void BM_ListboxAdd100kRowsInExpandRow(benchmark::State& state) { TimeFillOrSort<RuntimeFolderList>(state, nullptr); }
void BM_TreeViewAdd100kRows(benchmark::State& state) { TimeFillOrSort<TreeViewList>(state, nullptr); }
void BM_ListboxSort100kRows(benchmark::State& state) { TimeFillOrSort<RuntimeList>(state, &SortRuntimeList); }
void BM_TreeViewSort100kRows(benchmark::State& state) { TimeFillOrSort<TreeViewList>(state, &SortTreeView); }
BENCHMARK(BM_ListboxAdd100kRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ListboxAdd100kRowsInExpandRow)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TreeViewAdd100kRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ListboxSort100kRows)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TreeViewSort100kRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// One scroll, by a screenful (argument 0) or by one row (1), then the redraw it causes, done
// at once. A one-row step is what a wheel or an arrow key gives; a screenful redraws every row.
void BM_ListboxRedrawAfterScroll(benchmark::State& state) {
  if (!DisplayReady()) return state.SkipWithError("no X display");
  RuntimeList list;
  list.Fill();
  Drain();
  GdkWindow* window = list.list->Widget() ? list.list->Widget()->window : nullptr;
  const bool oneRow = state.range(0) == 1;
  int32_t first = 0;
  for (auto _ : state) {
    first = (first + (oneRow ? 1 : list.list->VisibleRowCount())) % (kRows - 100);
    list.list->SetFirstVisibleRow(first);
    if (window) gdk_window_process_updates(window, TRUE);
    gdk_flush();
  }
}
BENCHMARK(BM_ListboxRedrawAfterScroll)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_TreeViewRedrawAfterScroll(benchmark::State& state) {
  if (!DisplayReady()) return state.SkipWithError("no X display");
  TreeViewList list;
  list.Fill();
  Drain();
  GtkAdjustment* adjustment = gtk_tree_view_get_vadjustment(GTK_TREE_VIEW(list.view));
  GdkWindow* bin = gtk_tree_view_get_bin_window(GTK_TREE_VIEW(list.view));
  GdkRectangle firstRow{};
  GtkTreePath* path = gtk_tree_path_new_first();
  gtk_tree_view_get_background_area(GTK_TREE_VIEW(list.view), path, nullptr, &firstRow);
  gtk_tree_path_free(path);
  const double step = state.range(0) == 1 ? firstRow.height : adjustment->page_size;
  double value = 0;
  for (auto _ : state) {
    value += step;
    if (value > adjustment->upper - adjustment->page_size) value = 0;
    gtk_adjustment_set_value(adjustment, value);
    if (bin) gdk_window_process_updates(bin, TRUE);
    gdk_flush();
  }
}
BENCHMARK(BM_TreeViewRedrawAfterScroll)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
