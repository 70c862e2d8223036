// A handler may close its window from inside any event the user's own action fires. Each row
// builds a window the way compiled code builds it, gives one control (or the window) a handler
// of its own for one event, and acts as a user does through X: a click, keys, a drag, a pick
// from a menu. The handler closes the window, closes it and opens another or shows it again, raises, or
// shows a modal dialog whose events open and close a window, close this one and then the dialog. Every
// row must keep the process alive, deliver the event once, show no internal-error report and
// leave a next window that takes a click.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "controls/popup_class.h"
#include "controls/popup_pane.h"
#include "controls/panel_panes.h"
#include "controls/support/runtime_window_controls.h"
#include "core/application.h"
#include "core/run_loop.h"
#include "database/builtin_database_class.h"
#include "database/database_objects.h"
#include "datacontrols/data_control_api.h"
#include "datacontrols/data_control_object.h"
#include "datacontrols/nav_geometry.h"
#include "listbox/custom_combo_box.h"
#include "listbox/listbox_class.h"
#include "listbox/runtime_listbox.h"
#include "objects/exceptions.h"
#include "strings/runtime_error.h"
#include "support/class_test.h"
#include "support/gui_support.h"
#include "support/window_manager_display.h"
#include "vorn/application_abi.h"
#include "vorn/buttons_api.h"
#include "vorn/control_api.h"
#include "vorn/controls2_api.h"
#include "vorn/editfield_api.h"
#include "vorn/folder_item_api.h"
#include "vorn/listbox_api.h"
#include "vorn/menu_api.h"
#include "vorn/popup_api.h"
#include "vorn/window_api.h"
#include "windows/menu_routing.h"
#include "windows/runtime_window.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
string Str(const char* text) { return string(text, static_cast<int32_t>(strlen(text)), kEncodingUTF8); }

enum class Kind { kClose, kCloseAndOpen, kRaise, kCloseAndShow, kCloseInDialog };

// What the window holds besides itself.
enum class Content { kPlain, kMenuBar, kCanvas, kButtons, kRanges, kTabs, kPages, kPopups, kComposite, kFields, kList,
                     kTree, kData, kResizable, kEmbedded };

enum class Gesture {
  kShow,            // nothing: the window's first show
  kClick,           // the first button at the point
  kDoubleClick,
  kRightClickPick,  // the contextual menu's first row, picked with the keys
  kDrag,            // pressed at the point, moved 60 to the right in steps, released
  kRowDrag,         // a list row dragged out of the list
  kClickKeys,       // a click at the point, then the keys
  kKeys,            // the keys alone
  kPopupMouse,      // the drop-down opened and its second row clicked
  kPopupKeys,       // the drop-down opened, Down and Return
  kGrip,            // the frame's corner dragged (a window manager's display)
  kCloseBox,        // what a window manager sends for a click on the frame's close box
  kWheel,           // the wheel turned one notch towards the user at the point
};

// Where a gesture acts, in the `at` control (the window when empty).
enum class Where { kOffset, kCell, kHeading, kTriangle, kTab, kNavNext, kArrow };

struct Row {
  const char* name;
  Content content;
  const char* target;  // the control with the handler; "" for the window
  const char* event;   // the handler's event, or "Menu:<item>" for a window menu handler
  Gesture gesture;
  const char* at = nullptr;  // where the gesture acts; nil: the target
  Where where = Where::kOffset;
  int16_t dx = 10, dy = 10;  // the offset, or row and column, or the tab
  const char* keys = "";
  uint8_t answer = 0;              // what the handler answers
  const char* enabler = nullptr;   // another event of the target that must answer True first
  void (*prepare)(RuntimeObject* window) = nullptr;  // after the window settled
  bool repeats = false;  // a handler that lets the window live hears the gesture more than once
  // "Control.Event" (no control: the window; "Menu:<item>" a window menu handler) that must
  // not follow once the handler closed the window.
  const char* never = nullptr;
  // The event's answer after a raise (nothing) lets the window close: it does not stay open.
  bool closesWhenRaised = false;
  // What the handler does with the window's own controls first.
  void (*drive)(RuntimeObject* window) = nullptr;
};

struct ProbeWindowObject {
  WindowObject window;
  RuntimeObject* held[8];  // the controls, held as compiled code holds them in fields
  RuntimeObject* box;      // an embedded window, held
};

// One case at a time.
struct CaseState {
  const Row* row = nullptr;
  Kind kind = Kind::kClose;
  RuntimeObject *window = nullptr, *next = nullptr, *database = nullptr, *dialog = nullptr;
  int delivered = 0, unhandled = 0, nextActions = 0;
  int after = 0;  // deliveries of the row's `never` event
  int nextFreed = 0;
} gRun;

std::vector<std::string> gReports;

ProbeWindowObject* Probe(RuntimeObject* window) { return reinterpret_cast<ProbeWindowObject*>(window); }

RuntimeObject* Control(RuntimeObject* window, const char* name) {
  if (std::string_view(name) == "Box") return Probe(window)->box;
  for (RuntimeObject* held : Probe(window)->held)
    if (held && string::Share(AsControl(held)->name).View() == name) return held;
  return nullptr;
}

RuntimeClass* Intrinsic(const char* name) { return RuntimeLookupClass(string(name).Rep()); }

void OnNextAction(VornRuntimeObject*) { ++gRun.nextActions; }
void OnNextFreed(VornRuntimeObject*) { ++gRun.nextFreed; }

void OnNextLayout(VornRuntimeObject* self) {
  for (int16_t side = 0; const int32_t at : {560, 140, 200, 100}) windowPosSetter(self, side++, at);
  WindowVisibleSetter(self, 0, 1);
}

void OnNextCreateControls(VornRuntimeObject* self) {
  static RuntimeClass* button = test::MakeClass("NextButton", "PushButton", Intrinsic("PushButton")->mInstanceSize,
                                                {{"#Action%%o<NextButton>", Fn(&OnNextAction), nullptr, 0}});
  RuntimeUnlockObject(test::AddWindowControl(self, button, "Next", MakeRect(20, 20, 120, 50), test::PackedStream()));
}

