#include "objects/class_registry.h"

#include <memory>
#include <string>
#include <unordered_map>

#include "base/reloc_entry.h"
#include "objects/signature.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

constexpr const char* kSource = "../Common/Object Model/ClassRegistry";

// A registered class: built, or a getter that builds it on first use.
struct Slot {
  ObjectDefinition* definition = nullptr;
  DefinitionGetter getter = nullptr;
  std::string key;  // the folded name it was registered under
};

struct NameMap {
  std::unordered_map<std::string, size_t> byName;  // index into slots
  std::vector<Slot> slots;                         // in registration order
  std::vector<ObjectDefinition*> inOrder;          // the built slots, filled when asked for
  size_t pending = 0;
};

NameMap& IntrinsicClasses() {
  static NameMap map;
  return map;
}

NameMap& IntrinsicModules() {
  static NameMap map;
  return map;
}

struct CompiledClasses {
  std::unordered_map<std::string, RuntimeClass*> byName;
  std::vector<std::unique_ptr<ObjectDefinition>> definitions;
};

CompiledClasses& Compiled() {
  static CompiledClasses classes;
  return classes;
}

void Report(int32_t code, int32_t line, const char* condition, const std::string& message) {
  ReportRuntimeError(kRuntimeErrorKind, code, kSource, line, condition, message.c_str());
}

// A direct-field marker is not a function and never enters the directory.
void AddEntry(const char* name, void* function) {
  if (!name || !function || IsDirectField(function)) return;
  AddRelocEntry(name, function);
}

void AddEntryPoints(const ObjectDefinition* definition) {
  for (const InstanceVariable& item : definition->mInstanceVariables) {
    AddEntry(item.getterName, item.getter);
    AddEntry(item.setterName, item.setter);
  }
  for (const ObjectMethod& method : definition->mMethods) {
    AddEntry(method.entryName, method.function);
    AddEntry(method.setterName, method.setterFunction);
  }
  for (const ObjectHookInstance& impl : definition->mHookInstances) AddEntry(impl.entryName, impl.function);
  AddEntry(definition->mInitializer.entryName, definition->mInitializer.function);
  AddEntry(definition->mFinalizer.entryName, definition->mFinalizer.function);
}

// Builds a slot's definition if it is not built yet and enters its members' entry points.
ObjectDefinition* Built(NameMap& map, size_t index) {
  if (map.slots[index].definition) return map.slots[index].definition;
  // The getter may look other classes up, which may add slots: nothing is held across it.
  ObjectDefinition* definition = map.slots[index].getter();
  Slot& slot = map.slots[index];
  if (slot.definition) return slot.definition;
  slot.definition = definition;
  --map.pending;
  if (!definition || FoldName(definition->mName.View()) != slot.key || definition->IsModule()) {
    Report(kErrorInvalidClassDefinition, __LINE__, "registered name", slot.key);
    return definition;
  }
  AddEntryPoints(definition);
  return definition;
}

void BuildAll(NameMap& map) {
  for (size_t i = 0; map.pending > 0 && i < map.slots.size(); ++i) Built(map, i);
}

ObjectDefinition* Find(NameMap& map, const string& name) {
  auto it = map.byName.find(FoldName(name.View()));
  return it == map.byName.end() ? nullptr : Built(map, it->second);
}

const std::vector<ObjectDefinition*>& InOrder(NameMap& map) {
  BuildAll(map);
  map.inOrder.clear();
  for (const Slot& slot : map.slots) map.inOrder.push_back(slot.definition);
  return map.inOrder;
}

// Directory readers that must see every row have the pending classes built first.
void CompleteRelocRows() { BuildAll(IntrinsicClasses()); }

string Text(const char* text) { return string(text ? text : ""); }

string Name(const std::string& text) { return string(std::string_view(text), kEncodingASCII); }

bool BadArray(const void* array, int32_t count) { return count < 0 || (count > 0 && !array); }

