// The Edit menu of a runtime window's menu bar and a focused edit field, driven with the
// mouse: the field enables the items that fit its selection as the menu opens, and a chosen
// item reaches the field by its name.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "controls/control_support.h"
#include "controls/embedded_window_control.h"
#include "controls/support/class_fixture.h"
#include "core/application.h"
#include "startup/class_registration.h"
#include "core/run_loop.h"
#include "startup/window_loop_hooks.h"
#include "editfield/edit_field_class.h"
#include "objects/runtime_object.h"
#include "strings/runtime_error.h"
#include "support/gui_support.h"
#include "support/window_pixels.h"
#include "vorn/class_abi.h"
#include "vorn/editfield_api.h"
#include "vorn/menu_api.h"
#include "vorn/window_api.h"
#include "windows/menu_gtk.h"
#include "windows/menu_routing.h"
#include "windows/pane_focus.h"
#include "windows/runtime_window.h"
#include "startup/runtime_window_install.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

struct NotesWindowObject {
  WindowObject window;
  RuntimeObject* notes;  // held, as compiled code keeps its controls in fields
};

RuntimeClass* sWindowClass = nullptr;
std::vector<std::string> sReports;

bool CaptureReport(const std::string& text) {
  sReports.push_back(text);
  return true;
}

NotesWindowObject* Notes(RuntimeObject* self) { return reinterpret_cast<NotesWindowObject*>(self); }

void OnLayout(VornRuntimeObject* self) {
  windowPosSetter(self, 0, 160);
  windowPosSetter(self, 1, 160);
  windowPosSetter(self, 2, 360);
  windowPosSetter(self, 3, 160);
  windowTitleSetter(self, 0, string("Notes").Rep());
}

void OnCreateControls(VornRuntimeObject* self) {
  RuntimeObject* field = WindowAllocateObject(self, RuntimeLookupClass(string("EditField").Rep()));
  ControlObject* c = AsControl(field);
  c->name = string("Notes").GetRetainedRep();
  c->visible = c->enabled = 1;
  SetControlBounds(c, MakeRect(20, 20, 300, 44));
  test::PackedStream().ApplyTo(field);
  WindowAddControl(self, c->name, field);
  Notes(self)->notes = field;
}

void NotesWindowFinalizer(VornRuntimeObject* self) {
  RuntimeUnlockObject(Notes(self)->notes);
  Notes(self)->notes = nullptr;
}

const VornClassMember kWindowHandlers[] = {
    {"#Layout%%o<NotesWindow>", Fn(&OnLayout), nullptr, 0},
    {"#CreateControls%%o<NotesWindow>", Fn(&OnCreateControls), nullptr, 0},
};

void EnsureClasses() {
  if (sWindowClass) return;
  RuntimeInitExternalClasses();
  InitRuntimeWindowLayer();
  InstallWindowLoopHooks();
  VornClassRecord window = {};
  window.version = kVornClassRecordVersion;
  window.name = "NotesWindow";
  window.superName = "Window";
  window.instanceSize = static_cast<int32_t>(sizeof(NotesWindowObject));
  window.finalizer = {Fn(&NotesWindowFinalizer), nullptr};
  window.eventImplementations = kWindowHandlers;
  window.eventImplementationCount = 2;
  sWindowClass = RuntimeNewClass(&window);
}

RuntimeObject* NewItem(const char* name, const char* text) {
  RuntimeObject* item = CreateInstanceFromDefinition(GetMenuItemClassDefinition());
  RuntimeMenuItemNameSetter(item, 0, string(name).Rep());
  RuntimeMenuItemTextSetter(item, 0, string(text).Rep());
  return item;
}

// Edit: Cut, Copy, Paste, Clear, Select All, in that order, and an item nobody handles.
RuntimeObject* NewEditMenuBar() {
  RuntimeObject* bar = CreateInstanceFromDefinition(GetMenuBarClassDefinition());
  RuntimeObject* edit = NewItem("EditMenu", "_Edit");
  for (auto [name, text] : {std::pair{"EditCut", "Cut"}, {"EditCopy", "Copy"}, {"EditPaste", "Paste"},
                            {"EditClear", "Clear"}, {"EditSelectAll", "Select All"}, {"EditSpell", "Spelling"}}) {
    RuntimeObject* item = NewItem(name, text);
    RuntimeMenuItemAppend(edit, item);
    RuntimeUnlockObject(item);
  }
  RuntimeMenuItemAppend(bar, edit);
  RuntimeUnlockObject(edit);
  return bar;
}

std::string FieldText(RuntimeObject* field) {
  StringRep* rep = editTextGetter(field, 0);
  std::string text(RepText(rep));
  RuntimeUnlockString(rep);
  return text;
}

XMenuGTK* EditMenuOf(RuntimeObject* window) {
  RuntimeObject* bar = WindowMenuBarGetter(window, 0);
  auto* node = dynamic_cast<XMenuGTK*>(MenuOf(bar));
  RuntimeUnlockObject(bar);
  return node ? node->ChildNodeAt(0) : nullptr;
}

