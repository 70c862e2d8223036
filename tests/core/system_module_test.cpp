// The System module without a display: its class table and entry points, the command line,
// environment variables, the system and debug logs, the members kept for other platforms,
// NetworkInterface and Network.
#include <arpa/inet.h>
#include <gdk/gdk.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/soft_declare.h"
#include "base/startup.h"
#include "core/system_module.h"
#include "graphics/picture_object.h"
#include "net/network_classes.h"
#include "net/network_utilities.h"
#include "objects/class_registry.h"
#include "objects/exceptions.h"
#include "objects/runtime_class.h"
#include "objects/runtime_object.h"
#include "strings/system_encoding.h"
#include "support/class_test.h"
#include "vorn/cursor_api.h"
#include "vorn/serial_api.h"
#include "vorn/socket_api.h"
#include "vorn/system_api.h"

namespace vorn {
namespace {

std::string Text(VornStringRecord* record) {
  string text = string::Adopt(record);
  return std::string(text.View());
}

// A string argument handed to an entry point, released after the call.
struct Arg {
  explicit Arg(const char* text) : value(text) {}
  VornStringRecord* operator*() const { return value.Rep(); }
  string value;
};

class SystemModuleTest : public test::IntrinsicClassTest {
 protected:
  void SetUp() override {
    // The module objects live until exit: made before the fixture counts the live objects.
    RuntimeUnlockObject(getSystemObject());
    RuntimeUnlockObject(GetCursorsClass());
    IntrinsicClassTest::SetUp();
    mModule = Keep(getSystemObject());
  }
  RuntimeObject* mModule = nullptr;
};

// --- class table --------------------------------------------------------------------------

TEST_F(SystemModuleTest, TheClassesAreRegisteredAndEveryEntryPointBindsItsFunction) {
  EXPECT_EQ(LookupIntrinsicModule(string("_systemclass")), GetSystemModuleDefinition());
  EXPECT_EQ(LookupIntrinsicClass(string("NetworkInterface")), GetNetworkInterfaceClassDefinition());
  EXPECT_EQ(LookupIntrinsicClass(string("Network")), GetNetworkClassDefinition());
  EXPECT_EQ(LookupIntrinsicClass(string("_QuicktimeInstallStatus")), GetQuicktimeInstallStatusClassDefinition());
  // The socket classes read a NetworkInterface's index right after the header.
  EXPECT_EQ(offsetof(VornNetworkInterfaceObject, index), sizeof(VornRuntimeObject));
  test::ExpectEntryPointsBound({
      {"getSystemObject", reinterpret_cast<void*>(&getSystemObject)},
      {"systemGestalt", reinterpret_cast<void*>(&systemGestalt)},
      {"getSerialPort", reinterpret_cast<void*>(&getSerialPort)},
      {"getSerialPortByPath", reinterpret_cast<void*>(&getSerialPortByPath)},
      {"getSerialPortCount", reinterpret_cast<void*>(&getSerialPortCount)},
      {"IsFunctionAvailable", reinterpret_cast<void*>(&IsFunctionAvailable)},
      {"systemPixel", reinterpret_cast<void*>(&systemPixel)},
      {"socketPPPConnect", reinterpret_cast<void*>(&socketPPPConnect)},
      {"socketPPPDisconnect", reinterpret_cast<void*>(&socketPPPDisconnect)},
      {"GetNetworkInterfaceObject", reinterpret_cast<void*>(&GetNetworkInterfaceObject)},
      {"SystemGetPenButton", reinterpret_cast<void*>(&SystemGetPenButton)},
      {"SystemGetEnvVariable", reinterpret_cast<void*>(&SystemGetEnvVariable)},
      {"SystemSetEnvVariable", reinterpret_cast<void*>(&SystemSetEnvVariable)},
      {"SystemLogger", reinterpret_cast<void*>(&SystemLogger)},
      {"SystemDebugLogger", reinterpret_cast<void*>(&SystemDebugLogger)},
      {"SystemDrawWindow", reinterpret_cast<void*>(&SystemDrawWindow)},
      {"SystemGetWindowMetrics", reinterpret_cast<void*>(&SystemGetWindowMetrics)},
      {"SystemGetCommandLine", reinterpret_cast<void*>(&SystemGetCommandLine)},
      {"getMouseX", reinterpret_cast<void*>(&getMouseX)},
      {"getMouseY", reinterpret_cast<void*>(&getMouseY)},
      {"getMouseDown", reinterpret_cast<void*>(&getMouseDown)},
      {"systemGetKeyScript", reinterpret_cast<void*>(&systemGetKeyScript)},
      {"systemSetKeyScript", reinterpret_cast<void*>(&systemSetKeyScript)},
      {"socketPPPStatus", reinterpret_cast<void*>(&socketPPPStatus)},
      {"systemGetQTInstallStatus", reinterpret_cast<void*>(&systemGetQTInstallStatus)},
      {"systemGetDefaultKeyChain", reinterpret_cast<void*>(&systemGetDefaultKeyChain)},
      {"systemSetDefaultKeyChain", reinterpret_cast<void*>(&systemSetDefaultKeyChain)},
      {"systemGetKeyChainCount", reinterpret_cast<void*>(&systemGetKeyChainCount)},
      {"GetCursorsClass", reinterpret_cast<void*>(&GetCursorsClass)},
      {"SystemGetNetworkInterfaceCount", reinterpret_cast<void*>(&SystemGetNetworkInterfaceCount)},
      {"SystemGetPenPressure", reinterpret_cast<void*>(&SystemGetPenPressure)},
      {"SystemGetPenType", reinterpret_cast<void*>(&SystemGetPenType)},
      {"SystemGetNetwork", reinterpret_cast<void*>(&SystemGetNetwork)},
      {"NetworkInterfaceCtor", reinterpret_cast<void*>(&NetworkInterfaceCtor)},
      {"SystemGetMACAddress", reinterpret_cast<void*>(&SystemGetMACAddress)},
      {"SystemGetIPAddress", reinterpret_cast<void*>(&SystemGetIPAddress)},
      {"SystemGetSubnetMask", reinterpret_cast<void*>(&SystemGetSubnetMask)},
      {"QTInstalledGetter", reinterpret_cast<void*>(&QTInstalledGetter)},
      {"NetworkSafeToConnect", reinterpret_cast<void*>(&NetworkSafeToConnect)},
      {"NetworkLookupIPAddress", reinterpret_cast<void*>(&NetworkLookupIPAddress)},
      {"NetworkLookupDNSAddress", reinterpret_cast<void*>(&NetworkLookupDNSAddress)},
      {"NetworkWakeOnLAN", reinterpret_cast<void*>(&NetworkWakeOnLAN)},
  });
}

// --- neutral members ----------------------------------------------------------------------

TEST_F(SystemModuleTest, MembersKeptForOtherPlatformsAnswerNeutralValues) {
  int32_t result = 77;
  Arg code("sysv");
  EXPECT_EQ(systemGestalt(mModule, *code, &result), 0);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(systemGestalt(mModule, nullptr, nullptr), 0);

  EXPECT_EQ(systemGetKeyScript(mModule, 0), 0);
  systemSetKeyScript(mModule, 0, 5);
  EXPECT_EQ(systemGetKeyScript(mModule, 0), 0);

  int32_t caption = 1, borderWidth = 2, borderHeight = 3;
  SystemGetWindowMetrics(mModule, 0, &caption, &borderWidth, &borderHeight);
  EXPECT_EQ(caption, 0);
  EXPECT_EQ(borderWidth, 0);
  EXPECT_EQ(borderHeight, 0);

  // The inert KeyChain: no keychain here.
  EXPECT_EQ(systemGetDefaultKeyChain(mModule, 0), nullptr);
  systemSetDefaultKeyChain(mModule, 0, mModule);
  EXPECT_EQ(systemGetDefaultKeyChain(mModule, 0), nullptr);
  EXPECT_EQ(systemGetKeyChainCount(mModule, 0), 0);

  // No pen: no button is pushed, and an index outside 0-31 names no bit at all.
  for (int32_t index : {0, 31, 32, -1, INT_MIN, INT_MAX}) EXPECT_EQ(SystemGetPenButton(mModule, index), 0) << index;

  RuntimeObject* status = Keep(systemGetQTInstallStatus(mModule, 0));
  EXPECT_NE(Keep(systemGetQTInstallStatus(mModule, 0)), status);
  EXPECT_EQ(QTInstalledGetter(status, 0), 0);
  EXPECT_EQ(Keep(getSystemObject()), mModule);
}

// --- command line -------------------------------------------------------------------------

class CommandLineTest : public SystemModuleTest {
 protected:
  void SetUp() override {
    SystemModuleTest::SetUp();
    mSavedArgc = gArgc;
    mSavedArgv = gArgv;
    ForgetCachedCommandLine();
  }
  void TearDown() override {
    gArgc = mSavedArgc;
    gArgv = mSavedArgv;
    ForgetCachedCommandLine();
    SystemModuleTest::TearDown();
  }
  int32_t mSavedArgc = 0;
  char** mSavedArgv = nullptr;
};

TEST_F(CommandLineTest, ArgumentsAreJoinedWithOneSpaceWithoutQuotingAndCachedOnTheFirstRead) {
  char program[] = "/usr/bin/calc";
  char first[] = "a file.txt";
  char second[] = "--x";
  char* argv[] = {program, first, second, nullptr};
  gArgc = 3;
  gArgv = argv;
  VornStringRecord* record = SystemGetCommandLine(mModule, 0);
  EXPECT_EQ(record->encoding, GetSystemTextEncoding());
  EXPECT_EQ(Text(record), "/usr/bin/calc a file.txt --x");

  // The command line changes, the environment changes: the text read stays the same.
  char other[] = "/bin/other";
  char* otherArgv[] = {other, nullptr};
  gArgc = 1;
  gArgv = otherArgv;
  setenv("VORN_SYSTEM_TEST_CHANGE", "1", 1);
  EXPECT_EQ(Text(SystemGetCommandLine(mModule, 0)), "/usr/bin/calc a file.txt --x");
  unsetenv("VORN_SYSTEM_TEST_CHANGE");
}

// --- environment --------------------------------------------------------------------------

TEST_F(SystemModuleTest, EnvironmentVariablesRoundTripAndUnsetOnesReadEmpty) {
  unsetenv("VORN_SYSTEM_TEST");
  Arg name("VORN_SYSTEM_TEST");
  EXPECT_EQ(SystemGetEnvVariable(mModule, *name), nullptr);

  Arg value("one two");
  SystemSetEnvVariable(mModule, *name, *value);
  VornStringRecord* read = SystemGetEnvVariable(mModule, *name);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->encoding, kEncodingASCII);
  EXPECT_EQ(Text(read), "one two");
  EXPECT_STREQ(std::getenv("VORN_SYSTEM_TEST"), "one two");

