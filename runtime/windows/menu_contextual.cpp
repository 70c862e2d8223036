// Menus shown at the pointer: the ContextualMenu control, which reports the chosen row's text,
// and the PopUp methods of MenuItem, which answer the chosen item. Both run a nested GTK loop
// until the menu is gone.
#include <gtk/gtk.h>

#include <algorithm>
#include <vector>

#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "vorn/menu_api.h"
#include "vorn/window_api.h"
#include "windows/control.h"
#include "windows/menu_enabling.h"
#include "windows/menu_gtk.h"
#include "windows/menu_routing.h"
#include "windows/pane_assert.h"
#include "windows/pane_focus.h"

namespace vorn {

namespace {

constexpr const char* kContextualSource = "../Common/runcmm.cpp";
constexpr const char* kContextualGtkSource = "../Common/Linux/ContextualMenuGTK.cpp";

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

// The rows of one ContextualMenu: a root item whose children are the rows.
struct ContextualMenuRecord {
  RuntimeObject* root = nullptr;
  XMenuGTK* chosen = nullptr;
};

struct ContextualMenuObject {
  ControlObject control;
  uint8_t useCMM;
  ContextualMenuRecord* record;
};

ContextualMenuObject* AsContextualMenu(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetContextualMenuClassDefinition())
             ? reinterpret_cast<ContextualMenuObject*>(object)
             : nullptr;
}

// Open records, so that a choice finds the record of its root.
std::vector<ContextualMenuRecord*>& OpenRecords() {
  static std::vector<ContextualMenuRecord*> records;
  return records;
}

void ContextualMenuChosen(XMenuGTK* chosen) {
  XMenuGTK* top = chosen->GetParent();
  if (!top) {
    ReportPaneAssertion(kContextualGtkSource, __LINE__, "parent");
    return;
  }
  while (top->GetParent()) top = top->GetParent();
  for (ContextualMenuRecord* record : OpenRecords()) {
    if (MenuOf(record->root) == top) record->chosen = chosen;
  }
}

ContextualMenuRecord* RecordOf(ContextualMenuObject* menu) {
  if (!menu->record) {
    auto* record = new ContextualMenuRecord();
    record->root = CreateInstanceFromDefinition(GetMenuItemClassDefinition());
    Menu* root = MenuOf(record->root);
    root->SetText(string("TopLevel"));
    if (auto* node = dynamic_cast<XMenuGTK*>(root)) node->SetChooseCallback(&ContextualMenuChosen);
    OpenRecords().push_back(record);
    menu->record = record;
  }
  return menu->record;
}

void DeleteRecord(ContextualMenuObject* menu) {
  ContextualMenuRecord* record = menu->record;
  menu->record = nullptr;
  if (!record) return;
  auto& records = OpenRecords();
  records.erase(std::remove(records.begin(), records.end(), record), records.end());
  RuntimeUnlockObject(record->root);
  delete record;
}

void AddRow(RuntimeObject* object, const string& text) {
  ContextualMenuObject* menu = AsContextualMenu(object);
  if (!menu) return;
  ContextualMenuRecord* record = RecordOf(menu);
  RuntimeObject* row = CreateInstanceFromDefinition(GetMenuItemClassDefinition());
  MenuOf(row)->SetText(text);
  MenuOf(record->root)->Append(row);
  RuntimeUnlockObject(row);
}

struct PopUpPoint {
  gint x;
  gint y;
};

void PlaceAtPoint(GtkMenu*, gint* x, gint* y, gboolean* pushIn, gpointer data) {
  auto* point = static_cast<PopUpPoint*>(data);
  *x = point->x;
  *y = point->y;
  *pushIn = TRUE;
}

// Pops the menu up for the event being handled (its button and time) and waits until it is
// gone.
void RunPopUp(NativeWidget menuWidget, PopUpPoint* point) {
  guint button = 0;
  guint32 time = gtk_get_current_event_time();
  if (GdkEvent* event = gtk_get_current_event()) {
    if (event->type == GDK_BUTTON_PRESS) button = event->button.button;
    gdk_event_free(event);
  }
  gtk_menu_popup(GTK_MENU(menuWidget), nullptr, nullptr, point ? &PlaceAtPoint : nullptr, point, button, time);
  while (GTK_WIDGET_VISIBLE(menuWidget)) gtk_main_iteration_do(TRUE);
}

RuntimeObject* sPopUpChosen = nullptr;
XMenuGTK* sPopUpTop = nullptr;

void PopUpItemChosen(XMenuGTK* chosen) {
  RuntimeUnlockObject(sPopUpChosen);
  sPopUpChosen = sPopUpTop ? sPopUpTop->FindMenuItemObject(chosen) : nullptr;
}

void ContextualMenuCreatePane(VornRuntimeObject*) {}

EventRow sContextualEvents[] = {{0, "Action", "item As String", "", nullptr, 0}};

const PropertyRow kContextualProperties[] = {
    {0x8000, "UseCMM", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
     FieldOffset(offsetof(ContextualMenuObject, useCMM)), 0},
    {0, "UseMacCMM", "b", Fn(&boolGetter), "boolGetter", Fn(&boolSetter), "boolSetter",
     FieldOffset(offsetof(ContextualMenuObject, useCMM)), 0},
};

const ParamRow kTextParam[] = {{"Text", "s", 0, 0}};

const MethodRow kContextualMethods[] = {
    {"DeleteAllRows", "", nullptr, 0, Fn(&contextualMenuResetContent), "contextualMenuResetContent", nullptr,
     nullptr, 0, 0},
    {"AddRow", "", kTextParam, 1, Fn(&contextualMenuAddRow), "contextualMenuAddRow", nullptr, nullptr, 0, 0},
    {"AddSeparator", "", nullptr, 0, Fn(&contextualMenuAddSeparator), "contextualMenuAddSeparator", nullptr,
     nullptr, 0, 0},
    {"Open", "", nullptr, 0, Fn(&contextualMenuOpen), "contextualMenuOpen", nullptr, nullptr, 0, 0},
};

const EventImplRow kContextualImpl[] = {{"CreatePane", Fn(&ContextualMenuCreatePane), "ContextualMenuCreatePane"}};

}  // namespace

