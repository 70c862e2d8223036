// The language's SerialPort class and the global functions that list the machine's ports.
#include <cstddef>
#include <string>

#include "net/serial_class.h"
#include "net/serial_io.h"
#include "net/serial_port_list.h"
#include "objects/exceptions.h"
#include "objects/runtime_class.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

constexpr int32_t kRatedSpeed = 115200;
constexpr int32_t kMaximumSpeed = 230400;

#define FIELD(name, type, getter, field) \
  {0, name, type, Fn(&getter), #getter, nullptr, nullptr, Offset(offsetof(VornSerialPortObject, field)), 0}

const PropertyRow kProperties[] = {
    FIELD("Name", "s", stringGetter, name),
    FIELD("InputDriverName", "s", stringGetter, inputDriverName),
    FIELD("OutputDriverName", "s", stringGetter, outputDriverName),
    FIELD("RatedSpeed", "i4", intGetter, ratedSpeed),
    FIELD("MaximumSpeed", "i4", intGetter, maximumSpeed),
};

#undef FIELD

// A new SerialPort describing the port at `path`.
RuntimeObject* NewSerialPort(const string& path) {
  RuntimeObject* object = CreateInstanceFromDefinition(GetSerialPortClassDefinition());
  VornSerialPortObject* port = SerialPortFields(object);
  if (!port) return object;
  ReplaceStringRep(port->name, path.Rep());
  ReplaceStringRep(port->inputDriverName, path.Rep());
  ReplaceStringRep(port->outputDriverName, path.Rep());
  port->ratedSpeed = kRatedSpeed;
  port->maximumSpeed = kMaximumSpeed;
  return object;
}

}  // namespace

ObjectDefinition* GetSerialPortClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("SerialPort");
    d->mInstanceSize = static_cast<int32_t>(sizeof(VornSerialPortObject));
    d->mFinalizer = {Fn(&SerialPortDestructor), "SerialPortDestructor"};
    d->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
    return d;
  }();
  return definition;
}

VornSerialPortObject* SerialPortFields(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetSerialPortClassDefinition())
             ? reinterpret_cast<VornSerialPortObject*>(object)
             : nullptr;
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void SerialPortDestructor(VornRuntimeObject* object) {
  VornSerialPortObject* port = SerialPortFields(object);
  if (!port) return;
  ReplaceStringRep(port->name, nullptr);
  ReplaceStringRep(port->inputDriverName, nullptr);
  ReplaceStringRep(port->outputDriverName, nullptr);
}

int32_t getSerialPortCount(VornRuntimeObject*, int32_t) { return GetSerialIO() ? CountSerialPorts() : 0; }

VornRuntimeObject* getSerialPort(VornRuntimeObject*, int32_t index) {
  if (!GetSerialIO()) return nullptr;
  if (index < 0 || index >= CountSerialPorts()) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  return NewSerialPort(string(SerialPortPath(index), kEncodingASCII));
}

VornRuntimeObject* getSerialPortByPath(VornRuntimeObject*, VornStringRecord* path) {
  if (!path) return nullptr;
  return NewSerialPort(string::Share(path));
}

}  // extern "C"