RuntimeObject* OpenNextWindow() {
  static RuntimeClass* cls = test::MakeClass("NextWindow", "Window", VORN_WINDOW_INSTANCE_SIZE,
                                             {{"#Layout%%o<NextWindow>", Fn(&OnNextLayout), nullptr, 0},
                                              {"#CreateControls%%o<NextWindow>", Fn(&OnNextCreateControls), nullptr, 0}},
                                             {Fn(&OnNextFreed), nullptr});
  RuntimeObject* window = RuntimeNewObject(cls);
  WindowDefaultConstructor(window);
  RuntimeShowWindow(window);
  return window;
}

RuntimeObject* NewMenuItem(const char* text) {
  RuntimeObject* item = CreateInstanceFromDefinition(GetMenuItemClassDefinition());
  RuntimeMenuItemTextSetter(item, 0, Str(text).Rep());
  return item;
}

// A contextual menu asked for gets a row, so that a menu would show.
void OfferRow(RuntimeObject* base) {
  RuntimeObject* item = NewMenuItem("Pick");
  RuntimeMenuItemAppend(base, item);
  RuntimeUnlockObject(item);
}

// Each as compiled code runs a Timer's Action: a window made and closed in the dialog's loop and
// the probe window, whose handler runs below the loop, then the dialog.
gboolean OnDialogTick(gpointer) {
  ExceptionBoundary boundary;
  if (GetWindowPaneOf(gRun.window)) {
    RuntimeObject* other = OpenNextWindow();
    RuntimeCloseWindow(other);
    RuntimeUnlockObject(other);
    RuntimeCloseWindow(gRun.window);
    return G_SOURCE_CONTINUE;
  }
  RuntimeCloseWindow(gRun.dialog);
  return G_SOURCE_REMOVE;
}

void ShowClosingDialog() {
  gRun.dialog = RuntimeNewObject(Intrinsic("Window"));
  WindowDefaultConstructor(gRun.dialog);
  g_timeout_add(0, &OnDialogTick, nullptr);
  RuntimeShowModal(gRun.dialog);
  EXPECT_EQ(gRun.nextFreed, 1) << "what the dialog's events made and closed went before it returned";
}

bool Is(const char* a, const char* b) { return a && b && strcmp(a, b) == 0; }

// Every event's handler: compiled code calls it with the event's own arguments; it answers
// in the result register whatever the event's type.
int64_t OnProbedEvent(RuntimeObject*, intptr_t first, intptr_t, intptr_t, intptr_t, intptr_t) {
  if (++gRun.delivered > 1 && (gRun.kind == Kind::kCloseAndShow || gRun.dialog)) return gRun.row->answer;
  if (gRun.row->drive) gRun.row->drive(gRun.window);
  if (Is(gRun.row->event, "ConstructContextualMenu")) OfferRow(reinterpret_cast<RuntimeObject*>(first));
  if (gRun.kind == Kind::kRaise) {
    RuntimeRaiseExceptionWithMessage(GetRuntimeExceptionClassDefinition(), Str("raised by the handler"));
  } else if (gRun.kind == Kind::kCloseInDialog) {
    ShowClosingDialog();
  } else {
    RuntimeCloseWindow(gRun.window);
    if (gRun.kind == Kind::kCloseAndOpen) gRun.next = OpenNextWindow();
    if (gRun.kind == Kind::kCloseAndShow) RuntimeShowAsWindow(gRun.window);
  }
  return gRun.row->answer;
}

int64_t OnEnablingEvent(RuntimeObject*, intptr_t first, intptr_t, intptr_t, intptr_t, intptr_t) {
  if (Is(gRun.row->enabler, "ConstructContextualMenu")) OfferRow(reinterpret_cast<RuntimeObject*>(first));
  return 1;
}

int64_t OnEventAfterClose(RuntimeObject*, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t) { return ++gRun.after, 0; }
uint8_t OnUnhandledException(VornRuntimeObject*, VornRuntimeObject*) { return ++gRun.unhandled, 1; }

// Push buttons that stand for the program's code run from a user's click.
void OnDriverAction(VornRuntimeObject* self) {
  RuntimeObject* window = AsControl(self)->window;
  std::string_view name = string::Share(AsControl(self)->name).View();
  if (name == "Flip") PagePanelValueSetter(Control(window, "Pages"), 0, 1);
  if (name == "SetText") RuntimeComboBoxTextSetter(Control(window, "Combo"), 0, Str("Seeing").Rep());
  if (name == "Update") {
    editTextSetter(Control(window, "Name"), 0, Str("Changed").Rep());
    DataControlUpdateRecord(Control(window, "Nav"));
  }
  if (name == "Insert") DataControlAddNewRecord(Control(window, "Nav"));
  if (name == "Delete") DataControlDeleteRecord(Control(window, "Nav"));
}

void OnCompositeCreatePane(VornRuntimeObject* self) {
  ControlObject* ctl = AsControl(self);
  auto* pane = new CustomComboBox(self, PopupEvents(), TextStyle(), static_cast<Window*>(ctl->windowPane),
                                  GetControlBounds(ctl));
  AttachControlPane(ctl, pane);
  pane->AddRows({Str("Aperture"), Str("Seeing"), Str("Sky glow")});
}

RuntimeObject* Add(RuntimeObject* window, const char* cls, const char* name, const Rect& bounds,
                   const test::PackedStream& stream = test::PackedStream()) {
  static RuntimeClass* driver = test::MakeClass("DriverButton", "PushButton", Intrinsic("PushButton")->mInstanceSize,
                                                {{"#Action%%o<DriverButton>", Fn(&OnDriverAction), nullptr, 0}});
  static RuntimeClass* composite = test::MakeClass(
      "CompositeCombo", "ComboBox", Intrinsic("ComboBox")->mInstanceSize,
      {{"#CreatePane%%o<CompositeCombo>", Fn(&OnCompositeCreatePane), nullptr, 0}});
  RuntimeClass* type = Is(cls, "Driver") ? driver : Is(cls, "Composite") ? composite : Intrinsic(cls);
  RuntimeObject* control = test::AddWindowControl(window, type, name, bounds, stream);
  RuntimeObject** slot = std::find(std::begin(Probe(window)->held), std::end(Probe(window)->held), nullptr);
  if (slot == std::end(Probe(window)->held)) ADD_FAILURE() << "too many controls";
  else *slot = control;
  return control;
}