ObjectDefinition* GetContextualMenuClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("ContextualMenu");
    definition.mSuper = GetControlClassDefinition();
    definition.mInstanceSize = static_cast<int32_t>(sizeof(ContextualMenuObject));
    definition.mFinalizer = {Fn(&RuntimeContextualMenuDestructor), "RuntimeContextualMenuDestructor"};
    definition.SetInstanceVariables(BuildPropertyList(kContextualProperties, RowCount(kContextualProperties)));
    SetEventList(&definition, sContextualEvents, RowCount(sContextualEvents));
    SetMethodList(&definition, kContextualMethods, RowCount(kContextualMethods));
    AddEventImplementations(&definition, kContextualImpl, RowCount(kContextualImpl));
  }
  return &definition;
}

}  // namespace vorn

using namespace vorn;

void RuntimeContextualMenuDestructor(VornRuntimeObject* object) {
  if (!object) {
    ReportPaneAssertion(kContextualSource, __LINE__, "menu");
    return;
  }
  if (ContextualMenuObject* menu = AsContextualMenu(object)) DeleteRecord(menu);
}

void contextualMenuResetContent(VornRuntimeObject* object) {
  if (ContextualMenuObject* menu = AsContextualMenu(object)) DeleteRecord(menu);
}

void contextualMenuAddRow(VornRuntimeObject* object, VornStringRecord* text) { AddRow(object, string::Share(text)); }

void contextualMenuAddSeparator(VornRuntimeObject* object) { AddRow(object, string("-")); }

void contextualMenuOpen(VornRuntimeObject* object) {
  ContextualMenuObject* menu = AsContextualMenu(object);
  if (!menu) return;
  RuntimeLockObject(object);
  ContextualMenuRecord* record = RecordOf(menu);
  RuntimeObject* root = record->root;
  RuntimeLockObject(root);
  record->chosen = nullptr;
  if (auto* node = dynamic_cast<XMenuGTK*>(MenuOf(root))) RunPopUp(node->MenuWidget(), nullptr);
  // The rows may have been deleted meanwhile: the record is only read while it is the same.
  if (menu->record == record && record->chosen) {
    string text = record->chosen->Text();
    record->chosen = nullptr;
    FireEvent(object, sContextualEvents[0].hook, text.Rep());
  }
  RuntimeUnlockObject(root);
  RuntimeUnlockObject(object);
}

VornRuntimeObject* RuntimeMenuItemPopUp(VornRuntimeObject* item, int32_t x, int32_t y) {
  if (!item) {
    ReportPaneAssertion(kContextualSource, __LINE__, "mnuItem");
    return nullptr;
  }
  auto* node = dynamic_cast<XMenuGTK*>(MenuOf(item));
  if (!node) return nullptr;
  RuntimeLockObject(item);
  RuntimeUnlockObject(sPopUpChosen);
  sPopUpChosen = nullptr;
  enableMenuItems();
  // The focus pane may go while the menu is up: the guard forgets it then.
  PaneGuard focus(GetFocusPane());
  XMenuGTK* savedTop = sPopUpTop;
  MenuChooseCallback saved = node->GetChooseCallback();
  sPopUpTop = node;
  node->SetChooseCallback(&PopUpItemChosen);
  PopUpPoint point = {x, y};
  RunPopUp(node->MenuWidget(), &point);
  node->SetChooseCallback(saved);
  sPopUpTop = savedTop;
  if (focus.Get()) SetFocusPane(focus.Get());
  RuntimeObject* chosen = sPopUpChosen;
  sPopUpChosen = nullptr;
  RuntimeUnlockObject(item);
  if (!chosen) return nullptr;
  if (HandleMenuItemChosen(chosen, nullptr)) {
    RuntimeUnlockObject(chosen);
    return nullptr;
  }
  return chosen;
}

VornRuntimeObject* RuntimeMenuItemPopUpByCursor(VornRuntimeObject* item) {
  gint x = 0, y = 0;
  if (GdkWindow* rootWindow = gdk_get_default_root_window()) gdk_window_get_pointer(rootWindow, &x, &y, nullptr);
  return RuntimeMenuItemPopUp(item, x, y);
}
