// Clipboards and the screen depth, fetched once and kept.
#include <gtk/gtk.h>

#include <string>

#include "windows/gtk_helper.h"
#include "windows/pane_assert.h"
#include "windows/screen.h"

namespace vorn {

namespace {
GtkClipboard* sClipboard = nullptr;
int32_t sScreenDepth = -1;
}  // namespace

GtkClipboard* GetClipboard() {
  if (!sClipboard) sClipboard = gtk_clipboard_get(gdk_atom_intern("CLIPBOARD", FALSE));
  return sClipboard;
}

GtkClipboard* GetNamedClipboard(const string& name, bool create) {
  std::string atomName = "_" + std::string(name.ToUTF8().View());
  GdkAtom atom = gdk_atom_intern(atomName.c_str(), create ? FALSE : TRUE);
  if (atom == GDK_NONE) return nullptr;
  return gtk_clipboard_get(atom);
}

int32_t GetDefaultScreenDepth() {
  if (sScreenDepth >= 0) return sScreenDepth;
  ScreenInfo screen;
  if (!GetScreenInfo(0, &screen)) {
    ReportPaneAssertion("../Common/Linux/GTKHelper", 316, "screen");
    return 0;
  }
  sScreenDepth = screen.depth;
  return sScreenDepth;
}

}  // namespace vorn
