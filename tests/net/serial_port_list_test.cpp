#include "net/serial_port_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "core/support/core_object_test.h"
#include "net/serial_class.h"
#include "net/serial_io.h"
#include "objects/exceptions.h"

namespace vorn {
namespace {

std::string Text(VornStringRecord* record) { return std::string(string::Share(record).View()); }

// Lists the ports of a temporary folder holding port0, port1 and port3.
class SerialPortListTest : public testing::CoreObjectTest {
 protected:
  void SetUp() override {
    CoreObjectTest::SetUp();
    char folder[] = "/tmp/vn_serialXXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    mFolder = folder;
    for (const char* name : {"port0", "port1", "port3"}) std::ofstream(mFolder + "/" + name) << "";
    SetSerialPortPathPrefix(mFolder + "/port");
  }
  void TearDown() override {
    SetSerialPortPathPrefix("");
    for (const char* name : {"port0", "port1", "port3"}) unlink((mFolder + "/" + name).c_str());
    rmdir(mFolder.c_str());
    CoreObjectTest::TearDown();
  }
  std::string mFolder;
};

TEST_F(SerialPortListTest, PortsAreCountedUpToTheFirstMissingIndex) {
  EXPECT_EQ(SerialPortPath(12), mFolder + "/port12");
  EXPECT_EQ(getSerialPortCount(nullptr, 0), 2);
  RuntimeObject* object = getSerialPort(nullptr, 1);
  VornSerialPortObject* port = SerialPortFields(object);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(Text(port->name), mFolder + "/port1");
  EXPECT_EQ(Text(port->inputDriverName), mFolder + "/port1");
  EXPECT_EQ(Text(port->outputDriverName), mFolder + "/port1");
  EXPECT_EQ(port->ratedSpeed, 115200);
  EXPECT_EQ(port->maximumSpeed, 230400);
  RuntimeUnlockObject(object);
}

TEST_F(SerialPortListTest, IndexesOutsideTheListRaiseOutOfBounds) {
  for (int32_t index : {2, 3, -1}) {
    EXPECT_EQ(getSerialPort(nullptr, index), nullptr) << index;
    RuntimeObject* exception = TakePendingException();
    EXPECT_TRUE(exception && RuntimeObjectIsaDefinition(exception, GetOutOfBoundsExceptionClassDefinition()));
    RuntimeUnlockObject(exception);
  }
}

TEST_F(SerialPortListTest, APortByPathNeedsAPath) {
  EXPECT_EQ(getSerialPortByPath(nullptr, nullptr), nullptr);
  string path("/dev/ttyACM0");
  RuntimeObject* object = getSerialPortByPath(nullptr, path.Rep());
  ASSERT_NE(SerialPortFields(object), nullptr);
  EXPECT_EQ(Text(SerialPortFields(object)->outputDriverName), "/dev/ttyACM0");
  RuntimeUnlockObject(object);
}

TEST_F(SerialPortListTest, WithoutTheDeviceCallsThereAreNoPorts) {
  SerialIO* previous = SetSerialIO(nullptr);
  EXPECT_EQ(getSerialPortCount(nullptr, 0), 0);
  EXPECT_EQ(getSerialPort(nullptr, 0), nullptr);
  EXPECT_EQ(TakePendingException(), nullptr);
  RuntimeObject* serial = CreateInstanceFromDefinition(GetSerialClassDefinition());
  EXPECT_FALSE(serialOpen(serial));
  EXPECT_EQ(reinterpret_cast<VornSerialObject*>(serial)->lastErrorCode, 0) << "nothing was tried";
  RuntimeUnlockObject(serial);
  SetSerialIO(previous);
}

}  // namespace
}  // namespace vorn
