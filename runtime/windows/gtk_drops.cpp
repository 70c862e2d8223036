#include "windows/gtk_drops.h"

#include <gtk/gtk.h>

#include <cstring>

#include "strings/case_table.h"
#include "windows/sub_pane.h"

namespace vorn {

namespace {

DropItemMaker* sMaker = nullptr;
DragItem* sCurrentDragItem = nullptr;
bool sDragTracking = false;

enum DropInfo : guint { kDropURIList = 0, kDropTextPlain = 1, kDropString = 2 };

constexpr const char* kDropHandlerKey = "vorn-drop-handler";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         CompareBytesNoCase(text.data(), static_cast<int32_t>(prefix.size()), prefix.data(),
                            static_cast<int32_t>(prefix.size())) == 0;
}

// The local path of one URI line, or empty when the line names no local file.
std::string LocalPathOfURI(std::string_view uri) {
  if (!StartsWithNoCase(uri, "file:")) return {};
  std::string_view rest = uri.substr(5);
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    // An authority other than the local host names a file elsewhere.
    size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return {};
    std::string_view host = rest.substr(0, slash);
    bool local = host.empty() || (host.size() == 9 && StartsWithNoCase(host, "localhost"));
    if (!local) return {};
    rest.remove_prefix(slash);
  }
  if (rest.empty() || rest[0] != '/') return {};
  while (rest.size() > 1 && rest[1] == '/') rest.remove_prefix(1);
  std::string path = PercentDecodeURI(rest);
  // A decoded NUL would cut the path short somewhere else; such a URI is not taken.
  if (path.find('\0') != std::string::npos) return {};
  return path;
}

void OnDragDataReceived(GtkWidget*, GdkDragContext* context, gint x, gint y,
                        GtkSelectionData* data, guint info, guint time, gpointer user) {
  auto* pane = static_cast<SubPane*>(user);
  if (info != kDropURIList && info != kDropTextPlain && info != kDropString) return;
  const char* bytes = data && data->data ? reinterpret_cast<const char*>(data->data) : "";
  size_t length = data && data->length > 0 ? static_cast<size_t>(data->length) : 0;
  std::string_view text(bytes, length);
  if (info == kDropURIList) {
    DeliverDrop(pane, ParseURIListDrop(text), x, y);
  } else if (!sDragTracking) {
    DropPayload payload;
    payload.text = string(text, kEncodingUTF8);
    DeliverDrop(pane, payload, x, y);
  }
  gtk_drag_finish(context, TRUE, FALSE, time);
}

// A pane may take files and text at once: its widget gets one table with both.
void InstallDropTargets(SubPane* pane) {
  NativeWidget widget = pane->Widget();
  if (!widget) return;
  static const GtkTargetEntry kFiles[] = {{const_cast<gchar*>("text/uri-list"), 0, kDropURIList}};
  static const GtkTargetEntry kText[] = {{const_cast<gchar*>("text/plain"), 0, kDropTextPlain},
                                         {const_cast<gchar*>("STRING"), 0, kDropString}};
  GtkTargetEntry table[3];
  int count = 0;
  bool files = !pane->FileTypes().empty();
  bool textDrops = false;
  for (const string& t : pane->DropTypes()) {
    textDrops = textDrops || CompareBytesNoCase(t.CString(), t.Length(), "TEXT", 4) == 0;
  }
  if (files) table[count++] = kFiles[0];
  if (textDrops) {
    table[count++] = kText[0];
    table[count++] = kText[1];
  }
  if (count == 0) return;
  gtk_drag_dest_set(widget, GTK_DEST_DEFAULT_ALL, table, count,
                    static_cast<GdkDragAction>(GDK_ACTION_COPY | GDK_ACTION_MOVE));
  if (!g_object_get_data(G_OBJECT(widget), kDropHandlerKey)) {
    g_signal_connect(widget, "drag-data-received", G_CALLBACK(OnDragDataReceived), pane);
    g_object_set_data(G_OBJECT(widget), kDropHandlerKey, pane);
  }
}

}  // namespace

void SetDropItemMaker(DropItemMaker* maker) { sMaker = maker; }

void InstallFileDropTarget(SubPane* pane) { InstallDropTargets(pane); }
void InstallTextDropTarget(SubPane* pane) { InstallDropTargets(pane); }

std::string PercentDecodeURI(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int hi = HexValue(text[i + 1]);
      int lo = HexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

DropPayload ParseURIListDrop(std::string_view text) {
  DropPayload payload;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    if (!line.empty() && line[0] != '#') {
      std::string path = LocalPathOfURI(line);
      if (!path.empty()) {
        payload.filePaths.emplace_back(path, kEncodingUTF8);
      }
    }
    start = end + 1;
  }
  if (!payload.filePaths.empty()) {
    payload.isFileList = true;
  } else {
    payload.text = string(text, kEncodingUTF8);
  }
  return payload;
}

void DeliverDrop(SubPane* pane, const DropPayload& payload, int32_t x, int32_t y) {
  if (!sMaker || !pane) return;
  DragItem* item = sMaker->MakeDroppedItem(payload);
  if (!item) return;
  DragItem* previous = sCurrentDragItem;
  sCurrentDragItem = item;
  pane->DropObject(item, x, y);
  sCurrentDragItem = previous;
  sMaker->ReleaseItem(item);
}

DragItem* GetCurrentDragItem() { return sCurrentDragItem; }
void SetCurrentDragItem(DragItem* item) { sCurrentDragItem = item; }
bool IsDragTracking() { return sDragTracking; }
void SetDragTracking(bool tracking) { sDragTracking = tracking; }
void EndDragTracking() { sDragTracking = false; }

}  // namespace vorn
