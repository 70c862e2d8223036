#include "files/support/chooser_driver.h"

#include <dlfcn.h>
#include <gtk/gtk.h>

#include <memory>
#include <utility>

#include "support/gui_support.h"

// Last: X11's macros clash with names in the headers above.
#include <gdk/gdkx.h>

namespace vorn::testing {

namespace {

// Often enough that a step follows its cause at once, seldom enough that every step is served
// by an iteration of its own.
constexpr unsigned kPollMilliseconds = 20;

std::string XidOf(GtkWidget* window) {
  return std::to_string(GDK_WINDOW_XID(gtk_widget_get_window(window)));
}

// Mapped by the X server, not merely asked to be.
bool OnScreen(GtkWidget* window) {
  GdkWindow* gdkWindow = gtk_widget_get_window(window);
  return gtk_widget_get_mapped(window) && gdkWindow &&
         !(gdk_window_get_state(gdkWindow) & GDK_WINDOW_STATE_WITHDRAWN);
}

bool HasKeyboard(GtkWidget* window) { return gtk_window_has_toplevel_focus(GTK_WINDOW(window)); }

// The question the chooser raised over itself, if one is up.
GtkWidget* Question(GtkWidget* chooser) {
  GtkWidget* found = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* link = windows; link; link = link->next) {
    auto* window = GTK_WIDGET(link->data);
    if (GTK_IS_MESSAGE_DIALOG(window) && gtk_widget_get_visible(window) &&
        gtk_window_get_transient_for(GTK_WINDOW(window)) == GTK_WINDOW(chooser)) {
      found = window;
    }
  }
  g_list_free(windows);
  return found;
}

bool ChooserHasKeyboard(GtkWidget* chooser) { return HasKeyboard(chooser) && !Question(chooser); }

void Type(const std::string& keys) { test::Shell("xdotool key " + keys); }

// A user clicking the window: xdotool asks the X server to move the keyboard there; the steps
// after wait until GTK has seen it arrive.
void GiveKeyboard(GtkWidget* window) {
  gdk_flush();
  test::Shell("xdotool windowfocus " + XidOf(window));
}

}  // namespace

ChooserDriver::Step ChooserDriver::Shown(std::function<void(GtkWidget*)> inspect) {
  return {"the chooser to be on the screen", &OnScreen, [inspect](GtkWidget* chooser) {
            if (inspect) inspect(chooser);
            GiveKeyboard(chooser);
          }};
}

ChooserDriver::Step ChooserDriver::Press(const std::string& keys) {
  return {"the chooser to have the keyboard for " + keys, &ChooserHasKeyboard,
          [keys](GtkWidget*) { Type(keys); }};
}

ChooserDriver::Step ChooserDriver::PressInEntry(const std::string& keys, const std::string& shown) {
  auto ready = [shown](GtkWidget* chooser) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(chooser));
    return ChooserHasKeyboard(chooser) && focus && GTK_IS_ENTRY(focus) &&
           std::string(gtk_entry_get_text(GTK_ENTRY(focus))).starts_with(shown);
  };
  return {"the chooser's entry to have the keyboard and show \"" + shown + "\" for " + keys, ready,
          [keys](GtkWidget*) { Type(keys); }};
}

// The chooser writes into its entry by itself: the selected file's name when the entry opens
// and again when its folder has loaded and a row is selected, each whenever it comes, while a
// paste lands later still. So Return waits until the entry has held just the text for ten
// looks after the paste, and an entry that holds anything else for ten looks is emptied and
// pasted into again.
ChooserDriver::Step ChooserDriver::EnterInEntry(const std::string& text) {
  struct Looks {
    bool typed = false;
    std::string seen;
    int still = 0;
  };
  auto looks = std::make_shared<Looks>();
  auto ready = [text, looks](GtkWidget* chooser) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(chooser));
    if (!ChooserHasKeyboard(chooser) || !focus || !GTK_IS_ENTRY(focus)) return false;
    const std::string now = gtk_entry_get_text(GTK_ENTRY(focus));
    looks->still = now == looks->seen ? looks->still + 1 : 0;
    looks->seen = now;
    // A folder's name may have been completed with its slash.
    const bool holds = now == text || now == text + "/";
    if (looks->typed && holds && looks->still >= 10) return true;
    if (!looks->typed || (!holds && looks->still >= 10)) {
      Type("End shift+Home BackSpace ctrl+v");
      looks->typed = true, looks->still = 0;
    }
    return false;
  };
  return {"the chooser's entry to have the keyboard and hold \"" + text + "\"", ready,
          [](GtkWidget*) { Type("Return"); }};
}

std::vector<ChooserDriver::Step> ChooserDriver::Confirm(const std::string& keys) {
  auto shown = [](GtkWidget* chooser) {
    GtkWidget* question = Question(chooser);
    return question && OnScreen(question);
  };
  auto focused = [](GtkWidget* chooser) {
    GtkWidget* question = Question(chooser);
    return question && HasKeyboard(question);
  };
  return {{"the chooser's question to be on the screen", shown,
           [](GtkWidget* chooser) { GiveKeyboard(Question(chooser)); }},
          {"the chooser's question to have the keyboard for " + keys, focused,
           [keys](GtkWidget*) { Type(keys); }}};
}

ChooserDriver::Step ChooserDriver::BackToChooser() {
  return {"the chooser's question to be gone",
          [](GtkWidget* chooser) { return !Question(chooser) && OnScreen(chooser); }, &GiveKeyboard};
}

void ChooserDriver::Start(GtkWidget* chooser, std::vector<Step> steps) {
  Stop();
  mChooser = chooser;
  mSteps = std::move(steps);
  mNext = 0;
  mSource = g_timeout_add(kPollMilliseconds, reinterpret_cast<GSourceFunc>(&Poll), this);
}

void ChooserDriver::Stop() {
  if (mSource) g_source_remove(mSource);
  mSource = 0;
}

// One step at most per call, so each step sees what the events of the one before did.
int ChooserDriver::Poll(void* data) {
  auto* self = static_cast<ChooserDriver*>(data);
  if (!self->Finished() && self->mSteps[self->mNext].ready(self->mChooser)) {
    // Counted first: the step's keys may end the dialog inside the act.
    const Step& step = self->mSteps[self->mNext++];
    step.act(self->mChooser);
  }
  if (!self->Finished()) return G_SOURCE_CONTINUE;
  self->mSource = 0;
  return G_SOURCE_REMOVE;
}

bool AnyKeyStillDown() {
  // Xlib is in the process through GDK; the test programs do not link it themselves.
  using QueryKeymap = int (*)(Display*, char[32]);
  static auto query = reinterpret_cast<QueryKeymap>(dlsym(RTLD_DEFAULT, "XQueryKeymap"));
  if (!query) return false;
  Display* display = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
  const gint64 end = g_get_monotonic_time() + 2 * G_TIME_SPAN_SECOND;
  for (;;) {
    char keys[32];
    query(display, keys);
    bool down = false;
    for (char bits : keys) down = down || bits != 0;
    if (!down) return false;
    if (g_get_monotonic_time() >= end) return true;
    test::PumpFor(10);
  }
}

}  // namespace vorn::testing
