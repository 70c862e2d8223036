#include "controls/binding_binders.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <vector>

#include "controls/binding_interfaces.h"
#include "objects/accessors.h"
#include "objects/runtime_object.h"

namespace vorn {

namespace {

StringBinderDestHook sDestHook = nullptr;

// --- watching for the death of sources and dests ------------------------------------------

std::vector<BinderObject*>& Watching() {
  static auto* binders = new std::vector<BinderObject*>;
  return *binders;
}

ObjectCallback sPreviousDisposedHook = nullptr;

void ObjectDisposed(RuntimeObject* object) {
  for (BinderObject* binder : Watching()) {
    if (binder->source == object) binder->source = nullptr;
    if (binder->dest == object) binder->dest = nullptr;
  }
  if (sPreviousDisposedHook) sPreviousDisposedHook(object);
}

void Watch(BinderObject* binder) {
  static bool hooked = false;
  if (!hooked) {
    hooked = true;
    sPreviousDisposedHook = SetObjectDisposedHook(&ObjectDisposed);
  }
  auto& list = Watching();
  if (std::find(list.begin(), list.end(), binder) == list.end()) list.push_back(binder);
}

void Unwatch(BinderObject* binder) {
  auto& list = Watching();
  list.erase(std::remove(list.begin(), list.end(), binder), list.end());
}

BinderObject* AsBinder(RuntimeObject* object) { return reinterpret_cast<BinderObject*>(object); }

// Holds the binder for the length of a call that may run compiled code.
class HeldObject {
 public:
  explicit HeldObject(RuntimeObject* object) : mObject(object) { RuntimeLockObject(object); }
  ~HeldObject() { RuntimeUnlockObject(mObject); }
  HeldObject(const HeldObject&) = delete;
  HeldObject& operator=(const HeldObject&) = delete;

 private:
  RuntimeObject* mObject;
};

// Steps 1 to 3 of binding a receiving binder: leave the old source's receivers, take the new
// pair, join the new source's receivers.
void Rebind(BinderObject* binder, RuntimeObject* source, RuntimeObject* dest) {
  RuntimeObject* self = &binder->header;
  ObjectDefinition* notifier = GetDataNotifierInterfaceDefinition();
  if (RuntimeObject* old = binder->source)
    CallInterfaceMethod(old, notifier, "removeDataNotificationReceiver", nullptr, self);
  binder->source = source;
  binder->dest = dest;
  Watch(binder);
  if (binder->source)
    CallInterfaceMethod(binder->source, notifier, "addDataNotificationReceiver", nullptr, self);
}

void BinderDestructor(RuntimeObject* self) { Unwatch(AsBinder(self)); }

// --- class definitions ----------------------------------------------------------------------

const ParamRow kBindParams[] = {{"source", "o<Object>", 0, 0}, {"dest", "o<Object>", 0, 0}};

MethodRow BindRow(void (*function)(RuntimeObject*, RuntimeObject*, RuntimeObject*), const char* entry) {
  return MethodRow{"bind", "", kBindParams, 2, reinterpret_cast<void*>(function), entry, nullptr, nullptr, 0, 0};
}

MethodRow ReloadRow(void (*function)(RuntimeObject*), const char* entry) {
  return MethodRow{"DataChanged", "", nullptr, 0, reinterpret_cast<void*>(function), entry, nullptr, nullptr, 0, 0};
}

// Interfaces are given in the order the class lists them; AddInterface prepends.
void BuildBinder(ObjectDefinition& definition, const char* name, const MethodRow* methods, int32_t methodCount,
                 std::initializer_list<ObjectDefinition*> interfaces) {
  definition.mName = string(name);
  definition.mInstanceSize = sizeof(BinderObject);
  definition.mFinalizer = {reinterpret_cast<void*>(&BinderDestructor), nullptr};
  SetMethodList(&definition, methods, methodCount);
  for (auto it = std::rbegin(interfaces); it != std::rend(interfaces); ++it) definition.AddInterface(*it);
}

}  // namespace

bool IsControlObject(RuntimeObject* object) {
  for (RuntimeClass* cls = ClassOf(object); cls; cls = cls->mSuper)
    if (SameName(cls->mName.View(), "Control")) return true;
  return false;
}

bool SetControlEnabled(RuntimeObject* control, bool enabled) {
  RuntimeClass* cls = ClassOf(control);
  if (!cls) return false;
  // The most derived declaration wins, as for every accessor lookup.
  for (auto it = cls->mAccessors.rbegin(); it != cls->mAccessors.rend(); ++it) {
    std::string_view signature = RepText(it->signature);
    if (signature.size() > 8 && SameName(signature.substr(0, 8), "Enabled%"))
      return SetPropertyValue(control, *it, PropertyValue::Boolean(enabled));
  }
  return false;
}

StringBinderDestHook SetStringBinderDestHook(StringBinderDestHook hook) {
  StringBinderDestHook previous = sDestHook;
  sDestHook = hook;
  return previous;
}

int32_t WatchingBinderCount() { return static_cast<int32_t>(Watching().size()); }

ObjectDefinition* GetEnablingBinderClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {BindRow(&enablingBinderBind, "enablingBinderBind"),
                                        ReloadRow(&enablingBinderReload, "enablingBinderReload")};
    BuildBinder(definition, "enablingBinder", methods, 2,
                {GetDataNotificationReceiverInterfaceDefinition(), GetBindingInterfaceDefinition()});
  }
  return &definition;
}

