// The language's MessageDialog and MessageDialogButton classes, and the runtime's own reports
// shown as message dialogs.
#include <string>

#include "objects/accessors.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "vorn/window_api.h"
#include "controls/message_dialog.h"
#include "windows/runtime_window.h"

namespace vorn {

namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

MessageDialogObject* Dialog(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetMessageDialogClassDefinition())
             ? reinterpret_cast<MessageDialogObject*>(object)
             : nullptr;
}

MessageDialogButtonObject* Button(RuntimeObject* object) {
  return RuntimeObjectIsaDefinition(object, GetMessageDialogButtonClassDefinition())
             ? reinterpret_cast<MessageDialogButtonObject*>(object)
             : nullptr;
}

int32_t IndexOfButton(RuntimeObject* button) {
  if (RuntimeObjectIsaDefinition(button, GetActionButtonClassDefinition())) return kDialogActionButton;
  if (RuntimeObjectIsaDefinition(button, GetCancelButtonClassDefinition())) return kDialogCancelButton;
  if (RuntimeObjectIsaDefinition(button, GetAlternateActionButtonClassDefinition())) return kDialogAlternateButton;
  return kDialogNoButton;
}

StringRep** CaptionField(MessageDialogObject* dialog, int32_t index) {
  switch (index) {
    case kDialogActionButton: return &dialog->actionCaption;
    case kDialogCancelButton: return &dialog->cancelCaption;
    case kDialogAlternateButton: return &dialog->alternateCaption;
    default: return nullptr;
  }
}

RuntimeObject* NewButton(ObjectDefinition* definition, MessageDialogObject* dialog) {
  RuntimeObject* button = CreateInstanceFromDefinition(definition);
  if (button) reinterpret_cast<MessageDialogButtonObject*>(button)->dialog = dialog;
  return button;
}

ObjectDefinition* ButtonKind(ObjectDefinition& definition, const char* name) {
  if (definition.mName.IsEmpty()) {
    definition.mName = string(name);
    definition.mSuper = GetMessageDialogButtonClassDefinition();
    definition.mInstanceSize = static_cast<int32_t>(sizeof(MessageDialogButtonObject));
  }
  return &definition;
}

}  // namespace

ObjectDefinition* GetMessageDialogButtonClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const PropertyRow properties[] = {
        {0, "Visible", "b", Fn(&MDBBooleanGetter), "MDBBooleanGetter", Fn(&MDBBooleanSetter), "MDBBooleanSetter", 0, 0},
        {0, "Default", "b", Fn(&MDBBooleanGetter), "MDBBooleanGetter", Fn(&MDBBooleanSetter), "MDBBooleanSetter", 1, 0},
        {0, "Cancel", "b", Fn(&MDBBooleanGetter), "MDBBooleanGetter", Fn(&MDBBooleanSetter), "MDBBooleanSetter", 2, 0},
        {0, "Caption", "s", Fn(&MDBCaptionGetter), "MDBCaptionGetter", Fn(&MDBCaptionSetter), "MDBCaptionSetter", 0, 0},
    };
    definition.mName = string("MessageDialogButton");
    definition.mInstanceSize = static_cast<int32_t>(sizeof(MessageDialogButtonObject));
    definition.SetInstanceVariables(BuildPropertyList(properties, 4));
  }
  return &definition;
}

ObjectDefinition* GetActionButtonClassDefinition() {
  static ObjectDefinition definition;
  return ButtonKind(definition, "_ActionButton");
}

ObjectDefinition* GetCancelButtonClassDefinition() {
  static ObjectDefinition definition;
  return ButtonKind(definition, "_CancelButton");
}

ObjectDefinition* GetAlternateActionButtonClassDefinition() {
  static ObjectDefinition definition;
  return ButtonKind(definition, "_AlternateActionButton");
}

