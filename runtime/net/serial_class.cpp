// The language's Serial class: its definition, its events and its entry points.
#include "net/serial_class.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <type_traits>

#include "base/core_assert.h"
#include "files/stream_support.h"
#include "net/serial_control.h"
#include "net/socket_core.h"
#include "objects/class_registry.h"
#include "objects/event_dispatch.h"
#include "objects/text_encoding_object.h"
#include "strings/int_map.h"
#include "strings/runtime_error.h"

namespace vorn {
namespace {

void* Fn(auto function) { return reinterpret_cast<void*>(function); }
constexpr int32_t Offset(size_t offset) { return static_cast<int32_t>(offset); }

constexpr const char* kClassSource = "../Common/runSerial";
constexpr const char* kPortSource = "../Common/SerialPosix";

const ConstantRow kConstants[] = {
    {"Baud300", "0"},       {"Baud600", "1"},       {"Baud1200", "2"},     {"Baud1800", "3"},
    {"Baud2400", "4"},      {"Baud3600", "5"},      {"Baud4800", "6"},     {"Baud7200", "7"},
    {"Baud9600", "8"},      {"Baud14400", "9"},     {"Baud19200", "10"},   {"Baud28800", "11"},
    {"Baud38400", "12"},    {"Baud57600", "13"},    {"Baud115200", "14"},  {"Baud230400", "15"},
    {"ParityNone", "0"},    {"ParityOdd", "1"},     {"ParityEven", "2"},   {"StopBits1", "0"},
    {"StopBits15", "1"},    {"StopBits2", "2"},     {"Bits5", "0"},        {"Bits6", "1"},
    {"Bits7", "2"},         {"Bits8", "3"},         {"NoError", "0"},      {"AccessDenied", "100"},
    {"PortNotFound", "101"}, {"InvalidOptions", "102"}, {"DTR", "1"},      {"RTS", "2"},
    {"CTS", "4"},           {"DCD", "8"},           {"RI", "16"},          {"DSR", "32"},
};

#define FIELD(name, type, getter, setter, field)                                                     \
  {0, name, type, Fn(&getter), #getter, Fn(&setter), #setter, Offset(offsetof(VornSerialObject, field)), 0}
#define LINE(name, line) {0, name, "b", Fn(&LineStateGetter), "LineStateGetter", nullptr, nullptr, line, 0}
#define GETTER(name, function) {0, name, "i4", Fn(&function), #function, nullptr, nullptr, 0, 0}

const PropertyRow kProperties[] = {
    FIELD("Baud", "i4", intGetter, intSetter, baud),
    FIELD("Bits", "i4", shortGetter, shortSetter, bits),
    FIELD("Stop", "i4", shortGetter, shortSetter, stop),
    FIELD("Parity", "i4", shortGetter, shortSetter, parity),
    FIELD("Port", "i4", shortGetter, shortSetter, port),
    FIELD("XON", "b", boolGetter, boolSetter, xonFlowControl),
    FIELD("DTR", "b", boolGetter, boolSetter, dtrFlowControl),
    FIELD("CTS", "b", boolGetter, boolSetter, ctsFlowControl),
    {0, "DataTerminalReady", "b", Fn(&LineStateGetter), "LineStateGetter", Fn(&LineStateSetter), "LineStateSetter", 0, 0},
    {0, "RequestToSend", "b", Fn(&LineStateGetter), "LineStateGetter", Fn(&LineStateSetter), "LineStateSetter", 1, 0},
    LINE("ClearToSend", 2),
    LINE("DataCarrierDetect", 3),
    LINE("RingIndicator", 4),
    LINE("DataSetReady", 5),
    FIELD("SerialPort", "o<SerialPort>", objGetter, objSetter, serialPort),
    GETTER("Win32DriverHandle", GetWin32DriverHandle),
    GETTER("MacInDriverRefNum", GetMacInputDriverRef),
    GETTER("MacOutDriverRefNum", GetMacOutputDriverRef),
    GETTER("PosixDescriptor", GetPosixDescriptor),
    {0, "LastErrorCode", "i4", Fn(&intGetter), "intGetter", nullptr, nullptr,
     Offset(offsetof(VornSerialObject, lastErrorCode)), 0},
    GETTER("BytesAvailable", SerialBytesAvailable),
    GETTER("BytesLeftToSend", SerialBytesLeftToSend),
};

#undef GETTER
#undef LINE
#undef FIELD

#define METHOD(name, result, params, count, function) \
  {name, result, params, count, Fn(&function), #function, nullptr, nullptr, 0, 0}

const ParamRow kEncodingParam[] = {{"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kReadParams[] = {{"byteCount", "i4", 0, 0}, {"encoding", "o<TextEncoding>", kParamHasDefault, 0}};
const ParamRow kTextParam[] = {{"text", "s", 0, 0}};
const ParamRow kLinesParam[] = {{"linesToWatch", "A1i4", 0, 0}};

const MethodRow kMethods[] = {
    METHOD("Open", "b", nullptr, 0, serialOpen),
    METHOD("Close", "", nullptr, 0, serialClose),
    METHOD("Write", "", kTextParam, 1, serialWrite),
    METHOD("Read", "s", kReadParams, 2, serialRead),
    METHOD("ReadAll", "s", kEncodingParam, 1, serialReadAll),
    METHOD("LookAhead", "s", kEncodingParam, 1, serialLookahead),
    METHOD("XmitWait", "", nullptr, 0, serialXmitWait),
    METHOD("Flush", "", nullptr, 0, serialFlush),
    METHOD("Poll", "", nullptr, 0, serialTick),
    METHOD("Reset", "", nullptr, 0, serialReset),
    METHOD("LeaveDTROnClose", "", nullptr, 0, serialLeaveDTROnClose),
    METHOD("SetBreak", "", nullptr, 0, serialSetBreak),
    METHOD("ClearBreak", "", nullptr, 0, serialClearBreak),
    METHOD("EOF", "b", nullptr, 0, SerialEof),
    METHOD("ReadError", "b", nullptr, 0, SerialError),
    METHOD("WriteError", "b", nullptr, 0, SerialError),
    METHOD("LineChangeNotification", "", kLinesParam, 1, SerialWatchLines),
};

#undef METHOD

EventRow sEvents[] = {
    {0, "DataAvailable", "", "", nullptr, 0},
    {0, "Error", "", "", nullptr, 0},
    {0, "LineStateChanged", "changedLines() As Integer", "", nullptr, 0},
};

VornSerialObject* Checked(RuntimeObject* object, const char* source, int32_t line) {
  VornSerialObject* serial = SerialFields(object);
  if (!serial) ReportCoreAssertion(source, line, "ctl");
  return serial;
}

// Runs `operation` on the Serial object, held so that an event handler releasing it cannot
// free it under the operation; zero for anything else, which is reported.
template <typename F>
auto WithSerial(RuntimeObject* object, const char* source, int32_t line, F&& operation) {
  using Result = std::invoke_result_t<F, VornSerialObject*>;
  VornSerialObject* serial = Checked(object, source, line);
  if (!serial) return Result();
  SerialHold hold(serial);
  return operation(serial);
}

// Removes and answers up to `count` bytes from the front of the input buffer.
std::string TakeInput(VornSerialObject* serial, size_t count) {
  std::string_view input = SerialBufferBytes(serial->inputBuffer);
  std::string taken(input.substr(0, std::min(count, input.size())));
  StoreSerialBuffer(serial->inputBuffer, input.substr(taken.size()));
  return taken;
}

VornStringRecord* HandOut(const std::string& bytes, RuntimeObject* encoding) {
  return HandOutBytes(bytes, GetEncodingFromTEObject(encoding));
}

}  // namespace

ObjectDefinition* GetSerialClassDefinition() {
  static ObjectDefinition* definition = [] {
    auto* d = new ObjectDefinition();
    d->mName = string("Serial");
    d->mInstanceSize = static_cast<int32_t>(sizeof(VornSerialObject));
    d->mInitializer = {Fn(&RuntimeSerialInitializer), "RuntimeSerialInitializer"};
    d->mFinalizer = {Fn(&RuntimeSerialFinalizer), "RuntimeSerialFinalizer"};
    BeginClassDefinition(d, kConstants, RowCount(kConstants));
    d->SetInstanceVariables(BuildPropertyList(kProperties, RowCount(kProperties)));
    SetMethodList(d, kMethods, RowCount(kMethods));
    SetEventList(d, sEvents, RowCount(sEvents));
    return d;
  }();
  return definition;
}

void RegisterSerialClasses() {
  RegisterIntrinsicClass("Serial", &GetSerialClassDefinition);
  RegisterIntrinsicClass("SerialPort", &GetSerialPortClassDefinition);
}

VornSerialObject* SerialFields(RuntimeObject* object) {
  return object && RuntimeObjectIsaDefinition(object, GetSerialClassDefinition())
             ? reinterpret_cast<VornSerialObject*>(object)
             : nullptr;
}

void FireSerialDataAvailable(VornSerialObject* serial) { FireEvent(&serial->header, sEvents[0].hook); }

void FireSerialError(VornSerialObject* serial, int32_t code) {
  serial->lastErrorCode = code;
  FireEvent(&serial->header, sEvents[1].hook);
}

void FireSerialLineStateChanged(VornSerialObject* serial, VornArray* changedLines) {
  FireEvent<void, VornArray*>(&serial->header, sEvents[2].hook, changedLines);
}

}  // namespace vorn

using namespace vorn;

extern "C" {

void RuntimeSerialInitializer(VornRuntimeObject* object) {
  VornSerialObject* serial = SerialFields(object);
  if (!serial) return;
  // The socket layer's run-loop hook polls the serial ports too.
  InitSocketLayer();
  serial->bits = 3;
  serial->baud = 13;
  serial->requestToSend = 1;
  serial->descriptor = -1;
  serial->lineStates = new IntMap<bool>();
  LinkSerial(serial);
}

void RuntimeSerialFinalizer(VornRuntimeObject* object) {
  VornSerialObject* serial = SerialFields(object);
  if (!serial) return;
  CloseSerial(serial);
  UnlinkSerial(serial);
  RuntimeUnlockObject(serial->serialPort);
  serial->serialPort = nullptr;
  delete static_cast<IntMap<bool>*>(serial->lineStates);
  serial->lineStates = nullptr;
  StoreSerialBuffer(serial->outputBuffer, {});
  StoreSerialBuffer(serial->inputBuffer, {});
}

uint8_t serialOpen(VornRuntimeObject* object) {
  return WithSerial(object, kPortSource, __LINE__,
                    [](VornSerialObject* serial) -> uint8_t { return OpenSerial(serial) ? 1 : 0; });
}

void serialClose(VornRuntimeObject* object) {
  if (VornSerialObject* serial = Checked(object, kPortSource, __LINE__)) CloseSerial(serial);
}

void serialWrite(VornRuntimeObject* object, VornStringRecord* text) {
  VornSerialObject* serial = SerialFields(object);
  if (!serial) {
    ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kClassSource, __LINE__, "ctl",
                       "Have no serial control, so cannot write");
    return;
  }
  SerialHold hold(serial);
  WriteSerial(serial, SerialBufferBytes(text));
}

VornStringRecord* serialRead(VornRuntimeObject* object, int32_t byteCount, VornRuntimeObject* encoding) {
  return WithSerial(object, kClassSource, __LINE__, [&](VornSerialObject* serial) {
    SerialTransferPass(serial);
    return HandOut(TakeInput(serial, byteCount > 0 ? static_cast<size_t>(byteCount) : 0), encoding);
  });
}

VornStringRecord* serialReadAll(VornRuntimeObject* object, VornRuntimeObject* encoding) {
  return WithSerial(object, kClassSource, __LINE__, [&](VornSerialObject* serial) {
    SerialTransferPass(serial);
    serial->dataArrived = 0;
    return HandOut(TakeInput(serial, SerialBufferBytes(serial->inputBuffer).size()), encoding);
  });
}

VornStringRecord* serialLookahead(VornRuntimeObject* object, VornRuntimeObject* encoding) {
  VornSerialObject* serial = Checked(object, kClassSource, __LINE__);
  return serial ? HandOut(std::string(SerialBufferBytes(serial->inputBuffer)), encoding) : nullptr;
}

void serialXmitWait(VornRuntimeObject* object) {
  WithSerial(object, kPortSource, __LINE__, [](VornSerialObject* serial) { XmitWaitSerial(serial); });
}

void serialFlush(VornRuntimeObject* object) {
  WithSerial(object, kPortSource, __LINE__, [](VornSerialObject* serial) {
    StoreSerialBuffer(serial->inputBuffer, {});
    XmitWaitSerial(serial);
    StoreSerialBuffer(serial->outputBuffer, {});
  });
}

void serialTick(VornRuntimeObject* object) {
  WithSerial(object, kPortSource, __LINE__, [](VornSerialObject* serial) { SerialTransferPass(serial); });
}

void serialReset(VornRuntimeObject* object) {
  WithSerial(object, kPortSource, __LINE__, [](VornSerialObject* serial) { ResetSerial(serial); });
}

void serialLeaveDTROnClose(VornRuntimeObject* object) {
  WithSerial(object, kPortSource, __LINE__, [](VornSerialObject* serial) {
    serial->leaveDTROnClose = 1;
    ResetSerial(serial);
  });
}

void serialSetBreak(VornRuntimeObject* object) {
  if (VornSerialObject* serial = Checked(object, kClassSource, __LINE__)) serial->breakOn = 1;
}

void serialClearBreak(VornRuntimeObject* object) {
  if (VornSerialObject* serial = Checked(object, kClassSource, __LINE__)) serial->breakOn = 0;
}

uint8_t SerialEof(VornRuntimeObject* object) {
  VornSerialObject* serial = Checked(object, kClassSource, __LINE__);
  return serial && SerialBufferBytes(serial->outputBuffer).empty() ? 1 : 0;
}

uint8_t SerialError(VornRuntimeObject* object) {
  VornSerialObject* serial = Checked(object, kClassSource, __LINE__);
  return serial && serial->lastErrorCode != 0 ? 1 : 0;
}

void SerialWatchLines(VornRuntimeObject* object, VornArray* linesToWatch) {
  if (VornSerialObject* serial = Checked(object, kClassSource, __LINE__)) WatchSerialLines(serial, linesToWatch);
}

uint8_t LineStateGetter(VornRuntimeObject* object, int32_t line) {
  VornSerialObject* serial = Checked(object, kClassSource, __LINE__);
  return serial && SerialLineLevel(serial, line) ? 1 : 0;
}

void LineStateSetter(VornRuntimeObject* object, int32_t line, uint8_t level) {
  VornSerialObject* serial = Checked(object, kClassSource, __LINE__);
  if (!serial) return;
  if (line == 0) serial->dataTerminalReady = level ? 1 : 0;
  if (line == 1) serial->requestToSend = level ? 1 : 0;
}

int32_t GetWin32DriverHandle(VornRuntimeObject*, int32_t) { return 0; }
int32_t GetMacInputDriverRef(VornRuntimeObject*, int32_t) { return 0; }
int32_t GetMacOutputDriverRef(VornRuntimeObject*, int32_t) { return 0; }
int32_t GetPosixDescriptor(VornRuntimeObject*, int32_t) { return 0; }

int32_t SerialBytesAvailable(VornRuntimeObject* object, int32_t) {
  VornSerialObject* serial = Checked(object, kClassSource, __LINE__);
  return serial ? static_cast<int32_t>(SerialBufferBytes(serial->inputBuffer).size()) : 0;
}

int32_t SerialBytesLeftToSend(VornRuntimeObject* object, int32_t) {
  VornSerialObject* serial = Checked(object, kClassSource, __LINE__);
  return serial ? static_cast<int32_t>(SerialBufferBytes(serial->outputBuffer).size()) : 0;
}

}  // extern "C"
