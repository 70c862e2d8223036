// Stand-ins for the objects a list box meets in data binding: a listDataProvider whose rows
// are tuples of texts "r<row>f<field>" (both counted from 1), and a receiver that logs every
// notification it hears as "<tag>.<method>".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "objects/runtime_object.h"

namespace vorn::testing {

struct FakeRowsProviderObject {
  RuntimeObject header;
  int32_t rows;
  int32_t fields;
  RuntimeObject* receiver;  // the list told of row changes; not held
  int32_t receiverChanges;  // add and remove calls
};

RuntimeObject* NewFakeRowsProvider(int32_t rows, int32_t fields);
FakeRowsProviderObject* AsFakeRowsProvider(RuntimeObject* object);
// The row numbers the providers were asked for, in order.
std::vector<int32_t>& RequestedProviderRows();

RuntimeObject* NewLoggingReceiver(int32_t tag);
std::vector<std::string>& ReceiverLog();

}  // namespace vorn::testing