ObjectDefinition* GetMessageDialogClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const PropertyRow properties[] = {
        {0, "Message", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
         Offset(offsetof(MessageDialogObject, message)), 0},
        {0, "Explanation", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
         Offset(offsetof(MessageDialogObject, explanation)), 0},
        {0, "Title", "s", Fn(&stringGetter), "stringGetter", Fn(&stringSetter), "stringSetter",
         Offset(offsetof(MessageDialogObject, title)), 0},
        {0, "Icon", "i4", Fn(&intGetter), "intGetter", Fn(&MDIconSetter), "MDIconSetter",
         Offset(offsetof(MessageDialogObject, icon)), 0},
        {0, "ActionButton", "o<MessageDialogButton>", Fn(&MDButtonGetter), "MDButtonGetter", nullptr, nullptr,
         kDialogActionButton, 0},
        {0, "CancelButton", "o<MessageDialogButton>", Fn(&MDButtonGetter), "MDButtonGetter", nullptr, nullptr,
         kDialogCancelButton, 0},
        {0, "AlternateActionButton", "o<MessageDialogButton>", Fn(&MDButtonGetter), "MDButtonGetter", nullptr,
         nullptr, kDialogAlternateButton, 0},
    };
    static const ParamRow parentParam[] = {{"Parent", "o<Window>", 0, 0}};
    static const MethodRow methods[] = {
        {"ShowModal", "o<MessageDialogButton>", nullptr, 0, Fn(&MessageDialogShowModal), "MessageDialogShowModal",
         nullptr, nullptr, 0, 0},
        {"ShowModalWithin", "o<MessageDialogButton>", parentParam, 1, Fn(&MessageDialogShowModalWithin),
         "MessageDialogShowModalWithin", nullptr, nullptr, 0, 0},
    };
    definition.mName = string("MessageDialog");
    definition.mInstanceSize = static_cast<int32_t>(sizeof(MessageDialogObject));
    definition.mInitializer = {Fn(&MessageDialogInitializer), "MessageDialogInitializer"};
    definition.mFinalizer = {Fn(&MessageDialogFinalizer), "MessageDialogFinalizer"};
    definition.SetInstanceVariables(BuildPropertyList(properties, 7));
    SetMethodList(&definition, methods, 2);
  }
  return &definition;
}

void RegisterMessageDialogClasses() {
  RegisterIntrinsicClass("MessageDialogButton", &GetMessageDialogButtonClassDefinition);
  RegisterIntrinsicClass("_ActionButton", &GetActionButtonClassDefinition);
  RegisterIntrinsicClass("_CancelButton", &GetCancelButtonClassDefinition);
  RegisterIntrinsicClass("_AlternateActionButton", &GetAlternateActionButtonClassDefinition);
  RegisterIntrinsicClass("MessageDialog", &GetMessageDialogClassDefinition);
}

void MessageDialogConstruct(MessageDialogObject* dialog) {
  dialog->actionButton = NewButton(GetActionButtonClassDefinition(), dialog);
  dialog->cancelButton = NewButton(GetCancelButtonClassDefinition(), dialog);
  dialog->alternateButton = NewButton(GetAlternateActionButtonClassDefinition(), dialog);
  dialog->icon = kDialogIconInformation;
  dialog->cancelVisible = 0;
  dialog->alternateVisible = 0;
  dialog->defaultIndex = kDialogActionButton;
  dialog->cancelIndex = kDialogCancelButton;
  dialog->parent = nullptr;
}

void MessageDialogDestruct(MessageDialogObject* dialog) {
  RuntimeObject* buttons[] = {dialog->actionButton, dialog->cancelButton, dialog->alternateButton};
  dialog->actionButton = dialog->cancelButton = dialog->alternateButton = nullptr;
  for (RuntimeObject* button : buttons) {
    // A button the program still holds must not point at the dialog that is going.
    if (MessageDialogButtonObject* fields = Button(button)) fields->dialog = nullptr;
    RuntimeUnlockObject(button);
  }
  StringRep** strings[] = {&dialog->title,         &dialog->message,       &dialog->explanation,
                           &dialog->actionCaption, &dialog->cancelCaption, &dialog->alternateCaption};
  for (StringRep** field : strings) {
    RuntimeUnlockString(*field);
    *field = nullptr;
  }
}

// --- the runtime's reports -------------------------------------------------------------------

MessageDialogObject* NewReportDialog(const string& message, const string& explanation, int32_t icon) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetMessageDialogClassDefinition());
  if (!object) return nullptr;
  auto* dialog = reinterpret_cast<MessageDialogObject*>(object);
  dialog->message = message.GetRetainedRep();
  dialog->explanation = explanation.GetRetainedRep();
  dialog->icon = icon;
  return dialog;
}

bool PresentRuntimeErrorDialog(const std::string& text) {
  MessageDialogObject* dialog = NewReportDialog(string(std::string_view(text), kEncodingUTF8), string(), kDialogIconError);
  if (!dialog) return true;
  dialog->cancelVisible = 1;
  int32_t result = MessageDialogRunModal(dialog);
  RuntimeUnlockObject(&dialog->header);
  return result != kDialogCancelButton;
}

