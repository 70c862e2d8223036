#include "editfield/edit_field_binding.h"

#include "controls/binding_binders.h"
#include "controls/binding_interfaces.h"
#include "objects/runtime_object.h"
#include "vorn/control_api.h"
#include "vorn/editfield_api.h"

namespace vorn {

void EditFieldBindDataNotifier(RuntimeObject* object, RuntimeObject* notifier) {
  EditFieldObject* field = AsEditFieldObject(object);
  if (!field) return;
  ObjectDefinition* iface = GetDataNotifierInterfaceDefinition();
  RuntimeLockObject(notifier);
  if (RuntimeObject* old = field->dataNotifier) {
    field->dataNotifier = nullptr;
    CallInterfaceMethod(old, iface, "removeDataNotificationReceiver", nullptr, object);
    RuntimeUnlockObject(old);
  }
  field->dataNotifier = notifier;
  if (notifier) CallInterfaceMethod(notifier, iface, "addDataNotificationReceiver", nullptr, object);
  RefreshEditFieldFromNotifier(field);
}

void RefreshEditFieldFromNotifier(EditFieldObject* field) {
  RuntimeObject* notifier = field ? field->dataNotifier : nullptr;
  if (!notifier) return;
  RuntimeObject* self = &field->base.header;
  RuntimeLockObject(self);
  bool found = false;
  StringRep* text =
      CallInterfaceMethod<StringRep*>(notifier, GetStringProviderInterfaceDefinition(), "getString", &found);
  if (found) editTextSetter(self, 0, text);
  ReleaseStringRep(text);
  const uint8_t available = CallInterfaceMethod<uint8_t>(field->dataNotifier ? field->dataNotifier : notifier,
                                                        GetDataAvailableProviderInterfaceDefinition(), "dataAvailable",
                                                        &found);
  if (found) controlEnabledSetter(self, 0, available);
  RuntimeUnlockObject(self);
}

void PushEditFieldText(EditFieldObject* field) {
  RuntimeObject* notifier = field ? field->dataNotifier : nullptr;
  if (!notifier) return;
  RuntimeObject* self = &field->base.header;
  const string text = EditFieldPane(field) ? string::Adopt(editTextGetter(self, 0)) : string("", 0, kEncodingUTF8);
  RuntimeLockObject(notifier);
  CallInterfaceMethod(notifier, GetStringInterfaceDefinition(), "setString", nullptr, text.Rep());
  RuntimeUnlockObject(notifier);
}

void InstallEditFieldBindingHook() {
  SetStringBinderDestHook([](RuntimeObject* dest, RuntimeObject* source) {
    if (AsEditFieldObject(dest)) EditFieldBindDataNotifier(dest, source);
  });
}

}  // namespace vorn