enum { kCut, kCopy, kPaste, kClear, kSelectAll, kSpell };

TEST(EditMenuGuiTest, TheFocusedFieldEnablesAndRunsTheEditItemsOfTheMenuBar) {
  ASSERT_TRUE(test::EnsureDisplay());
  RuntimeErrorPresenter previous = SetRuntimeErrorPresenter(&CaptureReport);
  EnsureClasses();
  InstallControlWindowHooks();
  InstallContainerControlWindowHooks();
  // Menu bars belong to an application.
  RuntimeObject* app = CreateInstanceFromDefinition(GetApplicationClassDefinition());
  RuntimeRegisterAppObject(app);
  RuntimeUnlockObject(app);
  RuntimeObject* window = RuntimeNewObject(sWindowClass);
  WindowDefaultConstructor(window);
  RuntimeObject* bar = NewEditMenuBar();
  WindowMenuBarSetter(window, 0, bar);
  test::RunLoopIteration();
  Window* native = GetWindowPaneOf(window);
  ASSERT_NE(native, nullptr);
  test::ShowAndSettle(native);
  RuntimeObject* field = Notes(window)->notes;
  SubPane* pane = ControlPane(AsControl(field));
  ASSERT_NE(pane, nullptr);

  test::FlushWindowDrawing(native);
  test::ClickAt(native, 100, 32);
  ASSERT_EQ(GetFocusPane(), pane) << "the click gave the field the focus";
  editTextSetter(field, 0, string("Hello world").Rep());
  editSelStartSetter(field, 0, 0);
  editSelLengthSetter(field, 0, 5);

  XMenuGTK* edit = EditMenuOf(window);
  ASSERT_NE(edit, nullptr);
  test::ClickWidget(edit->ItemWidget());
  ASSERT_TRUE(GTK_WIDGET_VISIBLE(edit->MenuWidget())) << "the Edit menu opened";
  EXPECT_TRUE(edit->ChildNodeAt(kCut)->IsEnabled()) << "text is selected";
  EXPECT_TRUE(GTK_WIDGET_SENSITIVE(edit->ChildNodeAt(kCut)->ItemWidget()));
  EXPECT_TRUE(edit->ChildNodeAt(kCopy)->IsEnabled());
  EXPECT_TRUE(edit->ChildNodeAt(kClear)->IsEnabled());
  EXPECT_TRUE(edit->ChildNodeAt(kSelectAll)->IsEnabled());
  EXPECT_FALSE(edit->ChildNodeAt(kSpell)->IsEnabled()) << "the field knows only the Edit items";

  test::ClickWidget(edit->ChildNodeAt(kCut)->ItemWidget());
  EXPECT_FALSE(GTK_WIDGET_VISIBLE(edit->MenuWidget()));
  EXPECT_EQ(FieldText(field), " world") << "Cut took the selection out";
  EXPECT_EQ(editSelLengthGetter(field, 0), 0);

  // Nothing selected now: Cut, Copy and Clear are off, and choosing Cut does nothing.
  test::ClickWidget(edit->ItemWidget());
  ASSERT_TRUE(GTK_WIDGET_VISIBLE(edit->MenuWidget()));
  EXPECT_FALSE(edit->ChildNodeAt(kCut)->IsEnabled());
  EXPECT_FALSE(GTK_WIDGET_SENSITIVE(edit->ChildNodeAt(kCut)->ItemWidget()));
  EXPECT_FALSE(edit->ChildNodeAt(kCopy)->IsEnabled());
  EXPECT_FALSE(edit->ChildNodeAt(kClear)->IsEnabled());
  EXPECT_TRUE(edit->ChildNodeAt(kSelectAll)->IsEnabled());
  EXPECT_TRUE(edit->ChildNodeAt(kPaste)->IsEnabled()) << "the cut text is on the clipboard";
  test::ClickWidget(edit->ChildNodeAt(kCut)->ItemWidget());
  EXPECT_EQ(FieldText(field), " world") << "a disabled Cut changes nothing";
  test::Shell("xdotool key Escape");
  test::PumpFor(100);

  // Paste puts the cut text back at the caret.
  editSelStartSetter(field, 0, 0);
  test::ClickWidget(edit->ItemWidget());
  test::ClickWidget(edit->ChildNodeAt(kPaste)->ItemWidget());
  EXPECT_EQ(FieldText(field), "Hello world");

  RuntimeCloseWindow(window);
  test::RunLoopIteration();
  RuntimeUnlockObject(bar);
  RuntimeUnlockObject(window);
  ReleaseApplicationObject();
  SetApplicationHooks({});
  SetRuntimeErrorPresenter(previous);
  EXPECT_TRUE(sReports.empty()) << (sReports.empty() ? "" : sReports.front());
}

}  // namespace
}  // namespace vorn
