#include "net/serial_class.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstddef>
#include <string>

#include "core/support/core_object_test.h"
#include "net/serial_control.h"
#include "net/serial_port_list.h"
#include "net/support/fake_serial_io.h"
#include "objects/arrays.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "support/class_test.h"

namespace vorn {
namespace {

using testing::CoreObjectTest;
using testing::FakeSerialIO;

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

std::string& Log() { return CoreObjectTest::Log(); }

VornSerialObject* Fields(RuntimeObject* object) { return reinterpret_cast<VornSerialObject*>(object); }

void OnDataAvailable(RuntimeObject*) { Log() += "DataAvailable;"; }
void OnError(RuntimeObject* self) { Log() += "Error(" + std::to_string(Fields(self)->lastErrorCode) + ");"; }
void OnLineStateChanged(RuntimeObject*, VornArray* changed) {
  Log() += "LineStateChanged(";
  for (int32_t i = 0; i <= RuntimeUBound(changed); ++i)
    Log() += (i ? "," : "") + std::to_string(ArrayGetInteger(changed, i));
  Log() += ");";
}

RuntimeClass* LoggingSerial() {
  return testing::MakeSubclass("LoggingSerial", "Serial", sizeof(VornSerialObject),
                               {{"#DataAvailable%%o<LoggingSerial>", Fn(&OnDataAvailable), nullptr, 0},
                                {"#Error%%o<LoggingSerial>", Fn(&OnError), nullptr, 0},
                                {"#LineStateChanged%%o<LoggingSerial>A1i4", Fn(&OnLineStateChanged), nullptr, 0}});
}

std::string Take(VornStringRecord* record) { return std::string(string::Adopt(record).View()); }

class SerialClassTest : public CoreObjectTest {
 protected:
  void SetUp() override {
    CoreObjectTest::SetUp();
    mPrevious = SetSerialIO(&io);
    SetSerialPortPathPrefix("/fake/port");
  }
  void TearDown() override {
    if (mSerial) RuntimeUnlockObject(mSerial);
    SetSerialIO(mPrevious);
    SetSerialPortPathPrefix("");
    CoreObjectTest::TearDown();
  }

  // A logging Serial object released when the test ends.
  RuntimeObject* Serial() {
    if (!mSerial) mSerial = RuntimeNewObject(LoggingSerial());
    return mSerial;
  }
  RuntimeObject* OpenSerial() {
    RuntimeObject* serial = Serial();
    EXPECT_TRUE(serialOpen(serial));
    Log().clear();
    return serial;
  }
  static void Write(RuntimeObject* serial, const char* text) { serialWrite(serial, string(text).Rep()); }
  static VornArray* Lines(std::initializer_list<int32_t> codes) {
    VornArray* array = CreateArray(kVornArrayInteger, 1, static_cast<int32_t>(codes.size()) - 1);
    int32_t i = 0;
    for (int32_t code : codes) ArraySetInteger(array, i++, code);
    return array;
  }
  void Watch(RuntimeObject* serial, std::initializer_list<int32_t> codes) {
    VornArray* array = Lines(codes);
    SerialWatchLines(serial, array);
    RuntimeUnlockArray(array);
  }

  FakeSerialIO io;
  RuntimeObject* mSerial = nullptr;

