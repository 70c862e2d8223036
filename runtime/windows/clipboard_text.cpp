#include "windows/clipboard_text.h"

#include <poll.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "windows/gtk_helper.h"

// Xlib's names (None, Bool, Status) stay out of the runtime's headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace vorn {

namespace {

using Clock = std::chrono::steady_clock;

// More than any text a program means to hand over; an owner that sends more is not believed.
constexpr size_t kMostTextBytes = size_t{256} << 20;
constexpr int kPropertyCount = 8;

// This program's own window for the answers, and the atoms it asks with.
struct Requester {
  Display* display = nullptr;
  Window window = 0;
  Atom clipboard = 0, targets = 0, utf8 = 0, compound = 0, text = 0, incr = 0, plain = 0, plainUTF8 = 0;
  // Every request names the next of these properties, so that a late answer to a request
  // given up on never passes for the answer to a new one.
  Atom properties[kPropertyCount] = {};
  int next = 0;
};

Requester* RequesterFor(Display* display) {
  static Requester requester;
  if (requester.display == display) return &requester;
  if (requester.display) return nullptr;  // one display per program
  XSetWindowAttributes attributes = {};
  attributes.event_mask = PropertyChangeMask;
  Window window = XCreateWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, InputOnly,
                                CopyFromParent, CWEventMask, &attributes);
  if (!window) return nullptr;
  char* names[] = {const_cast<char*>("CLIPBOARD"),     const_cast<char*>("TARGETS"),
                   const_cast<char*>("UTF8_STRING"),   const_cast<char*>("COMPOUND_TEXT"),
                   const_cast<char*>("TEXT"),          const_cast<char*>("INCR"),
                   const_cast<char*>("text/plain"),    const_cast<char*>("text/plain;charset=utf-8"),
                   const_cast<char*>("_VORN_CLIP_0"),  const_cast<char*>("_VORN_CLIP_1"),
                   const_cast<char*>("_VORN_CLIP_2"),  const_cast<char*>("_VORN_CLIP_3"),
                   const_cast<char*>("_VORN_CLIP_4"),  const_cast<char*>("_VORN_CLIP_5"),
                   const_cast<char*>("_VORN_CLIP_6"),  const_cast<char*>("_VORN_CLIP_7")};
  Atom atoms[16];
  if (!XInternAtoms(display, names, 16, False, atoms)) return nullptr;
  requester.display = display;
  requester.window = window;
  requester.clipboard = atoms[0];
  requester.targets = atoms[1];
  requester.utf8 = atoms[2];
  requester.compound = atoms[3];
  requester.text = atoms[4];
  requester.incr = atoms[5];
  requester.plain = atoms[6];
  requester.plainUTF8 = atoms[7];
  for (int i = 0; i < kPropertyCount; ++i) requester.properties[i] = atoms[8 + i];
  return &requester;
}

// Takes the next event of the type for the window that `wanted` accepts, waiting for it until
// the deadline; false when none came in time. Events of other kinds and windows stay queued
// for GDK.
template <typename Accept>
bool AwaitEvent(Requester& r, int type, Clock::time_point deadline, XEvent* event, Accept wanted) {
  while (true) {
    while (XCheckTypedWindowEvent(r.display, r.window, type, event)) {
      if (wanted(*event)) return true;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    struct pollfd ready = {ConnectionNumber(r.display), POLLIN, 0};
    poll(&ready, 1, static_cast<int>(left));
  }
}

struct Answer {
  Atom type = 0;
  int format = 0;
  std::vector<unsigned char> bytes;  // items of format 32 as the longs Xlib hands out
};

// Reads and deletes the property; false when it cannot be read or grows past the limit.
bool TakeProperty(Requester& r, Atom property, Answer* answer) {
  long offset = 0;
  while (true) {
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(r.display, r.window, property, offset, 1 << 20, False, AnyPropertyType, &type, &format,
                           &items, &after, &data) != Success) {
      return false;
    }
    const size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
    const size_t count = static_cast<size_t>(items) * unit;
    if (answer->bytes.size() + count > kMostTextBytes) {
      XFree(data);
      return false;
    }
    if (data) answer->bytes.insert(answer->bytes.end(), data, data + count);
    XFree(data);
    answer->type = type;
    answer->format = format;
    offset += static_cast<long>(items) * (format ? format / 8 : 1) / 4;
    if (after == 0 || items == 0) break;
  }
  XDeleteProperty(r.display, r.window, property);
  return true;
}