  Arg replaced("three");
  SystemSetEnvVariable(mModule, *name, *replaced);  // overwrites
  EXPECT_EQ(Text(SystemGetEnvVariable(mModule, *name)), "three");

  SystemSetEnvVariable(mModule, *name, nullptr);  // the empty value
  EXPECT_EQ(Text(SystemGetEnvVariable(mModule, *name)), "");
  unsetenv("VORN_SYSTEM_TEST");
}

TEST_F(SystemModuleTest, ANonASCIIValueKeepsTheSystemEncodingAndRefusedNamesChangeNothing) {
  EXPECT_EQ(SystemGetEnvVariable(mModule, nullptr), nullptr);
  Arg value("x");
  SystemSetEnvVariable(mModule, nullptr, *value);
  Arg withEquals("A=B");
  SystemSetEnvVariable(mModule, *withEquals, *value);
  EXPECT_EQ(std::getenv("A"), nullptr);

  setenv("VORN_SYSTEM_TEST_UTF8", "gr\xC3\xBC\xC3\x9F", 1);
  Arg name("VORN_SYSTEM_TEST_UTF8");
  VornStringRecord* read = SystemGetEnvVariable(mModule, *name);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->encoding, GetSystemTextEncoding());
  EXPECT_EQ(Text(read), "gr\xC3\xBC\xC3\x9F");
  unsetenv("VORN_SYSTEM_TEST_UTF8");
}