 private:
  SerialIO* mPrevious = nullptr;
};

TEST_F(SerialClassTest, TheClassesAreRegisteredAndTheirEntryPointsBound) {
  EXPECT_NE(LookupIntrinsicClass(string("Serial")), nullptr);
  EXPECT_NE(LookupIntrinsicClass(string("SerialPort")), nullptr);
  test::ExpectEntryPointsBound({
      {"RuntimeSerialInitializer", Fn(&RuntimeSerialInitializer)},
      {"RuntimeSerialFinalizer", Fn(&RuntimeSerialFinalizer)},
      {"serialOpen", Fn(&serialOpen)},
      {"serialClose", Fn(&serialClose)},
      {"serialWrite", Fn(&serialWrite)},
      {"serialRead", Fn(&serialRead)},
      {"serialReadAll", Fn(&serialReadAll)},
      {"serialXmitWait", Fn(&serialXmitWait)},
      {"serialFlush", Fn(&serialFlush)},
      {"serialTick", Fn(&serialTick)},
      {"serialReset", Fn(&serialReset)},
      {"serialLeaveDTROnClose", Fn(&serialLeaveDTROnClose)},
      {"serialLookahead", Fn(&serialLookahead)},
      {"serialSetBreak", Fn(&serialSetBreak)},
      {"serialClearBreak", Fn(&serialClearBreak)},
      {"SerialEof", Fn(&SerialEof)},
      {"SerialError", Fn(&SerialError)},
      {"SerialWatchLines", Fn(&SerialWatchLines)},
      {"LineStateGetter", Fn(&LineStateGetter)},
      {"LineStateSetter", Fn(&LineStateSetter)},
      {"GetWin32DriverHandle", Fn(&GetWin32DriverHandle)},
      {"GetMacInputDriverRef", Fn(&GetMacInputDriverRef)},
      {"GetMacOutputDriverRef", Fn(&GetMacOutputDriverRef)},
      {"GetPosixDescriptor", Fn(&GetPosixDescriptor)},
      {"SerialBytesAvailable", Fn(&SerialBytesAvailable)},
      {"SerialBytesLeftToSend", Fn(&SerialBytesLeftToSend)},
      {"SerialPortDestructor", Fn(&SerialPortDestructor)},
      {"getSerialPort", Fn(&getSerialPort)},
      {"getSerialPortByPath", Fn(&getSerialPortByPath)},
      {"getSerialPortCount", Fn(&getSerialPortCount)},
  });
}

TEST_F(SerialClassTest, OpenConfiguresThePortFromTheProperties) {
  RuntimeObject* serial = Serial();
  VornSerialObject* fields = Fields(serial);
  EXPECT_EQ(fields->bits, 3);
  EXPECT_EQ(fields->baud, 13);
  EXPECT_TRUE(fields->requestToSend);
  EXPECT_FALSE(fields->isOpen);
  fields->port = 2;
  fields->parity = 2;
  fields->baud = 8;
  io.modem = TIOCM_DTR | TIOCM_CTS;
  io.attributes.c_cflag = CS7 | CSTOPB;
  const termios before = io.attributes;

  ASSERT_TRUE(serialOpen(serial));
  EXPECT_EQ(io.opened, std::vector<std::string>{"/fake/port2"});
  ASSERT_EQ(io.applied.size(), 1u);
  const termios& t = io.applied[0];
  EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CSTOPB), tcflag_t(PARENB));
  EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
  EXPECT_EQ(io.modem, TIOCM_RTS | TIOCM_CTS) << "DTR dropped, RTS raised, other bits kept";
  EXPECT_EQ(fields->baud, 8) << "the speed read back keeps its Baud constant";
  EXPECT_EQ(Log(), "");

  EXPECT_TRUE(serialOpen(serial));
  EXPECT_EQ(io.opened.size(), 1u) << "an open port is not opened again";
  serialReset(serial);
  EXPECT_EQ(cfgetospeed(&io.applied.back()), speed_t(B9600)) << "a second Reset runs at the same speed";

  serialClose(serial);
  EXPECT_FALSE(fields->isOpen);
  EXPECT_EQ(io.closes, 1);
  EXPECT_EQ(io.attributes.c_cflag, before.c_cflag | HUPCL) << "the saved settings come back, hanging up on close";
}

TEST_F(SerialClassTest, ASerialPortObjectNamesTheDevice) {
  RuntimeObject* serial = Serial();
  RuntimeObject* port = getSerialPortByPath(nullptr, string("/dev/ttyUSB7").Rep());
  objSetter(serial, static_cast<int32_t>(offsetof(VornSerialObject, serialPort)), port);
  RuntimeUnlockObject(port);
  ASSERT_TRUE(serialOpen(serial));
  EXPECT_EQ(io.opened, std::vector<std::string>{"/dev/ttyUSB7"});
}

TEST_F(SerialClassTest, OpenFailuresFireErrorWithTheirCodes) {
  RuntimeObject* serial = Serial();
  for (auto [err, code] : {std::pair{EACCES, 100}, {EBUSY, 100}, {EIO, 101}, {ENOENT, ENOENT}}) {
    io.openErrno = err;
    EXPECT_FALSE(serialOpen(serial));
    EXPECT_EQ(intGetter(serial, static_cast<int32_t>(offsetof(VornSerialObject, lastErrorCode))), code);
    EXPECT_TRUE(SerialError(serial));
  }
  EXPECT_EQ(Log(), "Error(100);Error(100);Error(101);Error(2);");
}