// Turns an image class record into a definition; nil (reported) when malformed.
std::unique_ptr<ObjectDefinition> DefinitionFromRecord(const VornClassRecord& record, RuntimeClass* super) {
  auto def = std::make_unique<ObjectDefinition>();
  def->mName = Text(record.name);
  def->mSuper = super ? super->mDefinition : nullptr;
  def->mInstanceSize = record.instanceSize;
  def->mFlags = (record.flags & kVornClassIsInterface) ? kDefinitionInterface : 0;
  def->mInitializer = {record.initializer.function, record.initializer.entryName};
  def->mFinalizer = {record.finalizer.function, record.finalizer.entryName};
  std::string className(def->mName.View());

  auto parse = [&](const char* text, int32_t line) -> std::optional<MemberSignature> {
    auto sig = text ? ParseMemberSignature(text) : std::nullopt;
    if (!sig) Report(kErrorInvalidClassDefinition, line, "signature", className + ": " + (text ? text : "(nil)"));
    return sig;
  };

  std::vector<InstanceVariable> properties;
  for (int32_t i = 0; i < record.propertyCount; ++i) {
    const VornClassProperty& row = record.properties[i];
    auto sig = parse(row.signature, __LINE__);
    if (!sig || sig->eventImplementation || sig->assignment) return nullptr;
    InstanceVariable item;
    item.name = Name(sig->name);
    item.type = PrintTypeCode(sig->result);
    item.getter = row.getter;
    item.getterName = row.getterName;
    item.setter = row.setter;
    item.setterName = row.setterName;
    item.param = row.param;
    item.rowFlags = row.flags;
    if (!row.setter) item.access |= kAccessReadOnly;
    properties.push_back(std::move(item));
  }
  def->SetInstanceVariables(std::move(properties));

  for (int32_t i = 0; i < record.methodCount; ++i) {
    const VornClassMember& row = record.methods[i];
    auto sig = parse(row.signature, __LINE__);
    if (!sig || sig->eventImplementation) return nullptr;
    ObjectMethod* method = nullptr;
    for (ObjectMethod& m : def->mMethods)
      if (SameName(m.name.View(), sig->name)) method = &m;
    if (!method || !sig->assignment) {
      def->mMethods.emplace_back();
      method = &def->mMethods.back();
      method->name = Name(sig->name);
      method->result = PrintTypeCode(sig->result);
      for (size_t p = 1; p < sig->parameters.size(); ++p)
        method->params.push_back({string(), PrintTypeCode(sig->parameters[p]), 0, 0});
      method->signature = PrintMemberSignature(*sig);
    }
    if (sig->assignment) {
      method->setterFunction = row.function;
      method->setterName = row.entryName;
    } else {
      method->function = row.function;
      method->entryName = row.entryName;
    }
    method->rowFlags = row.flags;
  }

  int32_t nextEvent = def->mSuper ? def->mSuper->TotalEventCount() : 0;
  for (int32_t i = 0; i < record.eventCount; ++i) {
    auto sig = parse(record.events[i].signature, __LINE__);
    if (!sig || sig->eventImplementation || sig->assignment) return nullptr;
    auto hook = std::make_unique<ObjectHook>();
    hook->name = Name(sig->name);
    std::string params;
    for (size_t p = 1; p < sig->parameters.size(); ++p) params += PrintTypeCode(sig->parameters[p]);
    hook->params = string(params, kEncodingASCII);
    hook->result = string(PrintTypeCode(sig->result), kEncodingASCII);
    hook->rowFlags = record.events[i].flags;
    hook->index = nextEvent++;
    hook->owner = def.get();
    def->mHooks.push_back(std::move(hook));
  }

  for (int32_t i = 0; i < record.eventImplementationCount; ++i) {
    const VornClassMember& row = record.eventImplementations[i];
    auto sig = parse(row.signature, __LINE__);
    if (!sig) return nullptr;
    string name = Name(sig->name);
    if (!sig->eventImplementation || !def->FindHook(name)) {
      Report(kErrorInvalidClassDefinition, __LINE__, "inherited event", className + ": " + row.signature);
      return nullptr;
    }
    def->mHookInstances.insert(def->mHookInstances.begin(), ObjectHookInstance{name, row.function, row.entryName});
  }

  for (int32_t i = record.interfaceCount; i-- > 0;) {
    RuntimeClass* iface = LookupClassByName(Text(record.interfaces[i]));
    if (!iface || !iface->mIsInterface) {
      Report(kErrorUnknownClass, __LINE__, "interface", className + ": " + Text(record.interfaces[i]).CString());
      return nullptr;
    }
    def->AddInterface(iface->mDefinition);
  }
  return def;
}

}  // namespace

void RegisterIntrinsicClass(ObjectDefinition* definition) {
  if (!definition || definition->mName.IsEmpty()) {
    Report(kErrorFailedAssertion, __LINE__, "defn", "");
    return;
  }
  NameMap& map = definition->IsModule() ? IntrinsicModules() : IntrinsicClasses();
  std::string key = FoldName(definition->mName.View());
  auto [it, inserted] = map.byName.emplace(key, map.slots.size());
  if (!inserted) {
    if (Built(map, it->second) != definition)
      Report(kErrorInvalidClassDefinition, __LINE__, "name not yet registered", std::string(definition->mName.View()));
    return;
  }
  map.slots.push_back({definition, nullptr, key});
  AddEntryPoints(definition);
}