// An answer sent in pieces: each piece waits for the one before to be taken, and all of them
// must come by the read's deadline; the empty piece ends it.
bool TakeIncrementally(Requester& r, Atom property, Clock::time_point deadline, Answer* answer) {
  answer->bytes.clear();
  while (true) {
    XEvent event;
    if (!AwaitEvent(r, PropertyNotify, deadline, &event, [&](const XEvent& e) {
          return e.xproperty.atom == property && e.xproperty.state == PropertyNewValue;
        })) {
      return false;
    }
    Answer piece;
    if (!TakeProperty(r, property, &piece) || answer->bytes.size() + piece.bytes.size() > kMostTextBytes) return false;
    if (piece.bytes.empty()) return true;
    answer->type = piece.type;
    answer->format = piece.format;
    answer->bytes.insert(answer->bytes.end(), piece.bytes.begin(), piece.bytes.end());
  }
}

// Asks the owner of the clipboard for the target; nothing when it refuses, or (with *silent
// set) has not answered all of it by the deadline.
std::optional<Answer> Convert(Requester& r, Atom target, Clock::time_point deadline, bool* silent) {
  *silent = false;
  const Atom property = r.properties[r.next];
  r.next = (r.next + 1) % kPropertyCount;
  XDeleteProperty(r.display, r.window, property);
  XConvertSelection(r.display, r.clipboard, target, property, r.window, CurrentTime);
  XFlush(r.display);
  XEvent event;
  if (!AwaitEvent(r, SelectionNotify, deadline, &event, [&](const XEvent& e) {
        return e.xselection.selection == r.clipboard && e.xselection.target == target &&
               (e.xselection.property == property || e.xselection.property == None);
      })) {
    *silent = true;
    return std::nullopt;
  }
  if (event.xselection.property == None) return std::nullopt;
  // The owner's own writing of the property is news from before the answer.
  XEvent stale;
  while (XCheckTypedWindowEvent(r.display, r.window, PropertyNotify, &stale)) {
  }
  Answer answer;
  if (!TakeProperty(r, property, &answer) || (answer.type == r.incr && !TakeIncrementally(r, property, deadline, &answer))) {
    *silent = true;
    return std::nullopt;
  }
  return answer;
}

// The text of an answer as UTF-8, read as GTK reads it: the first of the texts that NUL bytes
// part; nothing when the bytes are no text of the type they claim.
std::optional<std::string> TextOf(Requester& r, GdkDisplay* display, const Answer& answer) {
  if (answer.format != 8) return std::nullopt;
  if (answer.type == r.utf8) {
    std::string text(answer.bytes.begin(), answer.bytes.end());
    text.resize(strnlen(text.data(), text.size()));
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return std::nullopt;
    return text;
  }
  gchar** list = nullptr;
  const gint count = gdk_text_property_to_utf8_list_for_display(
      display, gdk_x11_xatom_to_atom_for_display(display, answer.type), 8, answer.bytes.data(),
      static_cast<gint>(answer.bytes.size()), &list);
  std::optional<std::string> text;
  if (count > 0 && list && list[0]) text = list[0];
  g_strfreev(list);
  return text;
}

enum class Owner { kNone, kThisProgram, kOther };