void OnProbeLayout(VornRuntimeObject* self) {
  for (int16_t side = 0; const int32_t at : {100, 100, 400, 300}) windowPosSetter(self, side++, at);
  windowTitleSetter(self, 0, Str("Probe").Rep());
  if (gRun.row->content == Content::kResizable) windowGrowIconSetter(self, 0, 1);
  WindowVisibleSetter(self, 0, 1);
}

// What each content holds, in the order CreateControls adds it. "Other" is an edit field made
// first, so it has the focus when the window opens and Tab leaves the control before it for it.
struct Part { Content content; const char* cls; const char* name; Rect bounds; test::PackedStream stream = {}; };
const Content kWithOther[] = {Content::kButtons, Content::kPopups, Content::kComposite, Content::kFields, Content::kList,
                              Content::kTree};

const test::PackedStream kRange = test::PackedStream().Int(26, 0).Int(28, 100).Int(29, 1).Int(30, 20).Int(27, 50).Bool(31, true);
const test::PackedStream kThreeRows = test::PackedStream().Text(34, "Aperture\rSeeing\rSky");

const Part kParts[] = {
    {Content::kCanvas, "Canvas", "Canvas", MakeRect(20, 20, 220, 120), test::PackedStream().Bool(28, true)},  // AcceptFocus
    {Content::kButtons, "PushButton", "Push", MakeRect(20, 20, 120, 46), test::PackedStream().Text(26, "Push")},
    {Content::kButtons, "CheckBox", "Check", MakeRect(20, 60, 200, 80), test::PackedStream().Text(26, "Check")},
    {Content::kButtons, "RadioButton", "Radio", MakeRect(20, 90, 200, 110), test::PackedStream().Text(26, "Radio")},
    {Content::kRanges, "Slider", "Slider", MakeRect(20, 20, 320, 50), kRange},
    {Content::kRanges, "ScrollBar", "Bar", MakeRect(20, 70, 320, 86), kRange},
    {Content::kTabs, "TabPanel", "Tabs", MakeRect(10, 10, 390, 200), test::PackedStream().Text(30, "Sky\r\nEye")},
    {Content::kPages, "PagePanel", "Pages", MakeRect(10, 10, 390, 150), test::PackedStream().Int(28, 2)},
    {Content::kPages, "Driver", "Flip", MakeRect(20, 200, 120, 226)},
    {Content::kPopups, "PopupMenu", "Popup", MakeRect(20, 20, 220, 46), kThreeRows},
    {Content::kPopups, "ComboBox", "Combo", MakeRect(20, 70, 220, 96), kThreeRows},
    {Content::kPopups, "Driver", "SetText", MakeRect(20, 200, 120, 226)},
    {Content::kComposite, "Composite", "Composite", MakeRect(20, 20, 220, 42)},
    {Content::kFields, "EditField", "Field", MakeRect(20, 20, 220, 44)},
    {Content::kFields, "EditField", "Memo", MakeRect(20, 60, 220, 140), test::PackedStream().Bool(29, true)},
    {Content::kList, "Listbox", "List", MakeRect(20, 20, 320, 200),
     test::PackedStream().Int(34, 2).Bool(43, true).Bool(36, false).Bool(38, false)},
    {Content::kTree, "Listbox", "List", MakeRect(20, 20, 320, 200),
     test::PackedStream().Int(34, 2).Bool(43, false).Bool(36, true).Bool(38, true)},
    {Content::kData, "DataControl", "Nav", MakeRect(10, 120, 390, 150)},
    {Content::kData, "EditField", "Name", MakeRect(10, 10, 200, 34)},
    {Content::kData, "EditField", "Id", MakeRect(10, 50, 100, 74)},
    {Content::kData, "Driver", "Update", MakeRect(10, 200, 100, 226)},
    {Content::kData, "Driver", "Insert", MakeRect(110, 200, 200, 226)},
    {Content::kData, "Driver", "Delete", MakeRect(210, 200, 300, 226)},
};

void OnProbeCreateControls(VornRuntimeObject* self) {
  if (gRun.row->content == Content::kEmbedded) {
    Probe(self)->box = RuntimeNewObject(Intrinsic("ContainerControl"));
    WindowDefaultConstructor(Probe(self)->box);
    WindowAddControl(self, Str("Box").Rep(), Probe(self)->box);
  }
  if (std::ranges::count(kWithOther, gRun.row->content)) Add(self, "EditField", "Other", MakeRect(20, 250, 220, 274));
  for (const Part& part : kParts) {
    if (part.content != gRun.row->content) continue;
    RuntimeObject* control = Add(self, part.cls, part.name, part.bounds, part.stream);
    if (Is(part.name, "Nav")) {
      DataControlTableNameSetter(control, 0, Str("people").Rep());
      DataControlQuerySetter(control, 0, Str("select * from people order by id").Rep());
      DataControlDBSetter(control, 0, gRun.database);
    } else if (Is(part.name, "Name") || Is(part.name, "Id")) {
      EditDataFieldSetter(control, 0, Str(Is(part.name, "Name") ? "name" : "id").Rep());
      EditDataSourceSetter(control, 0, Str("Nav").Rep());
    }
  }
}

void ProbeFinalizer(VornRuntimeObject* self) {
  for (RuntimeObject*& held : Probe(self)->held) RuntimeUnlockObject(std::exchange(held, nullptr));
  RuntimeUnlockObject(std::exchange(Probe(self)->box, nullptr));
}

RuntimeClass* ProbeWindowClass() {
  static RuntimeClass* cls = test::MakeClass("ProbeWindow", "Window", sizeof(ProbeWindowObject),
                                             {{"#Layout%%o<ProbeWindow>", Fn(&OnProbeLayout), nullptr, 0},
                                              {"#CreateControls%%o<ProbeWindow>", Fn(&OnProbeCreateControls),
                                               nullptr, 0}},
                                             {Fn(&ProbeFinalizer), nullptr});
  return cls;
}