TEST_F(SerialClassTest, AnIllegalCombinationRaisesAndAppliesNothing) {
  RuntimeObject* serial = OpenSerial();
  size_t applied = io.applied.size();
  VornSerialObject* fields = Fields(serial);
  fields->bits = 0;
  fields->stop = 2;
  serialReset(serial);
  RuntimeObject* exception = TakePendingException();
  ASSERT_NE(exception, nullptr);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(exception, GetUnsupportedFormatExceptionClassDefinition()));
  EXPECT_EQ(ExceptionMessage(exception).View(),
            "Illegal combination of properties.  You cannot have 5 bits with 2 stop bits.");
  RuntimeUnlockObject(exception);
  EXPECT_EQ(io.applied.size(), applied);

  fields->bits = 3;
  fields->stop = 0;
  fields->baud = 100;  // no speed of this system
  serialReset(serial);
  EXPECT_EQ(io.applied.size(), applied);
  EXPECT_EQ(Log(), "Error(102);");
}

TEST_F(SerialClassTest, ResetFailuresStopAtTheFailingStep) {
  RuntimeObject* serial = OpenSerial();
  io.modemErrno = ENOTTY;
  serialReset(serial);
  EXPECT_EQ(Log(), "Error(25);");
  io.setErrno = EINVAL;
  serialReset(serial);
  EXPECT_EQ(Log(), "Error(25);Error(102);");
}

TEST_F(SerialClassTest, WritingReadingAndTheBuffers) {
  RuntimeObject* serial = Serial();
  io.writeLimit = 3;
  Write(serial, "hello");  // opens the port
  EXPECT_TRUE(Fields(serial)->isOpen);
  EXPECT_EQ(io.written, "hel");
  EXPECT_EQ(SerialBytesLeftToSend(serial, 0), 2);
  io.incoming = "abcdef";
  EXPECT_FALSE(SerialEof(serial)) << "output is still waiting, whatever the input holds";
  io.writeInterruptions = io.readInterruptions = 2;  // a signal that interrupts a call loses nothing
  serialTick(serial);
  EXPECT_EQ(io.written, "hello");
  EXPECT_TRUE(SerialEof(serial));
  EXPECT_EQ(Log(), "DataAvailable;");
  EXPECT_EQ(SerialBytesAvailable(serial, 0), 6);
  EXPECT_EQ(Take(serialLookahead(serial, nullptr)), "abcdef");
  EXPECT_EQ(Take(serialRead(serial, 2, nullptr)), "ab");
  EXPECT_EQ(Take(serialRead(serial, -4, nullptr)), "");
  EXPECT_EQ(Take(serialRead(serial, 100, nullptr)), "cdef") << "fewer bytes than asked: all of them";
  EXPECT_EQ(SerialBytesAvailable(serial, 0), 0);
  io.incoming = "xyz";
  EXPECT_EQ(Take(serialReadAll(serial, nullptr)), "xyz");
  EXPECT_EQ(Log(), "DataAvailable;DataAvailable;") << "Read runs a pass first";

  io.writeErrno = EAGAIN;
  Write(serial, "later");
  serialTick(serial);
  EXPECT_EQ(Log(), "DataAvailable;DataAvailable;") << "a full port is no error";
  io.writeErrno = EIO;
  serialTick(serial);
  EXPECT_EQ(SerialBytesLeftToSend(serial, 0), 5);
  io.readErrno = EIO;
  io.incoming = "q";
  io.writeErrno = 0;
  io.writeLimit = 100;
  serialTick(serial);
  EXPECT_EQ(Log(), "DataAvailable;DataAvailable;Error(101);Error(101);");

  serialClose(serial);
  EXPECT_EQ(SerialBytesLeftToSend(serial, 0), 0) << "the last pass sent the rest";
}

TEST_F(SerialClassTest, AWriteThatCannotOpenThePortKeepsItsText) {
  RuntimeObject* serial = Serial();
  io.openErrno = ENOENT;
  Write(serial, "queued");
  EXPECT_EQ(Log(), "Error(2);") << "one failure, not a second one from writing to no port";
  EXPECT_EQ(SerialBytesLeftToSend(serial, 0), 6);
  io.openErrno = 0;
  ASSERT_TRUE(serialOpen(serial));
  serialTick(serial);
  EXPECT_EQ(io.written, "queued");
}