// Who owns the clipboard, and the requester to ask another program with.
Owner OwnerOfClipboard(Requester** requester) {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return Owner::kNone;
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  *requester = RequesterFor(x);
  if (!*requester) return Owner::kNone;
  const Window owner = XGetSelectionOwner(x, (*requester)->clipboard);
  if (owner == None) return Owner::kNone;
  // GTK's own test: a window of this program with a widget behind it. GDK also knows windows
  // of other programs that once asked this one for the clipboard, under numbers the server
  // may since have given to another program's window.
  GdkWindow* window = gdk_window_lookup_for_display(display, owner);
  gpointer widget = nullptr;
  if (window) gdk_window_get_user_data(window, &widget);
  return widget ? Owner::kThisProgram : Owner::kOther;
}

// A request of this program's own offer, which GTK answers inside the call.
struct LocalText {
  bool answered = false;
  bool abandoned = false;
  std::optional<std::string> text;
};

void ReceiveLocalText(GtkClipboard*, const gchar* text, gpointer data) {
  auto* request = static_cast<LocalText*>(data);
  if (request->abandoned) {
    delete request;
    return;
  }
  request->answered = true;
  if (text) request->text = text;
}

void ReceiveLocalTargets(GtkClipboard*, GdkAtom* atoms, gint count, gpointer data) {
  auto* request = static_cast<LocalText*>(data);
  if (request->abandoned) {
    delete request;
    return;
  }
  request->answered = true;
  if (atoms && gtk_targets_include_text(atoms, count)) request->text = std::string();
}

// What the request answered; nothing when GTK did not answer inside the call after all.
std::optional<std::string> Finish(LocalText* pending) {
  if (!pending->answered) {
    pending->abandoned = true;
    return std::nullopt;
  }
  std::optional<std::string> text = std::move(pending->text);
  delete pending;
  return text;
}

}  // namespace

std::optional<std::string> ReadClipboardText() {
  Requester* requester = nullptr;
  switch (OwnerOfClipboard(&requester)) {
    case Owner::kNone:
      return std::nullopt;
    case Owner::kThisProgram: {
      auto* pending = new LocalText();
      gtk_clipboard_request_text(GetClipboard(), &ReceiveLocalText, pending);
      return Finish(pending);
    }
    case Owner::kOther:
      break;
  }
  Requester& r = *requester;
  GdkDisplay* display = gdk_display_get_default();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kClipboardAnswerWait);
  // The targets GTK tries, in its order; all of them share the one wait.
  for (Atom target : {r.utf8, r.compound, r.text, Atom{XA_STRING}}) {
    bool silent = false;
    std::optional<Answer> answer = Convert(r, target, deadline, &silent);
    if (answer) return TextOf(r, display, *answer);
    if (silent) break;
  }
  return std::nullopt;
}

bool ClipboardOffersText() {
  Requester* requester = nullptr;
  switch (OwnerOfClipboard(&requester)) {
    case Owner::kNone:
      return false;
    case Owner::kThisProgram: {
      auto* pending = new LocalText();
      gtk_clipboard_request_targets(GetClipboard(), &ReceiveLocalTargets, pending);
      return Finish(pending).has_value();
    }
    case Owner::kOther:
      break;
  }
  Requester& r = *requester;
  bool silent = false;
  std::optional<Answer> answer =
      Convert(r, r.targets, Clock::now() + std::chrono::milliseconds(kClipboardAnswerWait), &silent);
  if (!answer || answer->format != 32) return false;
  for (size_t at = 0; at + sizeof(long) <= answer->bytes.size(); at += sizeof(long)) {
    long item;
    std::memcpy(&item, answer->bytes.data() + at, sizeof item);
    const Atom atom = static_cast<Atom>(item);
    if (atom == r.utf8 || atom == r.compound || atom == r.text || atom == XA_STRING || atom == r.plain ||
        atom == r.plainUTF8) {
      return true;
    }
  }
  return false;
}

}  // namespace vorn