ObjectDefinition* GetActionBinderClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {BindRow(&actionBinderBind, "actionBinderBind")};
    BuildBinder(definition, "actionBinder", methods, 1, {GetBindingInterfaceDefinition()});
  }
  return &definition;
}

ObjectDefinition* GetStringBinderClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {BindRow(&stringBinderBind, "stringBinderBind"),
                                        ReloadRow(&stringBinderReload, "stringBinderReload")};
    BuildBinder(definition, "stringBinder", methods, 2,
                {GetBindingInterfaceDefinition(), GetDataNotificationReceiverInterfaceDefinition()});
  }
  return &definition;
}

ObjectDefinition* GetListBinderClassDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {BindRow(&listBinderBind, "listBinderBind")};
    BuildBinder(definition, "listBinder", methods, 1, {GetBindingInterfaceDefinition()});
  }
  return &definition;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void enablingBinderBind(VornRuntimeObject* binder, VornRuntimeObject* source, VornRuntimeObject* dest) {
  if (!binder) return;
  HeldObject hold(binder);
  Rebind(AsBinder(binder), source, dest);
  enablingBinderReload(binder);
}

void enablingBinderReload(VornRuntimeObject* binder) {
  if (!binder) return;
  HeldObject hold(binder);
  BinderObject* self = AsBinder(binder);
  // A source that provides no Boolean disables the dest.
  uint8_t value = CallInterfaceMethod<uint8_t>(self->source, GetBooleanProviderInterfaceDefinition(),
                                               "getBoolean", nullptr);
  if (self->dest && IsControlObject(self->dest)) SetControlEnabled(self->dest, value != 0);
}

void actionBinderBind(VornRuntimeObject* binder, VornRuntimeObject* source, VornRuntimeObject* dest) {
  if (!binder) return;
  // The binder keeps nothing: the source's actions reach the dest directly.
  CallInterfaceMethod(source, GetActionSourceInterfaceDefinition(), "addActionNotificationReceiver", nullptr, dest);
}

void stringBinderBind(VornRuntimeObject* binder, VornRuntimeObject* source, VornRuntimeObject* dest) {
  if (!binder) return;
  HeldObject hold(binder);
  Rebind(AsBinder(binder), source, dest);
  stringBinderReload(binder);
}

void stringBinderReload(VornRuntimeObject* binder) {
  if (!binder) return;
  HeldObject hold(binder);
  BinderObject* self = AsBinder(binder);
  string text = string::Adopt(
      CallInterfaceMethod<StringRep*>(self->source, GetStringProviderInterfaceDefinition(), "getString", nullptr));
  bool available = true;
  bool found = false;
  uint8_t answer = CallInterfaceMethod<uint8_t>(self->source, GetDataAvailableProviderInterfaceDefinition(),
                                                "dataAvailable", &found);
  if (found) available = answer != 0;
  // Each call may have ended the life of the other object: the fields are read afresh.
  found = false;
  CallInterfaceMethod(self->dest, GetStringInterfaceDefinition(), "setString", &found, text.Rep());
  if (found && sDestHook && self->dest) sDestHook(self->dest, self->source);
  if (self->dest && IsControlObject(self->dest)) SetControlEnabled(self->dest, available);
}

void listBinderBind(VornRuntimeObject* binder, VornRuntimeObject* source, VornRuntimeObject* dest) {
  if (!binder) return;
  CallInterfaceMethod(dest, GetListInterfaceDefinition(), "BindList", nullptr, source);
}

}  // extern "C"
