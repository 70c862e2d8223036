#include "listbox/ordered_receivers.h"

#include <algorithm>

#include "controls/binding_interfaces.h"

namespace vorn {

void OrderedReceivers::Add(RuntimeObject* receiver) {
  if (!receiver) return;
  RuntimeLockObject(receiver);
  mReceivers.push_back(receiver);
}

void OrderedReceivers::Remove(RuntimeObject* receiver) {
  auto it = std::find(mReceivers.begin(), mReceivers.end(), receiver);
  if (it == mReceivers.end()) return;
  mReceivers.erase(it);
  RuntimeUnlockObject(receiver);
}

void OrderedReceivers::RemoveAll() {
  // Letting one go may run a destructor that removes another: take each off before releasing.
  while (!mReceivers.empty()) {
    RuntimeObject* receiver = mReceivers.back();
    mReceivers.pop_back();
    RuntimeUnlockObject(receiver);
  }
}

void OrderedReceivers::Send(ObjectDefinition* iface, const char* method) const {
  const std::vector<RuntimeObject*> snapshot = mReceivers;
  for (RuntimeObject* receiver : snapshot) RuntimeLockObject(receiver);
  for (RuntimeObject* receiver : snapshot) CallInterfaceMethod(receiver, iface, method, nullptr);
  for (RuntimeObject* receiver : snapshot) RuntimeUnlockObject(receiver);
}

}  // namespace vorn
