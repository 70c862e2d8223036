#include "controls/binding_interfaces.h"

#include "objects/class_registry.h"

namespace vorn {

namespace {

constexpr MethodRow Method(const char* name, const char* result, const ParamRow* params, int32_t count) {
  return MethodRow{name, result, params, count, nullptr, nullptr, nullptr, nullptr, 0, 0};
}

// Fills an interface definition once from its method rows.
ObjectDefinition* Interface(ObjectDefinition& definition, const char* name, const MethodRow* rows, int32_t count) {
  if (definition.mName.IsEmpty()) {
    definition.mName = string(name);
    definition.mFlags = kDefinitionInterface;
    SetMethodList(&definition, rows, count);
  }
  return &definition;
}

template <int32_t N>
ObjectDefinition* Interface(ObjectDefinition& definition, const char* name, const MethodRow (&rows)[N]) {
  return Interface(definition, name, rows, N);
}

const ParamRow kStrParam[] = {{"Str", "s", 0, 0}};
const ParamRow kBooleanParam[] = {{"value", "b", 0, 0}};
const ParamRow kIntegerParam[] = {{"v", "i4", 0, 0}};
const ParamRow kStringParam[] = {{"v", "s", 0, 0}};
const ParamRow kListDataParam[] = {{"data", "o<listDataProvider>", 0, 0}};
const ParamRow kDataReceiverParam[] = {{"receiver", "o<dataNotificationReceiver>", 0, 0}};
const ParamRow kSelectionReceiverParam[] = {{"receiver", "o<listSelectionNotificationReceiver>", 0, 0}};
const ParamRow kListDataReceiverParam[] = {{"receiver", "o<listDataNotificationReceiver>", 0, 0}};
const ParamRow kBindParams[] = {{"source", "o<Object>", 0, 0}, {"dest", "o<Object>", 0, 0}};

}  // namespace

ObjectDefinition* GetStringProviderInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("getString", "s", nullptr, 0)};
  return Interface(definition, "StringProvider", rows);
}

ObjectDefinition* GetStringInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("setString", "", kStrParam, 1)};
  return Interface(definition, "StringInterface", rows);
}

ObjectDefinition* GetListInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("BindList", "", kListDataParam, 1)};
  return Interface(definition, "ListInterface", rows);
}

ObjectDefinition* GetBooleanProviderInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("getBoolean", "b", nullptr, 0), Method("setBoolean", "", kBooleanParam, 1)};
  return Interface(definition, "BooleanProvider", rows);
}

ObjectDefinition* GetDataAvailableProviderInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("dataAvailable", "b", nullptr, 0)};
  return Interface(definition, "DataAvailableProvider", rows);
}

ObjectDefinition* GetDataNotifierInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("addDataNotificationReceiver", "", kDataReceiverParam, 1),
                                   Method("removeDataNotificationReceiver", "", kDataReceiverParam, 1)};
  return Interface(definition, "dataNotifier", rows);
}

ObjectDefinition* GetDataNotificationReceiverInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("dataChanged", "", nullptr, 0)};
  return Interface(definition, "dataNotificationReceiver", rows);
}

ObjectDefinition* GetListSelectionNotifierInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {
      Method("addListSelectionNotificationReceiver", "", kSelectionReceiverParam, 1),
      Method("removeListSelectionNotificationReceiver", "", kSelectionReceiverParam, 1)};
  return Interface(definition, "listSelectionNotifier", rows);
}

ObjectDefinition* GetListSelectionNotificationReceiverInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("selectionChanging", "", nullptr, 0),
                                   Method("selectionChanged", "", nullptr, 0)};
  return Interface(definition, "listSelectionNotificationReceiver", rows);
}

ObjectDefinition* GetBindingPartInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("getBoundPart", "o<Object>", kStringParam, 1)};
  return Interface(definition, "bindingPartInterface", rows);
}

ObjectDefinition* GetListDataProviderInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("GetCount", "i4", nullptr, 0),
                                   Method("GetRow", "o<tupleInterface>", kIntegerParam, 1)};
  return Interface(definition, "listDataProvider", rows);
}

ObjectDefinition* GetListDataNotifierInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {
      Method("addListDataNotificationReceiver", "", kListDataReceiverParam, 1),
      Method("removeListDataNotificationReceiver", "", kListDataReceiverParam, 1)};
  return Interface(definition, "listDataNotifier", rows);
}

ObjectDefinition* GetListDataNotificationReceiverInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("listDataInsertedRow", "", kIntegerParam, 1),
                                   Method("listDataRemovedRow", "", kIntegerParam, 1),
                                   Method("listDataReload", "", nullptr, 0)};
  return Interface(definition, "listDataNotificationReceiver", rows);
}

ObjectDefinition* GetTupleInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("FieldCount", "i4", nullptr, 0),
                                   Method("getIndString", "s", kIntegerParam, 1)};
  return Interface(definition, "tupleInterface", rows);
}

ObjectDefinition* GetBindingInterfaceDefinition() {
  static ObjectDefinition definition;
  static const MethodRow rows[] = {Method("bind", "", kBindParams, 2)};
  return Interface(definition, "bindingInterface", rows);
}

void RegisterDataBindingClasses() {
  RegisterIntrinsicClassList({
      {"StringProvider", GetStringProviderInterfaceDefinition},
      {"BooleanProvider", GetBooleanProviderInterfaceDefinition},
      {"StringInterface", GetStringInterfaceDefinition},
      {"ListInterface", GetListInterfaceDefinition},
      {"DataAvailableProvider", GetDataAvailableProviderInterfaceDefinition},
      {"dataNotifier", GetDataNotifierInterfaceDefinition},
      {"dataNotificationReceiver", GetDataNotificationReceiverInterfaceDefinition},
      {"listSelectionNotifier", GetListSelectionNotifierInterfaceDefinition},
      {"listSelectionNotificationReceiver", GetListSelectionNotificationReceiverInterfaceDefinition},
      {"listDataProvider", GetListDataProviderInterfaceDefinition},
      {"listDataNotifier", GetListDataNotifierInterfaceDefinition},
      {"listDataNotificationReceiver", GetListDataNotificationReceiverInterfaceDefinition},
      {"tupleInterface", GetTupleInterfaceDefinition},
      {"actionSource", GetActionSourceInterfaceDefinition},
      {"actionNotificationReceiver", GetActionNotificationReceiverInterfaceDefinition},
      {"bindingInterface", GetBindingInterfaceDefinition},
      {"enablingBinder", GetEnablingBinderClassDefinition},
      {"actionBinder", GetActionBinderClassDefinition},
      {"stringBinder", GetStringBinderClassDefinition},
      {"listBinder", GetListBinderClassDefinition},
      {"bindingPartInterface", GetBindingPartInterfaceDefinition},
  });
  InstallTimerReceiverHooks();
}

}  // namespace vorn