// Rows, cells and a folder the list rows act on; the menu bar the shortcut rows press.
void FillWindow(RuntimeObject* window) {
  if (RuntimeObject* list = Control(window, "List")) {
    listColumnWidthsSetter(list, 0, Str("100, 100").Rep());
    if (gRun.row->content == Content::kTree) {
      RuntimeListAddRow(list, Str("plain").Rep());
      RuntimeListAddParent(list, Str("folder").Rep());
    } else {
      listColumnTypeSetter(list, 1, 3);
      for (const char* text : {"a0", "a1", "a2"}) RuntimeListAddRow(list, Str(text).Rep());
      listCellTypeSetter(list, 2, 1, 2);
      listSetHeading(list, 0, Str("Name").Rep());
      listSetHeading(list, 1, Str("Size").Rep());
    }
  }
  if (gRun.row->content == Content::kMenuBar) {
    RuntimeObject* bar = CreateInstanceFromDefinition(GetMenuBarClassDefinition());
    RuntimeObject* file = NewMenuItem("File");
    RuntimeObject* item = NewMenuItem("Shut");
    RuntimeMenuItemNameSetter(item, 0, Str("FileShut").Rep());
    RuntimeMenuItemCommandKeySetter(item, 0, Str("K").Rep());
    RuntimeMenuItemAppend(file, item);
    RuntimeMenuItemAppend(bar, file);
    WindowMenuBarSetter(window, 0, bar);
    for (RuntimeObject* object : {item, file, bar}) RuntimeUnlockObject(object);
  }
}

// "Menu:<item>" is a menu handler of the window, anything else an event of `owner`.
void Listen(RuntimeObject* window, RuntimeObject* owner, const char* event, void* handler) {
  if (strncmp(event, "Menu:", 5) == 0) WindowAddMenuHandler(window, Str(event + 5).Rep(), handler);
  else RuntimeInstallInstanceEventHandler(owner, Str(event).Rep(), handler);
}

void InstallHandlers(RuntimeObject* window) {
  const Row& row = *gRun.row;
  RuntimeObject* target = *row.target ? Control(window, row.target) : window;
  ASSERT_NE(target, nullptr) << row.target;
  if (row.enabler) Listen(window, target, row.enabler, Fn(&OnEnablingEvent));
  if (const char* never = row.never) {
    const char* dot = strchr(never, '.');
    Listen(window, dot ? Control(window, std::string(never, dot).c_str()) : window, dot ? dot + 1 : never,
           Fn(&OnEventAfterClose));
  }
  Listen(window, target, row.event, Fn(&OnProbedEvent));
}

// The run loop's own iterations, waiting a little when nothing is pending.
void Pump(int milliseconds) {
  const gint64 end = g_get_monotonic_time() + milliseconds * G_GINT64_CONSTANT(1000);
  while (g_get_monotonic_time() < end) {
    RunMainLoopOnce(false);
    if (!gtk_events_pending()) g_usleep(2000);
  }
}

bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
  return test::PumpUntil(done, milliseconds, &Pump);
}

// Written when a gesture run in the background has sent its last step.
std::string GestureDoneMark() { return "/tmp/vorn-close-gesture-" + std::to_string(getpid()); }
bool GestureDone() { return access(GestureDoneMark().c_str(), F_OK) == 0; }

bool BackgroundGesture(Gesture gesture) {
  return gesture == Gesture::kRightClickPick || gesture == Gesture::kRowDrag || gesture == Gesture::kGrip;
}

// In the background for a gesture that a loop of the program's own must answer as it goes on.
void Xdo(const std::string& words, bool background = false) {
  if (background) unlink(GestureDoneMark().c_str());
  const std::string done = background ? "; touch " + GestureDoneMark() + ") >/dev/null 2>&1 &" : ") >/dev/null 2>&1";
  test::Shell("(xdotool " + words + done);
}
std::string Xy(int32_t x, int32_t y) { return std::to_string(x) + " " + std::to_string(y); }
bool Mapped(Window* window) { return GTK_WIDGET_MAPPED(window->GtkWindowWidget()); }

void Centre(GtkWidget* widget, int32_t* h, int32_t* v) {
  *h = widget->allocation.x + widget->allocation.width / 2;
  *v = widget->allocation.y + widget->allocation.height / 2;
}

// The gesture's point in the window's content.
void Locate(RuntimeObject* window, const Row& row, int32_t* h, int32_t* v) {
  const char* at = row.at ? row.at : row.target;
  SubPane* pane = *at ? ControlPane(AsControl(Control(window, at))) : nullptr;
  const Rect bounds = pane ? pane->Bounds() : Rect();
  *h = bounds.left + row.dx;
  *v = bounds.top + row.dy;
  auto* list = dynamic_cast<RuntimeListbox*>(pane);
  switch (row.where) {
    case Where::kOffset: break;
    case Where::kCell:
    case Where::kTriangle:
      *h = list->Columns().GetColumnLeft(row.dy) + (row.where == Where::kTriangle ? 9 : 8);
      *v = list->RowArea().top + row.dx * list->RowHeight() + list->RowHeight() / 2;
      break;
    case Where::kHeading:
      *h = list->Columns().GetColumnLeft(row.dx) + 30;
      *v = bounds.top + 8;
      break;
    case Where::kTab: Centre(static_cast<TabPanel*>(pane)->TabLabel(row.dx), h, v); break;
    case Where::kArrow: Centre(static_cast<PopupMenu*>(pane)->ArrowButton(), h, v); break;
    case Where::kNavNext:
      *h = NavButtonRect(bounds, kNavNext).left + 5;
      *v = NavButtonRect(bounds, kNavNext).top + 5;
      break;
  }
}

