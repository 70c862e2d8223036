#include "net/network_utilities.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include "net/socket_address.h"

namespace vorn {
namespace {

TEST(NetworkUtilitiesTest, MACTextsWithAnySeparatorGiveTheSamePacket) {
  uint8_t dashes[6], colons[6], dots[6], plain[6];
  ASSERT_TRUE(ParseMACAddress("00-1A-2b-03-04-FF", dashes));
  ASSERT_TRUE(ParseMACAddress("00:1a:2B:03:04:ff", colons));
  ASSERT_TRUE(ParseMACAddress("0.1A.2b.3.4.FF", dots));
  ASSERT_TRUE(ParseMACAddress("001A2B0304FF", plain));
  std::string packet = BuildWakeOnLANPacket(dashes);
  EXPECT_EQ(packet, BuildWakeOnLANPacket(colons));
  EXPECT_EQ(packet, BuildWakeOnLANPacket(dots));
  EXPECT_EQ(packet, BuildWakeOnLANPacket(plain));
  ASSERT_EQ(packet.size(), 102u);
  EXPECT_EQ(packet.substr(0, 6), std::string(6, '\xFF'));
  EXPECT_EQ(packet.substr(96), std::string("\x00\x1A\x2B\x03\x04\xFF", 6));
}

TEST(NetworkUtilitiesTest, MalformedMACTextsAreRefused) {
  uint8_t mac[6];
  for (const char* text : {"", "00:11:22:33:44", "00:11:22:33:44:55:66", "00::22:33:44:55", "001:1:22:33:44:55",
                           "GG:11:22:33:44:55", "0011223344", "00:11:22:33:44:5Z", ":::::"})
    EXPECT_FALSE(ParseMACAddress(text, mac)) << text;
  EXPECT_FALSE(SendWakeOnLANPacket("127.0.0.1", "nonsense"));
}

TEST(NetworkUtilitiesTest, WakeOnLANSendsToALoopbackAddress) {
  EXPECT_TRUE(SendWakeOnLANPacket("127.0.0.1", "01:02:03:04:05:06"));
}

TEST(NetworkUtilitiesTest, InterfaceIndexesPastTheEndFindNothingAndMinusOneIsTheFirst) {
  int32_t count = GetNetworkInterfaceCount();
  ASSERT_GE(count, 0);
  EXPECT_EQ(GetNetworkInterfaceIPAddress(count), 0u);
  EXPECT_EQ(GetNetworkInterfaceMACAddress(count), "");
  EXPECT_EQ(GetNetworkInterfaceIPAddress(-1), GetNetworkInterfaceIPAddress(0));
  for (int32_t i = 0; i < count; ++i) {
    EXPECT_NE(GetNetworkInterfaceIPAddress(i), 0u);
    EXPECT_NE(GetNetworkInterfaceIPAddress(i), htonl(INADDR_LOOPBACK)) << "loopback is not counted";
  }
}

TEST(NetworkUtilitiesTest, LookupsAnswerAddressesAndLeaveFailuresEmpty) {
  EXPECT_EQ(LookupHostAddress("127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(LookupHostAddress("localhost"), "127.0.0.1");
  EXPECT_EQ(LookupHostAddress("::1"), "::1") << "a name with only an IPv6 address answers that";
  EXPECT_EQ(LookupHostAddress(""), "");
  EXPECT_EQ(LookupHostAddress("no-such-host.invalid"), "");
  EXPECT_EQ(LookupCanonicalName("no-such-host.invalid"), "");
}

TEST(SocketAddressTest, DottedTextParsesStrictlyAndRoundTrips) {
  uint32_t value = 0;
  ASSERT_TRUE(ParseDottedIPv4("192.168.001.255", &value));
  EXPECT_EQ(DottedText(value), "192.168.1.255");
  for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.256", "1..2.3", " 1.2.3.4", "1.2.3.4 ", "a.b.c.d",
                          "1.2.3.1234", "255.255.255.255x"})
    EXPECT_FALSE(ParseDottedIPv4(bad, &value)) << bad;
  std::string host;
  int32_t port = 0;
  ASSERT_TRUE(SplitHostPort("example.org:8080", &host, &port));
  EXPECT_EQ(host, "example.org");
  EXPECT_EQ(port, 8080);
  for (const char* bad : {"host", "host:", "host:65536", "host:-1", "a:b:c", "host: 80", "host:123456"})
    EXPECT_FALSE(SplitHostPort(bad, &host, &port)) << bad;
}

}  // namespace
}  // namespace vorn
