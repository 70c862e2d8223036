#include "controls/support/binding_fakes.h"

#include <cstddef>

#include "controls/binding_interfaces.h"
#include "objects/exceptions.h"

namespace vorn::testing {

namespace {

FakeSourceObject* Source(RuntimeObject* self) { return reinterpret_cast<FakeSourceObject*>(self); }
FakeDestObject* Dest(RuntimeObject* self) { return reinterpret_cast<FakeDestObject*>(self); }

StringRep* SourceGetString(RuntimeObject* self) {
  RetainStringRep(Source(self)->text);
  return Source(self)->text;
}
uint8_t SourceGetBoolean(RuntimeObject* self) { return Source(self)->boolean; }
void SourceSetBoolean(RuntimeObject* self, uint8_t value) { Source(self)->boolean = value; }
uint8_t SourceDataAvailable(RuntimeObject* self) { return Source(self)->available; }
void SourceAddDNR(RuntimeObject* self, RuntimeObject* r) { AddNotificationReceiver(&Source(self)->receivers, r); }
void SourceRemoveDNR(RuntimeObject* self, RuntimeObject* r) { RemoveNotificationReceiver(&Source(self)->receivers, r); }
void SourceAddANR(RuntimeObject* self, RuntimeObject* r) { AddNotificationReceiver(&Source(self)->actionReceivers, r); }
void SourceRemoveANR(RuntimeObject* self, RuntimeObject* r) {
  RemoveNotificationReceiver(&Source(self)->actionReceivers, r);
}
void SourceDestructor(RuntimeObject* self) {
  RemoveAllNotificationReceivers(&Source(self)->receivers);
  RemoveAllNotificationReceivers(&Source(self)->actionReceivers);
  ReleaseStringRep(Source(self)->text);
}

void DestSetString(RuntimeObject* self, StringRep* text) {
  RetainStringRep(text);
  ReleaseStringRep(Dest(self)->text);
  Dest(self)->text = text;
  Dest(self)->setStringCalls++;
}
void DestBindList(RuntimeObject* self, RuntimeObject* data) {
  RuntimeLockObject(data);
  RuntimeUnlockObject(Dest(self)->boundList);
  Dest(self)->boundList = data;
}
void DestPerformAction(RuntimeObject* self) { Dest(self)->actions++; }
void DestDestructor(RuntimeObject* self) {
  ReleaseStringRep(Dest(self)->text);
  RuntimeUnlockObject(Dest(self)->boundList);
}

LogReceiverObject* Log(RuntimeObject* self) { return reinterpret_cast<LogReceiverObject*>(self); }
void LogEntry(RuntimeObject* self, const char* what) {
  ReceiverLog().push_back(std::to_string(Log(self)->tag) + "." + what);
}
void LogDataChanged(RuntimeObject* self) {
  LogEntry(self, "DataChanged");
  if (NotificationReceiverList* list = Log(self)->leaveOnChange) RemoveNotificationReceiver(list, self);
}
void LogPerformAction(RuntimeObject* self) { LogEntry(self, "PerformAction"); }
void LogReload(RuntimeObject* self) { LogEntry(self, "listDataReload"); }

struct ListProviderObject {
  RuntimeObject header;
  int32_t rows;
  int32_t fields;
};
struct TupleObject {
  RuntimeObject header;
  int32_t row;
  int32_t fields;
};

ObjectDefinition* GetTupleDefinition();

int32_t ProviderGetCount(RuntimeObject* self) { return reinterpret_cast<ListProviderObject*>(self)->rows; }
RuntimeObject* ProviderGetRow(RuntimeObject* self, int32_t row) {
  auto* provider = reinterpret_cast<ListProviderObject*>(self);
  if (row < 1 || row > provider->rows) return nullptr;
  RuntimeObject* tuple = CreateInstanceFromDefinition(GetTupleDefinition());
  reinterpret_cast<TupleObject*>(tuple)->row = row;
  reinterpret_cast<TupleObject*>(tuple)->fields = provider->fields;
  return tuple;
}
int32_t TupleFieldCount(RuntimeObject* self) { return reinterpret_cast<TupleObject*>(self)->fields; }
StringRep* TupleGetIndString(RuntimeObject* self, int32_t field) {
  std::string text = "r" + std::to_string(reinterpret_cast<TupleObject*>(self)->row) + "f" + std::to_string(field);
  return string(text, kEncodingUTF8).GetRetainedRep();
}

template <typename F>
MethodRow Row(const char* name, const char* result, F function) {
  return MethodRow{name, result, nullptr, 0, reinterpret_cast<void*>(function), nullptr, nullptr, nullptr, 0, 0};
}

const ParamRow kObjectParam[] = {{"receiver", "o<Object>", 0, 0}};
const ParamRow kStringParam[] = {{"Str", "s", 0, 0}};
const ParamRow kBoolParam[] = {{"value", "b", 0, 0}};
const ParamRow kIntParam[] = {{"v", "i4", 0, 0}};

template <typename F>
MethodRow Row1(const char* name, const char* result, const ParamRow* params, F function) {
  return MethodRow{name, result, params, 1, reinterpret_cast<void*>(function), nullptr, nullptr, nullptr, 0, 0};
}

ObjectDefinition* GetTupleDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {Row("FieldCount", "i4", &TupleFieldCount),
                                        Row1("getIndString", "s", kIntParam, &TupleGetIndString)};
    definition.mName = string("FakeTuple");
    definition.mInstanceSize = sizeof(TupleObject);
    SetMethodList(&definition, methods, 2);
    definition.AddInterface(GetTupleInterfaceDefinition());
  }
  return &definition;
}

}  // namespace

