// Clipboards and the screen depth, fetched once and kept.
#include <dlfcn.h>
#include <gdk/gdkx.h>
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

namespace {

// GDK keeps atoms of its own and does not ask the X server whether a name exists; Xlib does.
// Without Xlib's answer the name counts as known.
bool DisplayKnowsName(const std::string& name) {
  using InternAtom = unsigned long (*)(::Display*, const char*, int);
  static auto internAtom = reinterpret_cast<InternAtom>(dlsym(RTLD_DEFAULT, "XInternAtom"));
  if (!internAtom) return true;
  return internAtom(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()), name.c_str(), True) != None;
}

}  // namespace

GtkClipboard* GetNamedClipboard(const string& name, bool create) {
  std::string atomName = "_" + std::string(name.ToUTF8().View());
  if (!create && !DisplayKnowsName(atomName)) return nullptr;
  GdkAtom atom = gdk_atom_intern(atomName.c_str(), FALSE);
  // Made known to the display at once, so that a later look-up without creating finds it.
  if (create) gdk_x11_atom_to_xatom(atom);
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