void Perform(RuntimeObject* window, const Row& row) {
  Window* native = GetWindowPaneOf(window);
  int32_t h = 0, v = 0, x = 0, y = 0;
  if (row.gesture != Gesture::kShow && row.gesture != Gesture::kKeys && row.gesture != Gesture::kGrip &&
      row.gesture != Gesture::kCloseBox) {
    Locate(window, row, &h, &v);
    test::ScreenPoint(native, h, v, &x, &y);
  }
  const std::string point = Xy(x, y), click = "mousemove " + point + " sleep 0.05 click 1";
  switch (row.gesture) {
    case Gesture::kShow: break;
    case Gesture::kClick: Xdo(click); break;
    case Gesture::kCloseBox: test::SendDeleteWindowMessage(native); break;
    case Gesture::kWheel: Xdo("mousemove " + point + " sleep 0.05 click 5"); break;
    case Gesture::kDoubleClick: Xdo("mousemove " + point + " sleep 0.05 click --repeat 2 --delay 60 1"); break;
    // The menu runs a loop of its own, so the keys that answer it come from outside.
    case Gesture::kRightClickPick: Xdo("mousemove " + point + " sleep 0.05 click 3 sleep 0.4 key Down Return", true); break;
    case Gesture::kDrag:
      Xdo("mousemove " + point + " sleep 0.05 mousedown 1");
      for (int step = 1; step <= 4; ++step) {
        Pump(60);
        Xdo(step < 4 ? "mousemove " + Xy(x + 20 * step, y) : "mouseup 1");
      }
      break;
    case Gesture::kRowDrag:
      Xdo("mousemove " + point + " mousedown 1 sleep 0.3 mousemove " + Xy(x, y + 8) + " sleep 0.2 mousemove " +
          Xy(x + 300, y + 150) + " sleep 0.3 mouseup 1", true);
      break;
    case Gesture::kClickKeys:
      Xdo(click);
      Pump(150);
      [[fallthrough]];
    case Gesture::kKeys: Xdo(std::string("key --delay 60 ") + row.keys); break;
    case Gesture::kPopupMouse:
    case Gesture::kPopupKeys: {
      Xdo(click);
      Pump(300);
      auto* popup = dynamic_cast<PopupMenu*>(ControlPane(AsControl(Control(window, row.target))));
      if (row.gesture == Gesture::kPopupKeys || !popup) {
        Xdo("key --delay 60 Down Return");
        break;
      }
      GList* items = gtk_container_get_children(GTK_CONTAINER(popup->List()));
      GtkWidget* item = GTK_WIDGET(g_list_nth_data(items, 1));
      g_list_free(items);
      gint left = 0, top = 0;
      gdk_window_get_origin(item->window, &left, &top);
      Xdo("mousemove " + Xy(left + item->allocation.x + 20, top + item->allocation.y + item->allocation.height / 2) +
          " sleep 0.1 click 1");
      break;
    }
    case Gesture::kGrip: {
      Rect r;
      native->GetScreenBounds(&r);
      Xdo("mousemove " + Xy(r.right - 3, r.bottom + 3) + " sleep 0.2 mousedown 1 sleep 0.2 mousemove " +
          Xy(r.right + 20, r.bottom + 20) + " sleep 0.3 mousemove " + Xy(r.right + 50, r.bottom + 50) +
          " sleep 0.3 mouseup 1", true);
      break;
    }
  }
}

// The next window shows and its button takes a click.
bool NextWindowWorks() {
  if (!gRun.next) gRun.next = OpenNextWindow();
  Window* native = GetWindowPaneOf(gRun.next);
  if (!native || !PumpUntil([&] { return Mapped(native) && test::ViewableOnServer(native); }, test::kWaitLimitMs))
    return false;
  // The map and the frame's place reach the window before the point on it is asked for.
  test::DeliverInput();
  Pump(50);
  int32_t x = 0, y = 0;
  test::ScreenPoint(native, 70, 35, &x, &y);
  gRun.nextActions = 0;  // a stray key may have pushed the focused button already
  Xdo("mousemove " + Xy(x, y) + " sleep 0.05 click 1");
  return PumpUntil([] { return gRun.nextActions == 1; }, test::kWaitLimitMs);
}

std::string MakePeopleDatabase() {
  char pattern[] = "/tmp/vorn-close-XXXXXX";
  if (!mkdtemp(pattern)) return "";
  const std::string folder = pattern;
  RuntimeObject* db = CreateInstanceFromDefinition(GetVORNDatabaseClassDefinition());
  RuntimeObject* item = FolderItemFromPath((folder + "/people.vdb").c_str());
  VORNDatabaseFolderItemSetter(db, 0, item);
  RuntimeUnlockObject(item);
  VORNDatabaseCreateDatabaseFile(db);
  databaseSQLExecute(db, Str("create table people (id integer not null, name varchar(40), primary key (id))").Rep());
  for (const std::string i : {"1", "2", "3", "4", "5"})
    databaseSQLExecute(db, Str(("insert into people (id, name) values (" + i + ", 'Person " + i + "')").c_str()).Rep());
  databaseCommit(db);
  gRun.database = db;
  return folder;
}

void StartCellEdit(RuntimeObject* window) { listEditCell(Control(window, "List"), 0, 1); }
void FocusTarget(RuntimeObject* window) { ControlPane(AsControl(Control(window, gRun.row->target)))->SetFocus(); }
// A window that is closing gives none of its controls the focus.
void FocusField(RuntimeObject* window) { RuntimeSetFocus(Control(window, "Field")); }
// The user types into the bound field, so the row has changed when the control moves on.
void TypeIntoName(RuntimeObject* window) {
  int32_t x = 0, y = 0;
  test::ScreenPoint(GetWindowPaneOf(window), 50, 20, &x, &y);
  Xdo("mousemove " + Xy(x, y) + " sleep 0.05 click 1 sleep 0.1 key x");
  Pump(150);
}

// The database takes an inserted row only with a key of its own.
void GiveANewId(RuntimeObject* window) {
  editTextSetter(Control(window, "Id"), 0, Str("6").Rep());
  Pump(50);
}