// --- logs ---------------------------------------------------------------------------------

struct LoggedLine {
  std::string ident;
  int priority;
  std::string message;
};

std::vector<LoggedLine>& Logged() {
  static std::vector<LoggedLine> lines;
  return lines;
}

void RecordLog(const char* ident, int priority, const std::string& message) {
  Logged().push_back({ident ? ident : "(nil)", priority, message});
}

class SystemLogTest : public SystemModuleTest {
 protected:
  void SetUp() override {
    SystemModuleTest::SetUp();
    Logged().clear();
    mPrevious = SetSystemLogWriter(&RecordLog);
  }
  void TearDown() override {
    SetSystemLogWriter(mPrevious);
    SystemModuleTest::TearDown();
  }
  SystemLogWriter mPrevious = nullptr;
};

TEST_F(SystemLogTest, AMessageWithAPercentSignIsSentUnchangedAtItsLevelsPriority) {
  char program[] = "/opt/app/calc";
  char* argv[] = {program, nullptr};
  int32_t savedArgc = gArgc;
  char** savedArgv = gArgv;
  gArgc = 1;
  gArgv = argv;
  Arg message("disk 100% full %s %n");
  SystemLogger(mModule, 1003, *message);
  gArgc = savedArgc;
  gArgv = savedArgv;
  ASSERT_EQ(Logged().size(), 1u);
  EXPECT_EQ(Logged()[0].ident, "/opt/app/calc");
  EXPECT_EQ(Logged()[0].priority, 3);
  EXPECT_EQ(Logged()[0].message, "disk 100% full %s %n");
}

