#include "windows/window_controls_support.h"

#include <gtk/gtk.h>

#include "objects/accessors.h"
#include "objects/class_registry.h"
#include "objects/runtime_object.h"
#include "windows/gtk_helper.h"
#include "windows/gtk_pane_support.h"
#include "windows/window.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

EventRow sControlEvents[] = {
    {0, "CreatePane", "", "", nullptr, 0},
    {0, "Open", "", "", nullptr, 0},
    {0, "Close", "", "", nullptr, 0},
};

EventRow sRectControlEvents[] = {
    {0, "MouseMove", "X As Integer, Y As Integer", "", nullptr, 0},
    {0, "MouseEnter", "", "", nullptr, 0},
    {0, "MouseExit", "", "", nullptr, 0},
    {0, "DropObject", "obj As DragItem", "", nullptr, 0},
    {0, "MouseWheel", "X As Integer, Y As Integer, Delta as Integer", "Boolean", nullptr, 0},
    {0, "ConstructContextualMenu", "base as MenuItem, x as Integer, y as Integer", "Boolean", nullptr, 0},
    {0, "ContextualMenuAction", "hitItem as MenuItem", "Boolean", nullptr, 0},
};

void ControlInitializer(RuntimeObject* object) { AsControlFields(object)->index = kNoControlIndex; }

void ControlFinalizer(RuntimeObject* object) {
  ControlObject* control = AsControlFields(object);
  RuntimeUnlockString(control->name);
  RuntimeUnlockString(control->balloonHelp);
  RuntimeUnlockString(control->disabledBalloonHelp);
  RuntimeUnlockString(control->helpTag);
  control->name = control->balloonHelp = control->disabledBalloonHelp = control->helpTag = nullptr;
  RuntimeObject* cursor = control->mouseCursor;
  control->mouseCursor = nullptr;
  RuntimeUnlockObject(cursor);
  delete control->menuHandlers;
  control->menuHandlers = nullptr;
}

int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

}  // namespace

ObjectDefinition* GetControlClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const PropertyRow properties[] = {
        {0x84, "Name", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
         Offset(offsetof(ControlObject, name)), 0},
        {0x84, "Index", "i4", Fn(&intGetter), "intGetter", Fn(&intSetter), "intSetter",
         Offset(offsetof(ControlObject, index)), 0},
    };
    definition.mName = string("Control");
    definition.mInstanceSize = static_cast<int32_t>(sizeof(ControlObject));
    definition.mInitializer = {Fn(&ControlInitializer), nullptr};
    definition.mFinalizer = {Fn(&ControlFinalizer), nullptr};
    definition.SetInstanceVariables(BuildPropertyList(properties, 2));
    SetEventList(&definition, sControlEvents, 3);
  }
  return &definition;
}

ObjectDefinition* GetRectControlClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    definition.mName = string("RectControl");
    definition.mSuper = GetControlClassDefinition();
    definition.mInstanceSize = static_cast<int32_t>(sizeof(ControlObject));
    SetEventList(&definition, sRectControlEvents, 7);
  }
  return &definition;
}

ObjectDefinition* GetPaneChildInterfaceDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const ParamRow ownerParam[] = {{"owner", "o<Window>", 0, 0}};
    static const ParamRow indexParam[] = {{"index", "i4", 0, 0}};
    static const MethodRow methods[] = {
        {"_SetWindow", "", ownerParam, 1, nullptr, nullptr, nullptr, nullptr, 0, 0},
        {"Window", "o<Window>", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, 0},
        {"_Index", "i4", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, 0},
        {"_SetIndex", "", indexParam, 1, nullptr, nullptr, nullptr, nullptr, 0, 0},
    };
    definition.mName = string("_PaneChild");
    definition.mFlags = kDefinitionInterface;
    definition.mInstanceSize = VORN_OBJECT_HEADER_SIZE;
    SetMethodList(&definition, methods, 4);
  }
  return &definition;
}

const ObjectHook* ControlEventHook(ControlEvent event) {
  if (event >= kControlEventCount || event < 0) return nullptr;
  if (event < kControlMouseMove) {
    GetControlClassDefinition();
    return sControlEvents[event].hook;
  }
  GetRectControlClassDefinition();
  return sRectControlEvents[event - kControlMouseMove].hook;
}

bool IsControlObject(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetControlClassDefinition());
}

void RegisterWindowControlClasses() {
  RegisterIntrinsicClass(GetControlClassDefinition());
  RegisterIntrinsicClass(GetRectControlClassDefinition());
  RegisterIntrinsicClass(GetPaneChildInterfaceDefinition());
}

// --- push buttons ------------------------------------------------------------------------

namespace {

void OnClicked(GtkButton*, gpointer data) { static_cast<PushButtonPane*>(data)->HandleClicked(); }

}  // namespace

PushButtonPane::PushButtonPane(PushButtonDelegate* delegate, const vorn::TextStyle& style, Window* parent,
                               const Rect& bounds, const string& caption)
    : ContainerPane(parent, 0, bounds), mButtonDelegate(delegate), mCaption(caption) {
  GtkWidget* button = gtk_button_new_with_mnemonic(ConvertMnemonicCaption(caption).CString());
  SetWidget(button);
  SetWidgetFont(button, style);
  GTK_WIDGET_SET_FLAGS(button, GTK_CAN_DEFAULT);
  g_signal_connect(button, "clicked", G_CALLBACK(OnClicked), this);
  ConnectGrabFocusHandler(this);
  AddPaneToWindow(this, true);
}

void PushButtonPane::SetDefault(bool value) {
  mDefault = value;
  if (value && mWidget) gtk_widget_grab_default(mWidget);
}

void PushButtonPane::SetCancel(bool value) { mCancel = value; }

SubPane* PushButtonPane::FindDefaultButton() { return mDefault && IsDisplayed() && IsEnabled() ? this : nullptr; }
SubPane* PushButtonPane::FindCancelButton() { return mCancel && IsDisplayed() && IsEnabled() ? this : nullptr; }

void PushButtonPane::Press() {
  if (mWidget) {
    gtk_button_clicked(GTK_BUTTON(mWidget));
  } else {
    HandleClicked();
  }
}

bool PushButtonPane::CanFocus() { return IsDisplayed() && IsEnabled(); }

// The widget itself takes the press and answers with "clicked".
bool PushButtonPane::MouseDown(int32_t, int32_t, int32_t) { return false; }

void PushButtonPane::HandleClicked() {
  if (mClosing || !mButtonDelegate) return;
  PaneGuard guard(this);
  if (!LockHierarchy()) return;
  mButtonDelegate->Action(this);
  if (guard.Get()) UnlockHierarchy();
}

PushButtonPane* NewPushButton(PushButtonDelegate* delegate, const TextStyle& style, Window* parent, int32_t,
                              const Rect& bounds, const string& caption) {
  return new PushButtonPane(delegate, style, parent, bounds, caption);
}

}  // namespace vorn
