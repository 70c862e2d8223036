// A Serial object on a pseudo-terminal: the slave side is a real terminal device, driven
// through the system's calls and run-loop passes alone.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <string>

#include "core/support/core_object_test.h"
#include "net/serial_class.h"
#include "net/support/net_test_support.h"

namespace vorn {
namespace {

using testing::CoreObjectTest;
using testing::IterateUntil;

void* Fn(auto function) { return reinterpret_cast<void*>(function); }

void OnDataAvailable(RuntimeObject*) { CoreObjectTest::Log() += "DataAvailable;"; }
void OnError(RuntimeObject* self) {
  CoreObjectTest::Log() += "Error(" + std::to_string(reinterpret_cast<VornSerialObject*>(self)->lastErrorCode) + ");";
}

RuntimeClass* PtySerial() {
  return testing::MakeSubclass("PtySerial", "Serial", sizeof(VornSerialObject),
                               {{"#DataAvailable%%o<PtySerial>", Fn(&OnDataAvailable), nullptr, 0},
                                {"#Error%%o<PtySerial>", Fn(&OnError), nullptr, 0}});
}

std::string ReadMaster(int master, size_t count) {
  std::string got;
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (got.size() < count && std::chrono::steady_clock::now() < end) {
    pollfd wait{master, POLLIN, 0};
    if (poll(&wait, 1, 20) <= 0) continue;
    char buffer[256];
    ssize_t n = read(master, buffer, sizeof buffer);
    if (n > 0) got.append(buffer, static_cast<size_t>(n));
  }
  return got;
}

class SerialPtyTest : public CoreObjectTest {
 protected:
  void SetUp() override {
    CoreObjectTest::SetUp();
    mMaster = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(mMaster, 0);
    ASSERT_EQ(grantpt(mMaster), 0);
    ASSERT_EQ(unlockpt(mMaster), 0);
    mSlavePath = ptsname(mMaster);
  }
  void TearDown() override {
    if (mMaster >= 0) close(mMaster);
    CoreObjectTest::TearDown();
  }
  int mMaster = -1;
  std::string mSlavePath;
};

TEST_F(SerialPtyTest, DataCrossesATerminalRawThroughTheRunLoop) {
  RuntimeObject* serial = RuntimeNewObject(PtySerial());
  auto* fields = reinterpret_cast<VornSerialObject*>(serial);
  RuntimeObject* port = getSerialPortByPath(nullptr, string(mSlavePath, kEncodingASCII).Rep());
  objSetter(serial, static_cast<int32_t>(offsetof(VornSerialObject, serialPort)), port);
  RuntimeUnlockObject(port);
  fields->baud = 8;

  ASSERT_TRUE(serialOpen(serial));
  // A pseudo-terminal has no modem lines: configuring them is the one step that fails.
  EXPECT_EQ(CoreObjectTest::Log(), "Error(" + std::to_string(ENOTTY) + ");");
  termios applied{};
  ASSERT_EQ(tcgetattr(fields->descriptor, &applied), 0);
  EXPECT_EQ(cfgetispeed(&applied), speed_t(B9600));
  EXPECT_EQ(applied.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_EQ(applied.c_iflag & ICRNL, 0u);
  CoreObjectTest::Log().clear();

  serialWrite(serial, string("line\n").Rep());
  serialXmitWait(serial);
  EXPECT_EQ(ReadMaster(mMaster, 5), "line\n") << "no output processing";
  EXPECT_TRUE(SerialEof(serial));

  ASSERT_EQ(write(mMaster, "reply\r", 6), 6);
  ASSERT_TRUE(IterateUntil([&] { return SerialBytesAvailable(serial, 0) == 6; }));
  EXPECT_EQ(CoreObjectTest::Log(), "DataAvailable;");
  EXPECT_EQ(string::Adopt(serialReadAll(serial, nullptr)).View(), "reply\r") << "a carriage return stays one";

  serialClose(serial);
  EXPECT_EQ(fcntl(fields->descriptor, F_GETFD), -1);
  ASSERT_TRUE(serialOpen(serial)) << "closing released the port";
  RuntimeUnlockObject(serial);
}

}  // namespace
}  // namespace vorn