TEST_F(SystemLogTest, LevelsMapToPrioritiesAndUnknownLevelsAreInformational) {
  Arg message("m");
  const int32_t levels[] = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 999, 1009, 0, -1};
  const int expected[] = {0, 1, 2, 3, 4, 5, 6, 7, 6, 6, 6, 6, 6};
  for (int32_t level : levels) SystemLogger(mModule, level, *message);
  ASSERT_EQ(Logged().size(), std::size(levels));
  for (size_t i = 0; i < std::size(levels); ++i) EXPECT_EQ(Logged()[i].priority, expected[i]) << levels[i];
  SystemLogger(mModule, 1003, nullptr);
  EXPECT_EQ(Logged().size(), std::size(levels)) << "a nil message logs nothing";
}

TEST_F(SystemLogTest, TheRealSystemLogTakesAMessageWithConversions) {
  // Sent as data, "%s" and "%n" reach the log as text instead of being read as conversions.
  SetSystemLogWriter(nullptr);
  Arg message("vorn system test %s %n %%");
  SystemLogger(mModule, 1007, *message);
}

TEST_F(SystemModuleTest, DebugLogWritesTheMessageAndANewlineToStandardError) {
  ::testing::internal::CaptureStderr();
  Arg message("a %s b");
  SystemDebugLogger(mModule, *message);
  SystemDebugLogger(mModule, nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "a %s b\n");
}

// --- network interfaces -------------------------------------------------------------------

TEST_F(SystemModuleTest, InterfaceIndexesFromMinusOneToTheLastGiveObjectsAndOthersNil) {
  const int32_t count = GetNetworkInterfaceCount();
  EXPECT_EQ(SystemGetNetworkInterfaceCount(mModule, 0), count);
  EXPECT_EQ(GetNetworkInterfaceObject(mModule, count), nullptr);
  EXPECT_EQ(GetNetworkInterfaceObject(mModule, -2), nullptr);
  EXPECT_EQ(GetNetworkInterfaceObject(mModule, INT_MIN), nullptr);
  EXPECT_EQ(GetNetworkInterfaceObject(mModule, INT_MAX), nullptr);
  RuntimeObject* first = Keep(GetNetworkInterfaceObject(mModule, -1));
  ASSERT_NE(first, nullptr);
  int32_t index = 0;
  ASSERT_TRUE(NetworkInterfaceIndexOf(first, &index));
  EXPECT_EQ(index, -1);
  if (count > 0) {
    RuntimeObject* last = Keep(GetNetworkInterfaceObject(mModule, count - 1));
    ASSERT_TRUE(NetworkInterfaceIndexOf(last, &index));
    EXPECT_EQ(index, count - 1);
  }
}

TEST_F(SystemModuleTest, AddressesAreFourDecimalsFirstByteFirst) {
  EXPECT_EQ(DottedAddressText(htonl(0xC0A80102)), "192.168.1.2");
  EXPECT_EQ(DottedAddressText(htonl(0xFFFFFF00)), "255.255.255.0");
  EXPECT_EQ(DottedAddressText(0), "0.0.0.0");

  RuntimeObject* first = Keep(GetNetworkInterfaceObject(mModule, -1));
  if (GetNetworkInterfaceCount() > 0) {
    char expected[INET_ADDRSTRLEN] = {};
    const uint32_t address = GetNetworkInterfaceIPAddress(0);
    ASSERT_NE(inet_ntop(AF_INET, &address, expected, sizeof expected), nullptr);
    EXPECT_EQ(Text(SystemGetIPAddress(first, 0)), expected);
  }
  EXPECT_TRUE(Reports().empty());
}

