// The data-binding interfaces (providers, receivers, notifiers), the four binder classes and
// their registration. Controls add the interfaces to their own class definitions through the
// getters; each definition is built once on first use and lives until exit.
#pragma once

#include "objects/action_interfaces.h"
#include "objects/event_dispatch.h"
#include "objects/object_definition.h"
#include "objects/runtime_object.h"

namespace vorn {

ObjectDefinition* GetStringProviderInterfaceDefinition();
ObjectDefinition* GetStringInterfaceDefinition();
ObjectDefinition* GetListInterfaceDefinition();
ObjectDefinition* GetBooleanProviderInterfaceDefinition();
ObjectDefinition* GetDataAvailableProviderInterfaceDefinition();
ObjectDefinition* GetDataNotifierInterfaceDefinition();
ObjectDefinition* GetDataNotificationReceiverInterfaceDefinition();
ObjectDefinition* GetListSelectionNotifierInterfaceDefinition();
ObjectDefinition* GetListSelectionNotificationReceiverInterfaceDefinition();
ObjectDefinition* GetBindingPartInterfaceDefinition();
ObjectDefinition* GetListDataProviderInterfaceDefinition();
ObjectDefinition* GetListDataNotifierInterfaceDefinition();
ObjectDefinition* GetListDataNotificationReceiverInterfaceDefinition();
ObjectDefinition* GetTupleInterfaceDefinition();
ObjectDefinition* GetBindingInterfaceDefinition();

ObjectDefinition* GetEnablingBinderClassDefinition();
ObjectDefinition* GetActionBinderClassDefinition();
ObjectDefinition* GetStringBinderClassDefinition();
ObjectDefinition* GetListBinderClassDefinition();

// Registers the 21 definitions with the intrinsic class map, interfaces and binders in their
// start-up order.
void RegisterDataBindingClasses();
// Lets timers notify their action receivers (timer_receivers.cpp).
void InstallTimerReceiverHooks();

// Calls the named method of the interface on the object when its class has it: the object is
// held for the call, and an exception the method leaves goes to the unhandled-exception
// report, as for events. `found` (optional) tells whether there was a method to call; the
// result is zero when there was none.
template <typename R = void, typename... Args>
R CallInterfaceMethod(RuntimeObject* object, ObjectDefinition* iface, const char* name, bool* found,
                      Args... args) {
  void* function = object ? LookupInterfaceMethod(object, iface, string(name)) : nullptr;
  if (found) *found = function != nullptr;
  if (!function) return R();
  return CallEventHandler<R, Args...>(function, object, args...);
}

}  // namespace vorn
