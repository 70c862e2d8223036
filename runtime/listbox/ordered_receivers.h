// Receivers of a list box's notifications that hear in the order they were added (unlike the
// newest-first notification lists of the binding layer). Each is held while listed. A receiver
// may change the list, or end the life of its owner, while a send calls it: the send walks a
// held copy of the receivers listed when it began.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/object_definition.h"
#include "objects/runtime_object.h"

namespace vorn {

class OrderedReceivers {
 public:
  OrderedReceivers() = default;
  ~OrderedReceivers() { RemoveAll(); }
  OrderedReceivers(const OrderedReceivers&) = delete;
  OrderedReceivers& operator=(const OrderedReceivers&) = delete;

  // A nil receiver is ignored.
  void Add(RuntimeObject* receiver);
  // Takes off the first occurrence; nothing when it is not listed.
  void Remove(RuntimeObject* receiver);
  void RemoveAll();
  int32_t Count() const { return static_cast<int32_t>(mReceivers.size()); }
  RuntimeObject* At(int32_t index) const { return mReceivers[static_cast<size_t>(index)]; }

  // Calls the interface's method on every receiver that implements it.
  void Send(ObjectDefinition* iface, const char* method) const;

 private:
  std::vector<RuntimeObject*> mReceivers;
};

}  // namespace vorn
