#include "listbox/support/list_binding_fakes.h"

#include <iterator>

#include "controls/binding_interfaces.h"
#include "objects/object_definition.h"

namespace vorn::testing {

namespace {

struct TupleObject {
  RuntimeObject header;
  int32_t row;
  int32_t fields;
};

struct LoggingReceiverObject {
  RuntimeObject header;
  int32_t tag;
};

template <typename F>
MethodRow Row(const char* name, const char* result, const ParamRow* params, int32_t count, F function) {
  return MethodRow{name, result, params, count, reinterpret_cast<void*>(function), nullptr, nullptr, nullptr, 0, 0};
}

const ParamRow kInt[] = {{"v", "i4", 0, 0}};
const ParamRow kObject[] = {{"receiver", "o<Object>", 0, 0}};

int32_t TupleFieldCount(RuntimeObject* self) { return reinterpret_cast<TupleObject*>(self)->fields; }
StringRep* TupleField(RuntimeObject* self, int32_t field) {
  const std::string text = "r" + std::to_string(reinterpret_cast<TupleObject*>(self)->row) + "f" +
                           std::to_string(field);
  return string(text, kEncodingUTF8).GetRetainedRep();
}

ObjectDefinition* TupleDefinition() {
  static ObjectDefinition* definition = [] {
    static const MethodRow methods[] = {Row("FieldCount", "i4", nullptr, 0, &TupleFieldCount),
                                        Row("getIndString", "s", kInt, 1, &TupleField)};
    auto* d = new ObjectDefinition();
    d->mName = string("FakeListTuple");
    d->mInstanceSize = sizeof(TupleObject);
    SetMethodList(d, methods, 2);
    d->AddInterface(GetTupleInterfaceDefinition());
    return d;
  }();
  return definition;
}

int32_t ProviderCount(RuntimeObject* self) { return AsFakeRowsProvider(self)->rows; }
RuntimeObject* ProviderRow(RuntimeObject* self, int32_t row) {
  RequestedProviderRows().push_back(row);
  FakeRowsProviderObject* provider = AsFakeRowsProvider(self);
  if (row < 1 || row > provider->rows) return nullptr;
  RuntimeObject* tuple = CreateInstanceFromDefinition(TupleDefinition());
  reinterpret_cast<TupleObject*>(tuple)->row = row;
  reinterpret_cast<TupleObject*>(tuple)->fields = provider->fields;
  return tuple;
}
void ProviderAdd(RuntimeObject* self, RuntimeObject* receiver) {
  AsFakeRowsProvider(self)->receiver = receiver;
  AsFakeRowsProvider(self)->receiverChanges++;
}
void ProviderRemove(RuntimeObject* self, RuntimeObject* receiver) {
  if (AsFakeRowsProvider(self)->receiver == receiver) AsFakeRowsProvider(self)->receiver = nullptr;
  AsFakeRowsProvider(self)->receiverChanges++;
}

ObjectDefinition* ProviderDefinition() {
  static ObjectDefinition* definition = [] {
    static const MethodRow methods[] = {
        Row("GetCount", "i4", nullptr, 0, &ProviderCount),
        Row("GetRow", "o<tupleInterface>", kInt, 1, &ProviderRow),
        Row("addListDataNotificationReceiver", "", kObject, 1, &ProviderAdd),
        Row("removeListDataNotificationReceiver", "", kObject, 1, &ProviderRemove),
    };
    auto* d = new ObjectDefinition();
    d->mName = string("FakeRowsProvider");
    d->mInstanceSize = sizeof(FakeRowsProviderObject);
    SetMethodList(d, methods, static_cast<int32_t>(std::size(methods)));
    d->AddInterface(GetListDataProviderInterfaceDefinition());
    d->AddInterface(GetListDataNotifierInterfaceDefinition());
    return d;
  }();
  return definition;
}

void Log(RuntimeObject* self, const char* what) {
  ReceiverLog().push_back(std::to_string(reinterpret_cast<LoggingReceiverObject*>(self)->tag) + "." + what);
}
void LogDataChanged(RuntimeObject* self) { Log(self, "DataChanged"); }
void LogPerformAction(RuntimeObject* self) { Log(self, "PerformAction"); }
void LogChanging(RuntimeObject* self) { Log(self, "selectionChanging"); }
void LogChanged(RuntimeObject* self) { Log(self, "selectionChanged"); }

ObjectDefinition* ReceiverDefinition() {
  static ObjectDefinition* definition = [] {
    static const MethodRow methods[] = {
        Row("DataChanged", "", nullptr, 0, &LogDataChanged),
        Row("PerformAction", "", nullptr, 0, &LogPerformAction),
        Row("selectionChanging", "", nullptr, 0, &LogChanging),
        Row("selectionChanged", "", nullptr, 0, &LogChanged),
    };
    auto* d = new ObjectDefinition();
    d->mName = string("LoggingListReceiver");
    d->mInstanceSize = sizeof(LoggingReceiverObject);
    SetMethodList(d, methods, static_cast<int32_t>(std::size(methods)));
    d->AddInterface(GetDataNotificationReceiverInterfaceDefinition());
    d->AddInterface(GetActionNotificationReceiverInterfaceDefinition());
    d->AddInterface(GetListSelectionNotificationReceiverInterfaceDefinition());
    return d;
  }();
  return definition;
}

}  // namespace

RuntimeObject* NewFakeRowsProvider(int32_t rows, int32_t fields) {
  RuntimeObject* provider = CreateInstanceFromDefinition(ProviderDefinition());
  AsFakeRowsProvider(provider)->rows = rows;
  AsFakeRowsProvider(provider)->fields = fields;
  return provider;
}

FakeRowsProviderObject* AsFakeRowsProvider(RuntimeObject* object) {
  return reinterpret_cast<FakeRowsProviderObject*>(object);
}

std::vector<int32_t>& RequestedProviderRows() {
  static std::vector<int32_t> rows;
  return rows;
}

RuntimeObject* NewLoggingReceiver(int32_t tag) {
  RuntimeObject* receiver = CreateInstanceFromDefinition(ReceiverDefinition());
  reinterpret_cast<LoggingReceiverObject*>(receiver)->tag = tag;
  return receiver;
}

std::vector<std::string>& ReceiverLog() {
  static std::vector<std::string> log;
  return log;
}

}  // namespace vorn::testing
