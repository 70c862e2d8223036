#include "objects/runtime_class.h"

#include <algorithm>
#include <memory>

#include "strings/runtime_error.h"

namespace vorn {

namespace {

constexpr const char* kSource = "../Common/Object Model/RuntimeClass";

std::vector<std::unique_ptr<RuntimeClass>>& ClassStore() {
  static std::vector<std::unique_ptr<RuntimeClass>> store;
  return store;
}

std::vector<const ObjectDefinition*>& DefinitionsInConversion() {
  static std::vector<const ObjectDefinition*> inProgress;
  return inProgress;
}

void ReportInvalid(int32_t line, const char* condition, const std::string& className) {
  std::string message = "Class " + className;
  ReportRuntimeError(kRuntimeErrorKind, kErrorInvalidClassDefinition, kSource, line, condition,
                     message.c_str());
}

StringRep* Keep(RuntimeClass* cls, string text) {
  cls->mKeptStrings.push_back(std::move(text));
  return cls->mKeptStrings.back().Rep();
}

void PutMethod(RuntimeClass* cls, const std::string& name, void* function) {
  int32_t slot = FindMethodSlot(cls, name);
  if (slot >= 0) {
    if (function) cls->mMethodTable[static_cast<size_t>(slot)] = function;
    return;
  }
  cls->mMethodTable.push_back(function);
  cls->mMethodNames.push_back(name);
}

void BuildMethodTable(RuntimeClass* cls, const ObjectDefinition* def) {
  if (cls->mSuper) {
    cls->mMethodTable = cls->mSuper->mMethodTable;
    cls->mMethodNames = cls->mSuper->mMethodNames;
  }
  for (const ObjectMethod& method : def->mMethods) {
    std::string name(method.name.View());
    PutMethod(cls, name, method.function);
    if (method.setterFunction) PutMethod(cls, "=" + name, method.setterFunction);
  }
}

void BuildEventTable(RuntimeClass* cls, const ObjectDefinition* def) {
  if (cls->mSuper) cls->mEvents = cls->mSuper->mEvents;
  for (const auto& hook : def->mHooks) {
    if (hook->index != cls->EventCount())
      ReportInvalid(__LINE__, "hook->index == eventCount", std::string(def->mName.View()));
    cls->mEvents.push_back({nullptr, Keep(cls, hook->name)});
  }
  for (const ObjectHookInstance& impl : def->mHookInstances) {
    for (auto it = cls->mEvents.rbegin(); it != cls->mEvents.rend(); ++it) {
      if (SameName(RepText(it->name), impl.eventName.View())) {
        it->handler = impl.function;
        break;
      }
    }
  }
}

void BuildAccessorTable(RuntimeClass* cls, const ObjectDefinition* def) {
  if (cls->mSuper) cls->mAccessors = cls->mSuper->mAccessors;
  for (const InstanceVariable& item : def->mInstanceVariables) {
    std::string signature = item.Signature();
    StringRep* rep = Keep(cls, string(signature, kEncodingASCII));
    PropertyEntry entry{rep, item.param, item.getter, item.setter};
    cls->mAccessors.push_back(entry);
    cls->mOwnProperties.push_back(entry);
  }
}

void FillVtable(const RuntimeClass* cls, InterfaceEntry& entry) {
  const RuntimeClass* iface = entry.iface;
  entry.vtable.assign(iface->mMethodNames.size(), nullptr);
  for (size_t i = 0; i < iface->mMethodNames.size(); ++i) {
    int32_t slot = FindMethodSlot(cls, iface->mMethodNames[i]);
    if (slot >= 0) entry.vtable[i] = cls->mMethodTable[static_cast<size_t>(slot)];
  }
}

void BuildInterfaceTable(RuntimeClass* cls, const ObjectDefinition* def) {
  if (cls->mIsInterface) return;
  if (cls->mSuper) cls->mInterfaces = cls->mSuper->mInterfaces;
  // Inherited tables follow this class's overrides.
  for (InterfaceEntry& entry : cls->mInterfaces)
    if (!entry.explicitTable) FillVtable(cls, entry);
  for (ObjectDefinition* ifaceDef : def->mInterfaces) {
    RuntimeClass* iface = RuntimeClassFromDefinition(ifaceDef);
    if (!iface || !iface->mIsInterface) {
      ReportInvalid(__LINE__, "iface->mIsInterface", std::string(def->mName.View()));
      continue;
    }
    bool present = std::any_of(cls->mInterfaces.begin(), cls->mInterfaces.end(),
                               [&](const InterfaceEntry& e) { return e.iface == iface; });
    if (present) continue;
    InterfaceEntry entry{iface, {}, false};
    FillVtable(cls, entry);
    cls->mInterfaces.push_back(std::move(entry));
  }
}

}  // namespace

int32_t FindMethodSlot(const RuntimeClass* cls, std::string_view name) {
  if (!cls) return -1;
  for (size_t i = cls->mMethodNames.size(); i-- > 0;)
    if (SameName(cls->mMethodNames[i], name)) return static_cast<int32_t>(i);
  return -1;
}

RuntimeClass* RuntimeClassFromDefinition(ObjectDefinition* definition) {
  if (!definition) return nullptr;
  if (definition->mRuntimeClass) return definition->mRuntimeClass;

  auto& inProgress = DefinitionsInConversion();
  if (std::find(inProgress.begin(), inProgress.end(), definition) != inProgress.end()) {
    ReportInvalid(__LINE__, "superclass chain without cycle", std::string(definition->mName.View()));
    return nullptr;
  }
  inProgress.push_back(definition);
  RuntimeClass* super = RuntimeClassFromDefinition(definition->mSuper);
  inProgress.pop_back();
  if (definition->mSuper && !super) return nullptr;
  if (definition->mRuntimeClass) return definition->mRuntimeClass;

  auto owned = std::make_unique<RuntimeClass>();
  RuntimeClass* cls = owned.get();
  cls->mName = definition->mName;
  cls->mIsInterface = definition->IsInterface();
  cls->mSuper = super;
  cls->mDefinition = definition;

  int32_t baseSize = super ? super->mInstanceSize : VORN_OBJECT_HEADER_SIZE;
  cls->mInstanceSize = std::max(definition->mInstanceSize, VORN_OBJECT_HEADER_SIZE);
  if (cls->mInstanceSize < baseSize) {
    ReportInvalid(__LINE__, "instanceSize >= super->instanceSize", std::string(definition->mName.View()));
    cls->mInstanceSize = baseSize;
  }

  if (super) cls->mConstructors = super->mConstructors;
  if (definition->mInitializer.function) cls->mConstructors.push_back(definition->mInitializer);
  if (definition->mFinalizer.function) cls->mDestructors.push_back(definition->mFinalizer);
  if (super) cls->mDestructors.insert(cls->mDestructors.end(), super->mDestructors.begin(), super->mDestructors.end());

  BuildMethodTable(cls, definition);
  BuildEventTable(cls, definition);
  BuildAccessorTable(cls, definition);
  definition->mRuntimeClass = cls;  // before interfaces: an interface list may name the class's own kin
  BuildInterfaceTable(cls, definition);

  ClassStore().push_back(std::move(owned));
  return cls;
}

bool ClassIsa(const RuntimeClass* cls, const RuntimeClass* ancestor) {
  if (!cls || !ancestor) return false;
  for (const RuntimeClass* c = cls; c; c = c->mSuper)
    if (c == ancestor) return true;
  if (!ancestor->mIsInterface) return false;
  return FindInterfaceEntry(const_cast<RuntimeClass*>(cls), ancestor) != nullptr;
}

InterfaceEntry* FindInterfaceEntry(RuntimeClass* cls, const RuntimeClass* iface) {
  if (!cls || !iface) return nullptr;
  for (InterfaceEntry& entry : cls->mInterfaces)
    for (const RuntimeClass* c = entry.iface; c; c = c->mSuper)
      if (c == iface) return &entry;
  return nullptr;
}

}  // namespace vorn