TEST_F(SerialClassTest, CloseEmptiesTheInputAndKeepsTheOutput) {
  RuntimeObject* serial = OpenSerial();
  io.writeLimit = 0;
  io.incoming = "in";
  Write(serial, "out");
  serialTick(serial);
  serialClose(serial);
  EXPECT_EQ(SerialBytesAvailable(serial, 0), 0);
  EXPECT_EQ(SerialBytesLeftToSend(serial, 0), 3);
  serialTick(serial);
  serialXmitWait(serial);
  EXPECT_EQ(io.written, "") << "a closed port transfers nothing";
  EXPECT_EQ(io.drains, 0);
  EXPECT_EQ(Log(), "DataAvailable;") << "and reports no failure for the port it does not have";
}

TEST_F(SerialClassTest, WatchedLinesFireOneEventPerPassLowerLineFirst) {
  RuntimeObject* serial = OpenSerial();
  io.modem = TIOCM_RTS;
  Watch(serial, {kVornSerialLineDSR | kVornSerialLineCTS, kVornSerialLineDCD});
  serialTick(serial);
  EXPECT_EQ(Log(), "") << "levels are noted when watching starts";
  io.modem = TIOCM_RTS | TIOCM_DSR | TIOCM_CTS | TIOCM_RNG;
  serialTick(serial);
  EXPECT_EQ(Log(), "LineStateChanged(4,32);") << "RI is not watched";
  serialTick(serial);
  io.modem = TIOCM_CAR | TIOCM_DSR;
  serialTick(serial);
  EXPECT_EQ(Log(), "LineStateChanged(4,32);LineStateChanged(4,8);");

  Watch(serial, {kVornSerialLineCTS, -1, kVornSerialLineDSR});
  EXPECT_EQ(Fields(serial)->watchedLines, 0u) << "-1 clears the mask and ends the list";
  io.modem = 0;
  serialTick(serial);
  SerialWatchLines(serial, nullptr);
  serialTick(serial);
  EXPECT_EQ(Log(), "LineStateChanged(4,32);LineStateChanged(4,8);");
}

TEST_F(SerialClassTest, LineStatesAnswerBooleansAndOnlyDTRAndRTSCanBeRequested) {
  RuntimeObject* serial = Serial();
  io.modem = TIOCM_DSR | TIOCM_RNG;
  EXPECT_EQ(LineStateGetter(serial, 5), 0) << "closed";
  OpenSerial();
  EXPECT_EQ(LineStateGetter(serial, 5), 1) << "DSR is bit 0x100, beyond a Boolean's byte";
  EXPECT_EQ(LineStateGetter(serial, 4), 1);
  EXPECT_EQ(LineStateGetter(serial, 3), 0);
  EXPECT_EQ(LineStateGetter(serial, 6), 0);
  EXPECT_EQ(LineStateGetter(serial, -1), 0);
  io.modemErrno = EINVAL;
  EXPECT_EQ(LineStateGetter(serial, 5), 0) << "unreadable lines read low";
  io.modemErrno = 0;

  LineStateSetter(serial, 0, 1);
  LineStateSetter(serial, 1, 0);
  LineStateSetter(serial, 2, 1);
  EXPECT_EQ(io.modem & (TIOCM_DTR | TIOCM_RTS), TIOCM_RTS) << "requests wait for Reset";
  serialReset(serial);
  EXPECT_EQ(io.modem & (TIOCM_DTR | TIOCM_RTS | TIOCM_CTS), TIOCM_DTR);
}

TEST_F(SerialClassTest, ABreakRepeatsOnEveryPassUntilCleared) {
  RuntimeObject* serial = OpenSerial();
  serialSetBreak(serial);
  serialTick(serial);
  PollSerialControls();
  EXPECT_EQ(io.breaks, 2);
  serialClearBreak(serial);
  serialTick(serial);
  EXPECT_EQ(io.breaks, 2);
}

TEST_F(SerialClassTest, XmitWaitWritesAndDrainsUntilTheOutputIsSent) {
  RuntimeObject* serial = OpenSerial();
  io.writeLimit = 0;
  Write(serial, "abcdefgh");
  io.writeLimit = 3;
  io.drainInterruptions = 2;
  serialXmitWait(serial);
  EXPECT_EQ(io.written, "abcdefgh");
  EXPECT_EQ(io.drains, 5) << "three drains, the first made again twice";
  EXPECT_EQ(Log(), "") << "an interrupted drain is no error";

  io.writeLimit = 0;
  Write(serial, "stuck");
  serialXmitWait(serial);
  EXPECT_EQ(io.drains, 6) << "a write that takes nothing ends the wait after its drain";
  io.writeLimit = 1;
  io.drainErrno = EIO;
  serialXmitWait(serial);
  EXPECT_EQ(io.written, "abcdefghs");
  EXPECT_EQ(Log(), "Error(101);");

  io.drainErrno = 0;
  io.incoming = "gone";
  serialTick(serial);
  Log().clear();
  serialFlush(serial);
  EXPECT_EQ(io.written, "abcdefghstuck");
  EXPECT_EQ(SerialBytesAvailable(serial, 0), 0);
  EXPECT_TRUE(SerialEof(serial));
}