const Row kRows[] = {
    {"Window_Click_MouseDown", Content::kPlain, "", "MouseDown", Gesture::kClick, nullptr, Where::kOffset, 150, 150, "", 1},
    {"Window_Click_MouseUp", Content::kPlain, "", "MouseUp", Gesture::kClick, nullptr, Where::kOffset, 150, 150, "", 0, "MouseDown"},
    {"Window_Key_KeyDown", Content::kPlain, "", "KeyDown", Gesture::kKeys, nullptr, Where::kOffset, 0, 0, "a", 1},
    {"Window_RightClick_ConstructContextualMenu", Content::kPlain, "", "ConstructContextualMenu", Gesture::kRightClickPick, nullptr, Where::kOffset, 150, 150, "", 1, nullptr, nullptr, false, "ContextualMenuAction"},
    {"Window_MenuPick_ContextualMenuAction", Content::kPlain, "", "ContextualMenuAction", Gesture::kRightClickPick, nullptr, Where::kOffset, 150, 150, "", 1, "ConstructContextualMenu"},
    {"Window_CloseBox_Close", Content::kFields, "", "Close", Gesture::kCloseBox, nullptr, Where::kOffset, 0, 0, "", 0, nullptr, nullptr, false, "Field.GotFocus", true, &FocusField},
    {"Window_CloseBox_CancelClose", Content::kPlain, "", "CancelClose", Gesture::kCloseBox, nullptr, Where::kOffset, 0, 0, "", 0, nullptr, nullptr, false, nullptr, true},
    {"EmbeddedWindow_CloseBox_CancelClose", Content::kEmbedded, "Box", "CancelClose", Gesture::kCloseBox, nullptr, Where::kOffset, 0, 0, "", 0, nullptr, nullptr, false, "CancelClose", true},
    {"Window_Show_EnableMenuItems", Content::kMenuBar, "", "EnableMenuItems", Gesture::kShow},
    {"Window_Shortcut_EnableMenuItems", Content::kMenuBar, "", "EnableMenuItems", Gesture::kKeys, nullptr, Where::kOffset, 0, 0, "ctrl+k", 0, nullptr, nullptr, false, "Menu:FileShut"},
    {"Menu_Shortcut_MenuHandler", Content::kMenuBar, "", "Menu:FileShut", Gesture::kKeys, nullptr, Where::kOffset, 0, 0, "ctrl+k", 1},
    {"Window_Grip_Resizing", Content::kResizable, "", "Resizing", Gesture::kGrip, nullptr, Where::kOffset, 10, 10, "", 0, nullptr, nullptr, true, "Resized"},
    {"Canvas_Click_MouseDown", Content::kCanvas, "Canvas", "MouseDown", Gesture::kClick, nullptr, Where::kOffset, 50, 50, "", 1},
    {"Canvas_Click_MouseUp", Content::kCanvas, "Canvas", "MouseUp", Gesture::kClick, nullptr, Where::kOffset, 50, 50, "", 0, "MouseDown"},
    {"Canvas_Drag_MouseDrag", Content::kCanvas, "Canvas", "MouseDrag", Gesture::kDrag, nullptr, Where::kOffset, 50, 50, "", 0, "MouseDown", nullptr, true},
    {"Canvas_Key_KeyDown", Content::kCanvas, "Canvas", "KeyDown", Gesture::kClickKeys, nullptr, Where::kOffset, 50, 50, "a", 1},
    {"Canvas_RightClick_ConstructContextualMenu", Content::kCanvas, "Canvas", "ConstructContextualMenu", Gesture::kRightClickPick, nullptr, Where::kOffset, 50, 50, "", 1, nullptr, nullptr, false, "Canvas.ContextualMenuAction"},
    {"Canvas_MenuPick_ContextualMenuAction", Content::kCanvas, "Canvas", "ContextualMenuAction", Gesture::kRightClickPick, nullptr, Where::kOffset, 50, 50, "", 1, "ConstructContextualMenu"},
    {"PushButton_Click_Action", Content::kButtons, "Push", "Action", Gesture::kClick, nullptr, Where::kOffset, 50, 13},
    {"PushButton_Click_MouseDown", Content::kButtons, "Push", "MouseDown", Gesture::kClick, nullptr, Where::kOffset, 50, 13, "", 1, nullptr, nullptr, false, "Push.MouseUp"},
    {"PushButton_Tab_GotFocus", Content::kButtons, "Push", "GotFocus", Gesture::kKeys, nullptr, Where::kOffset, 0, 0, "Tab"},
    {"CheckBox_Click_Action", Content::kButtons, "Check", "Action", Gesture::kClick, nullptr, Where::kOffset, 8, 10},
    {"CheckBox_Click_MouseDown", Content::kButtons, "Check", "MouseDown", Gesture::kClick, nullptr, Where::kOffset, 8, 10, "", 1},
    {"RadioButton_Click_Action", Content::kButtons, "Radio", "Action", Gesture::kClick, nullptr, Where::kOffset, 8, 10},
    {"Slider_TroughClick_ValueChanged", Content::kRanges, "Slider", "ValueChanged", Gesture::kClick, nullptr, Where::kOffset, 250, 15},
    {"Slider_ArrowKey_ValueChanged", Content::kRanges, "Slider", "ValueChanged", Gesture::kKeys, nullptr, Where::kOffset, 0, 0, "Right", 0, nullptr, &FocusTarget},
    {"Slider_Drag_ValueChanged", Content::kRanges, "Slider", "ValueChanged", Gesture::kDrag, nullptr, Where::kOffset, 150, 15, "", 0, nullptr, nullptr, true},
    {"ScrollBar_TroughClick_ValueChanged", Content::kRanges, "Bar", "ValueChanged", Gesture::kClick, nullptr, Where::kOffset, 250, 8},
    {"ScrollBar_Wheel_ValueChanged", Content::kRanges, "Bar", "ValueChanged", Gesture::kWheel, nullptr, Where::kOffset, 150, 8},
    {"ScrollBar_Wheel_MouseWheel", Content::kRanges, "Bar", "MouseWheel", Gesture::kWheel, nullptr, Where::kOffset, 150, 8, "", 0, nullptr, nullptr, false, "Bar.ValueChanged"},
    {"Slider_Wheel_ValueChanged", Content::kRanges, "Slider", "ValueChanged", Gesture::kWheel, nullptr, Where::kOffset, 150, 15},
    {"Slider_Wheel_MouseWheel", Content::kRanges, "Slider", "MouseWheel", Gesture::kWheel, nullptr, Where::kOffset, 150, 15, "", 0, nullptr, nullptr, false, "Slider.ValueChanged"},
    {"TabPanel_TabClick_Change", Content::kTabs, "Tabs", "Change", Gesture::kClick, nullptr, Where::kTab, 1},
    {"PagePanel_ButtonClick_Change", Content::kPages, "Pages", "Change", Gesture::kClick, "Flip", Where::kOffset, 50, 13},
    {"PopupMenu_MousePick_Change", Content::kPopups, "Popup", "Change", Gesture::kPopupMouse, nullptr, Where::kArrow},
    {"PopupMenu_KeyPick_Change", Content::kPopups, "Popup", "Change", Gesture::kPopupKeys, nullptr, Where::kArrow},
    {"PopupMenu_Click_MouseDown", Content::kPopups, "Popup", "MouseDown", Gesture::kClick, nullptr, Where::kOffset, 40, 13, "", 1},
    {"ComboBox_MousePick_Change", Content::kPopups, "Combo", "Change", Gesture::kPopupMouse, nullptr, Where::kArrow},
    {"ComboBox_Typing_TextChanged", Content::kPopups, "Combo", "TextChanged", Gesture::kClickKeys, nullptr, Where::kOffset, 40, 13, "x"},
    {"ComboBox_Tab_LostFocus", Content::kPopups, "Combo", "LostFocus", Gesture::kClickKeys, nullptr, Where::kOffset, 40, 13, "Tab", 0, nullptr, nullptr, false, "SetText.GotFocus"},
    {"ComboBox_TextSetByButton_TextChanged", Content::kPopups, "Combo", "TextChanged", Gesture::kClick, "SetText", Where::kOffset, 50, 13},
    {"CompositeCombo_Tab_LostFocus", Content::kComposite, "Composite", "LostFocus", Gesture::kKeys, nullptr, Where::kOffset, 0, 0, "Tab", 0, nullptr, &FocusTarget},
    {"CompositeCombo_Return_Change", Content::kComposite, "Composite", "Change", Gesture::kKeys, nullptr, Where::kOffset, 0, 0, "Down Down Return", 0, nullptr, &FocusTarget},
    {"CompositeCombo_ButtonClick_GotFocus", Content::kComposite, "Composite", "GotFocus", Gesture::kClick, nullptr, Where::kOffset, 189, 11},
    {"EditField_Click_GotFocus", Content::kFields, "Field", "GotFocus", Gesture::kClick, nullptr, Where::kOffset, 40, 12},
    {"EditField_Tab_LostFocus", Content::kFields, "Field", "LostFocus", Gesture::kClickKeys, nullptr, Where::kOffset, 40, 12, "Tab", 0, nullptr, nullptr, false, "Memo.GotFocus"},
    {"EditField_ClickElsewhere_LostFocus", Content::kFields, "Other", "LostFocus", Gesture::kClick, "Field", Where::kOffset, 40, 12},
    {"EditField_Typing_TextChange", Content::kFields, "Field", "TextChange", Gesture::kClickKeys, nullptr, Where::kOffset, 40, 12, "x"},
    {"EditField_Typing_KeyDown", Content::kFields, "Field", "KeyDown", Gesture::kClickKeys, nullptr, Where::kOffset, 40, 12, "x"},
    {"MultiLineField_Typing_TextChange", Content::kFields, "Memo", "TextChange", Gesture::kClickKeys, nullptr, Where::kOffset, 40, 20, "x"},
    {"MultiLineField_Typing_KeyDown", Content::kFields, "Memo", "KeyDown", Gesture::kClickKeys, nullptr, Where::kOffset, 40, 20, "x"},
    {"MultiLineField_ShiftTab_LostFocus", Content::kFields, "Memo", "LostFocus", Gesture::kClickKeys, nullptr, Where::kOffset, 40, 20, "shift+Tab"},
    {"ListBox_Click_Change", Content::kList, "List", "Change", Gesture::kClick, nullptr, Where::kCell, 1, 0},
    {"ListBox_Click_CellClick", Content::kList, "List", "CellClick", Gesture::kClick, nullptr, Where::kCell, 1, 0},
    {"ListBox_Click_MouseDown", Content::kList, "List", "MouseDown", Gesture::kClick, nullptr, Where::kCell, 1, 0, "", 1},
    {"ListBox_DoubleClick_DoubleClick", Content::kList, "List", "DoubleClick", Gesture::kDoubleClick, nullptr, Where::kCell, 1, 0},
    {"ListBox_HeadingClick_HeaderPressed", Content::kList, "List", "HeaderPressed", Gesture::kClick, nullptr, Where::kHeading, 0},
    {"ListBox_CheckClick_CellAction", Content::kList, "List", "CellAction", Gesture::kClick, nullptr, Where::kCell, 2, 1},
    {"ListBox_Return_CellAction", Content::kList, "List", "CellAction", Gesture::kKeys, nullptr, Where::kOffset, 0, 0, "x Return", 0, nullptr, &StartCellEdit},
    {"ListBox_Key_KeyDown", Content::kList, "List", "KeyDown", Gesture::kClickKeys, nullptr, Where::kCell, 0, 0, "Down", 1},
    {"ListBox_TriangleClick_ExpandRow", Content::kTree, "List", "ExpandRow", Gesture::kClick, nullptr, Where::kTriangle, 1, 0},
    {"ListBox_RowDrag_DragRow", Content::kTree, "List", "DragRow", Gesture::kRowDrag, nullptr, Where::kCell, 0, 0, "", 1, nullptr, nullptr, false, "List.Change"},
    {"DataControl_NextClick_Reposition", Content::kData, "Nav", "Reposition", Gesture::kClick, nullptr, Where::kNavNext},
    {"DataControl_EditThenNext_Validate", Content::kData, "Nav", "Validate", Gesture::kClick, nullptr, Where::kNavNext, 0, 0, "", 0, nullptr, &TypeIntoName, false, "Nav.Reposition"},
    {"DataControl_UpdateClick_Validate", Content::kData, "Nav", "Validate", Gesture::kClick, "Update", Where::kOffset, 40, 13},
    {"DataControl_UpdateClick_Update", Content::kData, "Nav", "Update", Gesture::kClick, "Update", Where::kOffset, 40, 13},
    {"DataControl_InsertClick_Validate", Content::kData, "Nav", "Validate", Gesture::kClick, "Insert", Where::kOffset, 40, 13, "", 0, nullptr, &GiveANewId},
    {"DataControl_InsertClick_Insert", Content::kData, "Nav", "Insert", Gesture::kClick, "Insert", Where::kOffset, 40, 13, "", 0, nullptr, &GiveANewId},
    {"DataControl_DeleteClick_Validate", Content::kData, "Nav", "Validate", Gesture::kClick, "Delete", Where::kOffset, 40, 13},
    {"BoundField_NextClick_TextChange", Content::kData, "Name", "TextChange", Gesture::kClick, "Nav", Where::kNavNext},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

const Kind kKinds[] = {Kind::kClose, Kind::kCloseAndOpen, Kind::kRaise, Kind::kCloseAndShow, Kind::kCloseInDialog};

class CloseInEventTest : public ::testing::TestWithParam<std::tuple<Row, Kind>> {
 protected:
  void SetUp() override {
    gRun = {.row = &std::get<0>(GetParam()), .kind = std::get<1>(GetParam())};
    if (gRun.row->gesture == Gesture::kGrip) {
      // Only a window manager gives a frame to drag, and its display must be the process's first.
      if (gdk_display_get_default()) GTEST_SKIP() << "needs a process of its own (ctest runs each row alone)";
      ASSERT_EQ(test::StartDisplayWithWindowManager(), "");
    }
    ASSERT_TRUE(test::EnsureDisplay());
    test::PrepareRuntimeWindows();
    InstallDataControlHooks();
    mPresenter = SetRuntimeErrorPresenter([](const std::string& text) { return gReports.push_back(text), true; });
    gReports.clear();
    // As the runtime's start-up has it: an exception nobody handles goes to the application.
    mUnhandledHook = SetUnhandledExceptionHook(&UnhandledExceptionHook);
    mApp = CreateInstanceFromDefinition(GetApplicationClassDefinition());
    RuntimeInstallInstanceEventHandler(mApp, Str("UnhandledException").Rep(), Fn(&OnUnhandledException));
    RuntimeRegisterAppObject(mApp);
    RuntimeUnlockObject(mApp);
    if (gRun.row->content == Content::kData) mFolder = MakePeopleDatabase();
  }

  void TearDown() override {
    Xdo("mouseup 1 key Escape");
    CloseAllWindows();
    Pump(50);
    for (RuntimeObject* object : {gRun.window, gRun.next, gRun.database, gRun.dialog}) RuntimeUnlockObject(object);
    gRun = CaseState();
    Pump(20);
    ReleaseApplicationObject();
    SetApplicationHooks({});
    SetRuntimeErrorPresenter(mPresenter);
    SetUnhandledExceptionHook(mUnhandledHook);
    if (!mFolder.empty()) test::Shell("rm -rf '" + mFolder + "'");
    unlink(GestureDoneMark().c_str());
  }

  RuntimeErrorPresenter mPresenter = nullptr;
  ExceptionCallback mUnhandledHook = nullptr;
  RuntimeObject* mApp = nullptr;
  std::string mFolder;
};

TEST_P(CloseInEventTest, TheHandlerRunsOnceAndEverythingGoesOn) {
  const Row& row = *gRun.row;
  gRun.window = RuntimeNewObject(ProbeWindowClass());
  WindowDefaultConstructor(gRun.window);
  FillWindow(gRun.window);
  Window* native = GetWindowPaneOf(gRun.window);
  ASSERT_NE(native, nullptr);
  if (row.gesture == Gesture::kShow) InstallHandlers(gRun.window);
  RuntimeShowWindow(gRun.window);
  // A handler of the first show may close the window before it maps.
  ASSERT_TRUE(PumpUntil([] { return !GetWindowPaneOf(gRun.window) || Mapped(GetWindowPaneOf(gRun.window)); }, test::kWaitLimitMs));
  Pump(50);
  if (row.gesture != Gesture::kShow) {
    Xdo("windowfocus --sync " + std::to_string(test::XidOf(native)));
    // Keys typed before GTK heard that the window has the keyboard may go astray.
    ASSERT_TRUE(PumpUntil([&] { return gtk_window_is_active(GTK_WINDOW(native->GtkWindowWidget())); }, test::kWaitLimitMs));
    Pump(50);
    if (row.prepare) {
      row.prepare(gRun.window);
      Pump(30);
    }
    InstallHandlers(gRun.window);
  }

  Perform(gRun.window, row);
  EXPECT_TRUE(PumpUntil([] { return gRun.delivered > 0; }, test::kWaitLimitMs)) << "the event never came";
  // The event may come before a background gesture's last steps, which would otherwise land on the
  // next window (a drag's last move between the next click's move and its press).
  if (BackgroundGesture(row.gesture)) {
    EXPECT_TRUE(PumpUntil(&GestureDone, test::kWaitLimitMs)) << "the gesture ended";
  }
  Pump(row.gesture == Gesture::kRowDrag || row.gesture == Gesture::kRightClickPick ? 900 : 200);
  Xdo("mouseup 1");
  Pump(50);

  // Shown again, it hears its first show's events once more; left open by a raise, or while a
  // dialog is up, it hears a repeating gesture again.
  const bool livesOn = gRun.kind == Kind::kRaise || gRun.kind == Kind::kCloseInDialog;
  if ((row.repeats && livesOn) || gRun.kind == Kind::kCloseAndShow) EXPECT_GE(gRun.delivered, 1);
  else EXPECT_EQ(gRun.delivered, 1);
  EXPECT_EQ(gReports, std::vector<std::string>()) << "no internal error";
  EXPECT_EQ(gRun.unhandled, gRun.kind == Kind::kRaise ? gRun.delivered : 0) << "each exception reached the application";
  if (gRun.kind == Kind::kRaise && !row.closesWhenRaised) {
    EXPECT_NE(AsWindowFields(gRun.window)->view, nullptr) << "the window stays open";
    // Closed now, it takes along what the event left open (a drop-down, a menu).
    RuntimeCloseWindow(gRun.window);
  } else {
    EXPECT_EQ(AsWindowFields(gRun.window)->view == nullptr, gRun.kind != Kind::kCloseAndShow) << "closed, or shown again";
    // A Close the handler makes asks the window itself once.
    EXPECT_EQ(gRun.after, Is(row.never, "CancelClose")) << (row.never ? row.never : "") << " went on after the close";
  }
  if (gRun.kind == Kind::kCloseAndShow) RuntimeCloseWindow(gRun.window);
  EXPECT_TRUE(NextWindowWorks()) << "the next window takes a click";
}

std::string RowName(const ::testing::TestParamInfo<std::tuple<Row, Kind>>& info) {
  static const char* const kKindNames[] = {"Closes", "ClosesAndOpens", "Raises", "ClosesAndShowsAgain",
                                           "ClosesInADialog"};
  return std::string(std::get<0>(info.param).name) + "_" + kKindNames[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Rows, CloseInEventTest, ::testing::Combine(::testing::ValuesIn(kRows), ::testing::ValuesIn(kKinds)),
                         RowName);

}  // namespace
}  // namespace vorn
