#include "objects/action_interfaces.h"

namespace vorn {

namespace {

const ParamRow kActionReceiverParam[] = {{"receiver", "o<actionNotificationReceiver>", 0, 0}};

ObjectDefinition* BuildInterface(const char* name, const MethodRow* rows, int32_t count) {
  auto* definition = new ObjectDefinition();
  definition->mName = string(name);
  definition->mFlags = kDefinitionInterface;
  SetMethodList(definition, rows, count);
  return definition;
}

}  // namespace

ObjectDefinition* GetActionSourceInterfaceDefinition() {
  static const MethodRow rows[] = {
      {"addActionNotificationReceiver", "", kActionReceiverParam, 1, nullptr, nullptr, nullptr, nullptr, 0, 0},
      {"removeActionNotificationReceiver", "", kActionReceiverParam, 1, nullptr, nullptr, nullptr, nullptr, 0, 0}};
  static ObjectDefinition* definition = BuildInterface("actionSource", rows, 2);
  return definition;
}

ObjectDefinition* GetActionNotificationReceiverInterfaceDefinition() {
  static const MethodRow rows[] = {{"PerformAction", "", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, 0}};
  static ObjectDefinition* definition = BuildInterface("actionNotificationReceiver", rows, 1);
  return definition;
}

}  // namespace vorn