std::vector<std::string>& ReceiverLog() {
  static std::vector<std::string> log;
  return log;
}

std::string TextOf(StringRep* rep) { return std::string(RepText(rep)); }

ObjectDefinition* GetFakeSourceDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {
        Row("getString", "s", &SourceGetString),
        Row("getBoolean", "b", &SourceGetBoolean),
        Row1("setBoolean", "", kBoolParam, &SourceSetBoolean),
        Row("dataAvailable", "b", &SourceDataAvailable),
        Row1("addDataNotificationReceiver", "", kObjectParam, &SourceAddDNR),
        Row1("removeDataNotificationReceiver", "", kObjectParam, &SourceRemoveDNR),
        Row1("addActionNotificationReceiver", "", kObjectParam, &SourceAddANR),
        Row1("removeActionNotificationReceiver", "", kObjectParam, &SourceRemoveANR),
    };
    definition.mName = string("FakeSource");
    definition.mInstanceSize = sizeof(FakeSourceObject);
    definition.mFinalizer = {reinterpret_cast<void*>(&SourceDestructor), nullptr};
    SetMethodList(&definition, methods, 8);
    definition.AddInterface(GetStringProviderInterfaceDefinition());
    definition.AddInterface(GetBooleanProviderInterfaceDefinition());
    definition.AddInterface(GetDataAvailableProviderInterfaceDefinition());
    definition.AddInterface(GetDataNotifierInterfaceDefinition());
    definition.AddInterface(GetActionSourceInterfaceDefinition());
  }
  return &definition;
}

ObjectDefinition* GetPlainTextSourceDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {Row("getString", "s", &SourceGetString)};
    definition.mName = string("PlainTextSource");
    definition.mInstanceSize = sizeof(FakeSourceObject);
    definition.mFinalizer = {reinterpret_cast<void*>(&SourceDestructor), nullptr};
    SetMethodList(&definition, methods, 1);
    definition.AddInterface(GetStringProviderInterfaceDefinition());
  }
  return &definition;
}

ObjectDefinition* GetFakeControlDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const PropertyRow properties[] = {{0, "Enabled", "b", DirectFieldMarker(), nullptr, DirectFieldMarker(),
                                              nullptr, static_cast<int32_t>(offsetof(FakeDestObject, enabled)), 0}};
    static const MethodRow methods[] = {
        Row1("setString", "", kStringParam, &DestSetString),
        Row1("BindList", "", kObjectParam, &DestBindList),
        Row("PerformAction", "", &DestPerformAction),
    };
    definition.mName = string("Control");
    definition.mInstanceSize = sizeof(FakeDestObject);
    definition.mFinalizer = {reinterpret_cast<void*>(&DestDestructor), nullptr};
    definition.SetInstanceVariables(BuildPropertyList(properties, 1));
    SetMethodList(&definition, methods, 3);
    definition.AddInterface(GetStringInterfaceDefinition());
    definition.AddInterface(GetListInterfaceDefinition());
    definition.AddInterface(GetActionNotificationReceiverInterfaceDefinition());
  }
  return &definition;
}

ObjectDefinition* GetLogReceiverDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {
        Row("DataChanged", "", &LogDataChanged),
        Row("PerformAction", "", &LogPerformAction),
        Row("listDataReload", "", &LogReload),
    };
    definition.mName = string("LogReceiver");
    definition.mInstanceSize = sizeof(LogReceiverObject);
    SetMethodList(&definition, methods, 3);
    definition.AddInterface(GetDataNotificationReceiverInterfaceDefinition());
    definition.AddInterface(GetActionNotificationReceiverInterfaceDefinition());
    definition.AddInterface(GetListDataNotificationReceiverInterfaceDefinition());
  }
  return &definition;
}

ObjectDefinition* GetFakeListProviderDefinition() {
  static ObjectDefinition definition;
  if (definition.mName.IsEmpty()) {
    static const MethodRow methods[] = {Row("GetCount", "i4", &ProviderGetCount),
                                        Row1("GetRow", "o<tupleInterface>", kIntParam, &ProviderGetRow)};
    definition.mName = string("FakeListProvider");
    definition.mInstanceSize = sizeof(ListProviderObject);
    SetMethodList(&definition, methods, 2);
    definition.AddInterface(GetListDataProviderInterfaceDefinition());
  }
  return &definition;
}

RuntimeObject* NewFakeSource(const char* text, bool boolean, bool available) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetFakeSourceDefinition());
  Source(object)->text = string(text).GetRetainedRep();
  Source(object)->boolean = boolean;
  Source(object)->available = available;
  return object;
}

RuntimeObject* NewFakeControl() {
  RuntimeObject* object = CreateInstanceFromDefinition(GetFakeControlDefinition());
  Dest(object)->enabled = 1;
  return object;
}

RuntimeObject* NewLogReceiver(int32_t tag) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetLogReceiverDefinition());
  Log(object)->tag = tag;
  return object;
}

RuntimeObject* NewFakeListProvider(int32_t rows, int32_t fields) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetFakeListProviderDefinition());
  reinterpret_cast<ListProviderObject*>(object)->rows = rows;
  reinterpret_cast<ListProviderObject*>(object)->fields = fields;
  return object;
}

void BindingTest::SetUp() {
  ReceiverLog().clear();
  mBaseline = LiveObjectCount();
}

void BindingTest::TearDown() {
  EXPECT_EQ(PendingException(), nullptr);
  EXPECT_EQ(LiveObjectCount(), mBaseline) << "objects left alive";
}

}  // namespace vorn::testing