TEST_F(SerialClassTest, SuspendedEventsHoldBackEveryPass) {
  RuntimeObject* serial = OpenSerial();
  io.incoming = "wait";
  SuspendSerialEvents();
  SuspendSerialEvents();
  PollSerialControls();
  ResumeSerialEvents();
  serialTick(serial);
  EXPECT_EQ(Log(), "");
  ResumeSerialEvents();
  ResumeSerialEvents();  // unmatched: ignored
  SuspendSerialEvents();
  PollSerialControls();
  EXPECT_EQ(Log(), "") << "one suspension still holds";
  ResumeSerialEvents();
  PollSerialControls();
  EXPECT_EQ(Log(), "DataAvailable;");
}

TEST_F(SerialClassTest, NilOrForeignObjectsAreReportedAndIgnored) {
  EXPECT_FALSE(serialOpen(nullptr));
  serialWrite(nullptr, nullptr);
  EXPECT_EQ(Take(serialReadAll(nullptr, nullptr)), "");
  RuntimeObject* port = getSerialPortByPath(nullptr, string("/x").Rep());
  serialTick(port);
  RuntimeUnlockObject(port);
  ASSERT_EQ(Reports().size(), 4u);
  EXPECT_NE(Reports()[0].find("Failure Condition: ctl"), std::string::npos);
  EXPECT_NE(Reports()[1].find("Have no serial control, so cannot write"), std::string::npos);
}

// Handlers that let go of the object from inside its own events.
RuntimeObject* sReleased = nullptr;
void ReleaseOnData(RuntimeObject* self) {
  Log() += "DataAvailable;";
  serialClose(self);
  RuntimeUnlockObject(sReleased);
  sReleased = nullptr;
}
void ReleaseOnlyOnData(RuntimeObject*) {
  Log() += "DataAvailable;";
  RuntimeUnlockObject(sReleased);
  sReleased = nullptr;
}
void LogLines(RuntimeObject*, VornArray*) { Log() += "LineStateChanged;"; }

TEST_F(SerialClassTest, AHandlerMayCloseAndReleaseTheObjectDuringItsEvents) {
  RuntimeClass* closing = testing::MakeSubclass(
      "ClosingSerial", "Serial", sizeof(VornSerialObject),
      {{"#DataAvailable%%o<ClosingSerial>", Fn(&ReleaseOnData), nullptr, 0},
       {"#LineStateChanged%%o<ClosingSerial>A1i4", Fn(&LogLines), nullptr, 0}});
  sReleased = RuntimeNewObject(closing);
  ASSERT_TRUE(serialOpen(sReleased));
  io.modem = 0;
  Watch(sReleased, {kVornSerialLineCTS});
  io.incoming = "bye";
  io.modem = TIOCM_CTS;
  PollSerialControls();
  EXPECT_EQ(Log(), "DataAvailable;") << "a port closed by the handler ends the pass";
  EXPECT_EQ(sReleased, nullptr);
  EXPECT_EQ(io.closes, 1);

  // Released but left open: the pass goes on with the object it holds, which dies after it.
  RuntimeClass* lettingGo = testing::MakeSubclass(
      "LettingGoSerial", "Serial", sizeof(VornSerialObject),
      {{"#DataAvailable%%o<LettingGoSerial>", Fn(&ReleaseOnlyOnData), nullptr, 0},
       {"#LineStateChanged%%o<LettingGoSerial>A1i4", Fn(&LogLines), nullptr, 0}});
  sReleased = RuntimeNewObject(lettingGo);
  ASSERT_TRUE(serialOpen(sReleased));
  Watch(sReleased, {kVornSerialLineCTS});
  io.modem = 0;
  io.incoming = "again";
  serialTick(sReleased);
  EXPECT_EQ(Log(), "DataAvailable;DataAvailable;LineStateChanged;");
  EXPECT_EQ(io.closes, 2) << "the finalizer closed the port once the pass let go";
}

}  // namespace
}  // namespace vorn
