#include "objects/object_definition.h"

#include "objects/signature.h"

namespace vorn {

namespace {

char FoldByte(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

string Text(const char* text) { return string(text ? text : "", static_cast<int32_t>(text ? std::char_traits<char>::length(text) : 0), kEncodingASCII); }

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldByte(a[i]) != FoldByte(b[i])) return false;
  return true;
}

std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldByte(c);
  return folded;
}

DecodedRowFlags DecodeRowFlags(uint32_t rowFlags) {
  DecodedRowFlags decoded;
  if (rowFlags & kRowFlag04) decoded.itemFlags |= kItemFirstFlag;
  if ((rowFlags & kRowFlag800) && (rowFlags & kRowFlag04)) decoded.itemFlags |= kItemThirdFlag;
  if (rowFlags & kRowFlag08) decoded.itemFlags |= kItemSecondFlag;
  if (rowFlags & (kRowFlag4000 | kRowFlag10000)) decoded.attributes += 0x21;
  if (rowFlags & kRowFlag2000) decoded.attributes += 0x10;
  return decoded;
}

std::string InstanceVariable::Signature() const {
  return std::string(name.View()) + "%" + type + "%";
}

ObjectDefinition::ObjectDefinition() = default;
ObjectDefinition::~ObjectDefinition() = default;

void ObjectDefinition::SetInstanceVariables(std::vector<InstanceVariable> list) {
  mInstanceVariables = std::move(list);
}

void ObjectDefinition::AddInterface(ObjectDefinition* iface) {
  if (iface) mInterfaces.insert(mInterfaces.begin(), iface);
}

int32_t ObjectDefinition::TotalEventCount() const {
  int32_t total = 0;
  for (const ObjectDefinition* d = this; d; d = d->mSuper) total += static_cast<int32_t>(d->mHooks.size());
  return total;
}

ObjectHook* ObjectDefinition::FindHook(const string& name) const {
  for (const ObjectDefinition* d = this; d; d = d->mSuper) {
    for (auto it = d->mHooks.rbegin(); it != d->mHooks.rend(); ++it)
      if (SameName((*it)->name.View(), name.View())) return it->get();
  }
  return nullptr;
}

void BeginClassDefinition(ObjectDefinition*, const ConstantRow*, int32_t) {}

std::vector<InstanceVariable> BuildPropertyList(const PropertyRow* rows, int32_t count) {
  std::vector<InstanceVariable> list;
  if (!rows || count <= 0) return list;
  list.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const PropertyRow& row = rows[i];
    InstanceVariable item;
    item.name = Text(row.name);
    item.type = row.type ? row.type : "";
    item.getter = row.getter;
    item.getterName = row.getterName;
    item.setter = row.setter;
    item.setterName = row.setterName;
    item.param = row.param;
    item.extra = row.extra;
    item.rowFlags = row.flags;
    DecodedRowFlags flags = DecodeRowFlags(row.flags);
    item.itemFlags = flags.itemFlags;
    item.attributes = flags.attributes;
    if (!row.setter) item.access |= kAccessReadOnly;
    list.push_back(std::move(item));
  }
  return list;
}

void SetEventList(ObjectDefinition* definition, EventRow* rows, int32_t count) {
  if (!definition || !rows || count <= 0) return;
  int32_t next = definition->TotalEventCount();
  for (int32_t i = 0; i < count; ++i) {
    EventRow& row = rows[i];
    auto hook = std::make_unique<ObjectHook>();
    hook->name = Text(row.name);
    hook->params = Text(row.params);
    hook->result = Text(row.result);
    hook->rowFlags = row.flags;
    DecodedRowFlags flags = DecodeRowFlags(row.flags);
    hook->itemFlags = flags.itemFlags;
    hook->attributes = flags.attributes;
    hook->index = next++;
    hook->owner = definition;
    row.hook = hook.get();
    definition->mHooks.push_back(std::move(hook));
  }
}

void SetMethodList(ObjectDefinition* definition, const MethodRow* rows, int32_t count) {
  if (!definition || !rows || count <= 0) return;
  for (int32_t i = 0; i < count; ++i) {
    const MethodRow& row = rows[i];
    ObjectMethod method;
    method.name = Text(row.name);
    method.result = row.result ? row.result : "";
    for (int32_t p = 0; row.params && p < row.paramCount; ++p) {
      const ParamRow& prow = row.params[p];
      method.params.push_back({Text(prow.name), prow.type ? prow.type : "", prow.flags, prow.defaultValue});
    }
    method.function = row.function;
    method.entryName = row.entryName;
    method.setterFunction = row.setterFunction;
    method.setterName = row.setterName;
    method.rowFlags = row.flags;
    method.extra = row.extra;
    DecodedRowFlags flags = DecodeRowFlags(row.flags);
    method.itemFlags = flags.itemFlags;
    method.attributes = flags.attributes;
    method.signature = std::string(method.name.View()) + "%" + method.result + "%o<" +
                       std::string(definition->mName.View()) + ">";
    for (const MethodParameter& p : method.params) method.signature += p.type;
    definition->mMethods.push_back(std::move(method));
  }
}

void AddEventImplementations(ObjectDefinition* definition, const EventImplRow* rows, int32_t count) {
  if (!definition || !rows || count <= 0) return;
  for (int32_t i = 0; i < count; ++i) {
    ObjectHookInstance item{Text(rows[i].eventName), rows[i].function, rows[i].entryName};
    definition->mHookInstances.insert(definition->mHookInstances.begin(), std::move(item));
  }
}

}  // namespace vorn