void RegisterIntrinsicClass(const char* name, DefinitionGetter getter) {
  if (!name || !*name || !getter) {
    Report(kErrorFailedAssertion, __LINE__, "defn", name ? name : "");
    return;
  }
  NameMap& map = IntrinsicClasses();
  std::string key = FoldName(name);
  auto [it, inserted] = map.byName.emplace(key, map.slots.size());
  if (!inserted) {
    if (map.slots[it->second].getter != getter && Built(map, it->second) != getter())
      Report(kErrorInvalidClassDefinition, __LINE__, "name not yet registered", name);
    return;
  }
  map.slots.push_back({nullptr, getter, key});
  ++map.pending;
  SetRelocRowsCompleter(&CompleteRelocRows);
}

void RegisterIntrinsicClassList(std::initializer_list<IntrinsicClassEntry> classes) {
  for (const IntrinsicClassEntry& entry : classes) RegisterIntrinsicClass(entry.name, entry.getter);
}

void BuildRegisteredIntrinsicClasses() { BuildAll(IntrinsicClasses()); }

ObjectDefinition* LookupIntrinsicClass(const string& name) { return Find(IntrinsicClasses(), name); }
ObjectDefinition* LookupIntrinsicModule(const string& name) { return Find(IntrinsicModules(), name); }
const std::vector<ObjectDefinition*>& IntrinsicClassesInOrder() { return InOrder(IntrinsicClasses()); }
const std::vector<ObjectDefinition*>& IntrinsicModulesInOrder() { return InOrder(IntrinsicModules()); }

RuntimeClass* LookupCompiledClass(const string& name) {
  auto& byName = Compiled().byName;
  auto it = byName.find(FoldName(name.View()));
  return it == byName.end() ? nullptr : it->second;
}

RuntimeClass* LookupClassByName(const string& name) {
  if (name.IsEmpty()) return nullptr;
  if (RuntimeClass* cls = LookupCompiledClass(name)) return cls;
  return RuntimeClassFromDefinition(LookupIntrinsicClass(name));
}

}  // namespace vorn

extern "C" {

VornRuntimeClass* RuntimeNewClass(const VornClassRecord* record) {
  using namespace vorn;
  if (!record || record->version != kVornClassRecordVersion || !record->name || !*record->name ||
      BadArray(record->properties, record->propertyCount) || BadArray(record->methods, record->methodCount) ||
      BadArray(record->events, record->eventCount) ||
      BadArray(record->eventImplementations, record->eventImplementationCount) ||
      BadArray(record->interfaces, record->interfaceCount)) {
    Report(kErrorInvalidClassDefinition, __LINE__, "record", record && record->name ? record->name : "");
    return nullptr;
  }
  string name(record->name);
  if (LookupClassByName(name)) {
    Report(kErrorInvalidClassDefinition, __LINE__, "name not yet taken", record->name);
    return nullptr;
  }
  RuntimeClass* super = nullptr;
  if (record->superName && *record->superName) {
    super = LookupClassByName(string(record->superName));
    if (!super || super->mIsInterface != ((record->flags & kVornClassIsInterface) != 0)) {
      Report(kErrorUnknownClass, __LINE__, "superclass", std::string(record->name) + ": " + record->superName);
      return nullptr;
    }
  }
  std::unique_ptr<ObjectDefinition> definition = DefinitionFromRecord(*record, super);
  if (!definition) return nullptr;
  RuntimeClass* cls = RuntimeClassFromDefinition(definition.get());
  if (!cls) return nullptr;
  AddEntryPoints(definition.get());
  Compiled().definitions.push_back(std::move(definition));
  Compiled().byName.emplace(FoldName(name.View()), cls);
  return cls;
}

VornRuntimeClass* RuntimeLookupClass(VornStringRecord* name) {
  return vorn::LookupClassByName(vorn::string::Share(name));
}

void** RuntimeNewVtable(VornRuntimeClass* cls, VornRuntimeClass* iface, void* const* functions, int32_t count) {
  if (!cls || !iface || !functions) return nullptr;
  for (vorn::InterfaceEntry& entry : cls->mInterfaces) {
    if (entry.iface != iface) continue;
    if (count < 0 || static_cast<size_t>(count) != entry.vtable.size()) return nullptr;
    entry.vtable.assign(functions, functions + count);
    entry.explicitTable = true;
    return entry.vtable.data();
  }
  return nullptr;
}

}  // extern "C"