TEST_F(SystemModuleTest, AnInterfaceThatNamesNoneReadsEmptyAndZero) {
  RuntimeObject* made = New(GetNetworkInterfaceClassDefinition());
  NetworkInterfaceCtor(made);
  int32_t index = 99;
  ASSERT_TRUE(NetworkInterfaceIndexOf(made, &index));
  EXPECT_EQ(index, 0);  // New NetworkInterface: the first listed
  // An index below -1 (only a changed object can hold one) never reaches the socket layer.
  reinterpret_cast<VornNetworkInterfaceObject*>(made)->index = -7;
  EXPECT_EQ(Text(SystemGetMACAddress(made, 0)), "");
  EXPECT_EQ(Text(SystemGetIPAddress(made, 0)), "0.0.0.0");
  EXPECT_EQ(Text(SystemGetSubnetMask(made, 0)), "0.0.0.0");
  reinterpret_cast<VornNetworkInterfaceObject*>(made)->index = GetNetworkInterfaceCount();
  EXPECT_EQ(Text(SystemGetMACAddress(made, 0)), "");
  EXPECT_EQ(Text(SystemGetIPAddress(made, 0)), "0.0.0.0");
  EXPECT_TRUE(Reports().empty());
}

TEST_F(SystemModuleTest, ANilOrForeignInterfaceIsTheFailedAssertion) {
  EXPECT_EQ(SystemGetMACAddress(nullptr, 0), nullptr);
  EXPECT_EQ(SystemGetIPAddress(nullptr, 0), nullptr);
  RuntimeObject* network = Keep(SystemGetNetwork(mModule, 0));
  EXPECT_EQ(SystemGetSubnetMask(network, 0), nullptr);
  ASSERT_EQ(Reports().size(), 3u);
  for (const std::string& report : Reports()) {
    EXPECT_NE(report.find("networkInterfaceObject"), std::string::npos) << report;
    EXPECT_NE(report.find("../Common/RunSystem"), std::string::npos) << report;
  }
}

TEST_F(SystemModuleTest, NetworkIsANewObjectThatLooksUpAndIsNeverConnected) {
  RuntimeObject* network = Keep(SystemGetNetwork(mModule, 0));
  RuntimeObject* other = Keep(SystemGetNetwork(mModule, 0));
  ASSERT_NE(network, nullptr);
  EXPECT_NE(network, other);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(network, GetNetworkClassDefinition()));
  EXPECT_EQ(NetworkSafeToConnect(network), 0);
  Arg localhost("localhost");
  EXPECT_EQ(Text(NetworkLookupIPAddress(network, *localhost)), "127.0.0.1");
  Arg nowhere("no-such-host.invalid");
  EXPECT_EQ(Text(NetworkLookupIPAddress(network, *nowhere)), "");
  EXPECT_EQ(Text(NetworkLookupDNSAddress(network, *nowhere)), "");
  EXPECT_EQ(Text(NetworkLookupIPAddress(network, nullptr)), "");
  NetworkWakeOnLAN(network, nullptr, nullptr);  // a malformed MAC text sends nothing
}

// --- without a display --------------------------------------------------------------------

TEST_F(SystemModuleTest, WithoutADisplayTheScreenMembersAnswerZeroAndNoPicture) {
  if (gdk_display_get_default()) GTEST_SKIP() << "a display is open";
  EXPECT_EQ(systemPixel(mModule, 10, 10), 0u);
  EXPECT_EQ(getMouseX(mModule, 0), 0);
  EXPECT_EQ(getMouseY(mModule, 0), 0);
  EXPECT_EQ(getMouseDown(mModule, 0), 0);
  EXPECT_EQ(SystemDrawWindow(mModule, nullptr, 10, 10, 0, 0, 0, 0, 0, nullptr, 0, 0xFF0000), nullptr);
  EXPECT_EQ(PendingException(), nullptr);
}

TEST_F(SystemModuleTest, TooLargeAWindowPictureRaisesOutOfMemoryWithOrWithoutADisplay) {
  EXPECT_EQ(SystemDrawWindow(mModule, nullptr, 40000, 10, 0, 0, 0, 0, 0, nullptr, 0, 0), nullptr);
  RuntimeObject* exception = TakePendingException();
  ASSERT_NE(exception, nullptr);
  EXPECT_TRUE(RuntimeObjectIsaDefinition(exception, GetOutOfMemoryExceptionClassDefinition()));
  RuntimeUnlockObject(exception);
  EXPECT_EQ(SystemDrawWindow(mModule, nullptr, 10000, 10000, 0, 0, 0, 0, 0, nullptr, 0, 0), nullptr);
  exception = TakePendingException();
  ASSERT_NE(exception, nullptr);
  RuntimeUnlockObject(exception);
}

}  // namespace
}  // namespace vorn