void PresentUnhandledExceptionReport(const string& message, const string& explanation) {
  MessageDialogObject* dialog = NewReportDialog(message, explanation, kDialogIconError);
  if (!dialog) return;
  MessageDialogRunModal(dialog);
  RuntimeUnlockObject(&dialog->header);
}

}  // namespace vorn

using namespace vorn;

void MessageDialogInitializer(VornRuntimeObject* object) {
  MessageDialogConstruct(reinterpret_cast<MessageDialogObject*>(object));
}

void MessageDialogFinalizer(VornRuntimeObject* object) {
  MessageDialogDestruct(reinterpret_cast<MessageDialogObject*>(object));
}

uint8_t MDBBooleanGetter(VornRuntimeObject* object, int32_t selector) {
  MessageDialogButtonObject* button = Button(object);
  if (!button || !button->dialog) return 0;
  MessageDialogObject* dialog = button->dialog;
  const int32_t index = IndexOfButton(object);
  switch (selector) {
    case 0:
      if (index == kDialogActionButton) return 1;
      return index == kDialogCancelButton ? dialog->cancelVisible : dialog->alternateVisible;
    case 1: return dialog->defaultIndex == index;
    case 2: return dialog->cancelIndex == index;
    default: return 0;
  }
}

void MDBBooleanSetter(VornRuntimeObject* object, int32_t selector, uint8_t value) {
  MessageDialogButtonObject* button = Button(object);
  if (!button || !button->dialog) return;
  MessageDialogObject* dialog = button->dialog;
  const int32_t index = IndexOfButton(object);
  switch (selector) {
    case 0:
      if (index == kDialogCancelButton) dialog->cancelVisible = value != 0;
      if (index == kDialogAlternateButton) dialog->alternateVisible = value != 0;
      break;
    case 1: dialog->defaultIndex = value ? index : kDialogNoButton; break;
    case 2: dialog->cancelIndex = value ? index : kDialogNoButton; break;
    default: break;
  }
}

VornStringRecord* MDBCaptionGetter(VornRuntimeObject* object, int32_t) {
  MessageDialogButtonObject* button = Button(object);
  if (!button || !button->dialog) return nullptr;
  StringRep** field = CaptionField(button->dialog, IndexOfButton(object));
  if (!field) return nullptr;
  RuntimeLockString(*field);
  return *field;
}

void MDBCaptionSetter(VornRuntimeObject* object, int32_t, VornStringRecord* value) {
  MessageDialogButtonObject* button = Button(object);
  if (!button || !button->dialog) return;
  StringRep** field = CaptionField(button->dialog, IndexOfButton(object));
  if (!field) return;
  ReplaceStringRep(*field, value);
}

void MDIconSetter(VornRuntimeObject* object, int32_t, int32_t value) {
  MessageDialogObject* dialog = Dialog(object);
  if (!dialog) {
    RuntimeRaiseNilObjectException();
    return;
  }
  if (value < kDialogIconNone || value > kDialogIconQuestion) {
    std::string message = "The integer value " + std::to_string(value) +
                          " is not in the range of enumerated icons for the MessageDialog class.";
    RuntimeRaiseExceptionWithMessage(GetOutOfBoundsExceptionClassDefinition(), string(message.c_str()));
    return;
  }
  dialog->icon = value;
}

VornRuntimeObject* MDButtonGetter(VornRuntimeObject* object, int32_t index) {
  MessageDialogObject* dialog = Dialog(object);
  if (!dialog) return nullptr;
  RuntimeObject* button = nullptr;
  switch (index) {
    case kDialogActionButton: button = dialog->actionButton; break;
    case kDialogCancelButton: button = dialog->cancelButton; break;
    case kDialogAlternateButton: button = dialog->alternateButton; break;
    default: return nullptr;
  }
  RuntimeLockObject(button);
  return button;
}

VornRuntimeObject* MessageDialogShowModal(VornRuntimeObject* object) {
  MessageDialogObject* dialog = Dialog(object);
  if (!dialog) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  RuntimeLockObject(object);
  int32_t index = MessageDialogRunModal(dialog);
  VornRuntimeObject* button = MDButtonGetter(object, index);
  RuntimeUnlockObject(object);
  return button;
}

// The parent is recorded and dropped again by the modal run: both forms show the same
// application-modal dialog, so a nil parent is no different.
VornRuntimeObject* MessageDialogShowModalWithin(VornRuntimeObject* object, VornRuntimeObject* parent) {
  MessageDialogObject* dialog = Dialog(object);
  if (!dialog) {
    RuntimeRaiseNilObjectException();
    return nullptr;
  }
  dialog->parent = GetWindowPaneOf(parent);
  return MessageDialogShowModal(object);
}
