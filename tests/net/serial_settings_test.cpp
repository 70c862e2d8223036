#include "net/serial_settings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "vorn/serial_api.h"

namespace vorn {
namespace {

// Settings as a port may hold them before it is configured: echoing, canonical, with
// output processing, hardware flow control and both flow-control characters unusual.
termios BusySettings() {
  termios t{};
  t.c_iflag = IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | IGNBRK;
  t.c_oflag = OPOST | ONLCR;
  t.c_cflag = CS7 | CSTOPB | PARENB | PARODD | CRTSCTS;
  t.c_lflag = ISIG | ICANON | ECHO | ECHOE | IEXTEN;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 5;
  cfsetispeed(&t, B1200);
  cfsetospeed(&t, B1200);
  return t;
}

TEST(SerialSettingsTest, DefaultOptionsMakeARawEightBitPortAt57600) {
  termios saved = BusySettings();
  termios t{};
  SerialLineOptions options;
  ASSERT_EQ(MapSerialSettings(options, &saved, &t).status, SerialSettingsStatus::kReady);
  EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL | HUPCL), tcflag_t(CREAD | CLOCAL | HUPCL));
  EXPECT_TRUE(saved.c_cflag & HUPCL) << "closing drops DTR";
  EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_EQ(t.c_cflag & (CSTOPB | PARENB | CRTSCTS), 0u);
  EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
  EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP), 0u) << "received bytes are not translated";
  EXPECT_EQ(t.c_iflag & IGNBRK, tcflag_t(IGNBRK)) << "other input flags stay";
  EXPECT_EQ(t.c_lflag & (ISIG | ICANON | ECHO | ECHOE), 0u);
  EXPECT_EQ(t.c_lflag & IEXTEN, tcflag_t(IEXTEN));
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);
  EXPECT_EQ(t.c_cc[VSTART], 17);
  EXPECT_EQ(t.c_cc[VSTOP], 19);
  EXPECT_EQ(cfgetispeed(&t), speed_t(B57600));
  EXPECT_EQ(cfgetospeed(&t), speed_t(B57600));
}

TEST(SerialSettingsTest, SizesStopBitsParityAndFlowControlFollowTheOptions) {
  struct Case {
    int32_t bits, stop, parity;
    bool xon, cts;
    tcflag_t size;
    bool stopb, parenb, parodd, inpck, ixon, crtscts;
  };
  const Case cases[] = {
      {0, 0, 1, false, false, CS5, false, true, true, true, false, false},
      {1, 2, 2, false, true, CS6, true, true, false, true, false, true},
      {2, 0, 7, true, true, CS7, false, true, false, true, true, false},
      {9, 2, 0, true, false, CS8, true, false, false, false, true, false},
  };
  for (const Case& c : cases) {
    termios saved{};
    termios t{};
    SerialLineOptions options;
    options.bits = c.bits;
    options.stop = c.stop;
    options.parity = c.parity;
    options.xonFlowControl = c.xon;
    options.ctsFlowControl = c.cts;
    ASSERT_EQ(MapSerialSettings(options, &saved, &t).status, SerialSettingsStatus::kReady) << c.bits;
    SCOPED_TRACE(testing::Message() << "bits " << c.bits << " stop " << c.stop << " parity " << c.parity);
    EXPECT_EQ(t.c_cflag & CSIZE, c.size);
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.stopb);
    EXPECT_EQ((t.c_cflag & PARENB) != 0, c.parenb);
    EXPECT_EQ((t.c_cflag & PARODD) != 0, c.parodd);
    EXPECT_EQ((t.c_iflag & INPCK) != 0, c.inpck);
    EXPECT_EQ((t.c_iflag & IXON) != 0, c.ixon);
    EXPECT_EQ((t.c_iflag & IXOFF) != 0, c.ixon);
    EXPECT_EQ((t.c_cflag & CRTSCTS) != 0, c.crtscts);
  }
}

TEST(SerialSettingsTest, IllegalStopBitsAreRefusedButTheHangUpChoiceStaysInTheSavedSettings) {
  termios saved = BusySettings();
  termios t{};
  std::memset(&t, 0x5A, sizeof t);
  const termios untouched = t;
  SerialLineOptions options;
  options.bits = 0;
  options.stop = 2;
  options.leaveDTROnClose = true;
  saved.c_cflag |= HUPCL;
  SerialSettingsResult result = MapSerialSettings(options, &saved, &t);
  EXPECT_EQ(result.status, SerialSettingsStatus::kIllegalCombination);
  EXPECT_EQ(result.message, "Illegal combination of properties.  You cannot have 5 bits with 2 stop bits.");
  EXPECT_EQ(std::memcmp(&t, &untouched, sizeof t), 0) << "nothing to apply";
  EXPECT_FALSE(saved.c_cflag & HUPCL);

  options.bits = 3;
  options.stop = 1;
  result = MapSerialSettings(options, &saved, &t);
  EXPECT_EQ(result.message, "Illegal combination of properties.  You cannot have 8 bits with 1.5 stop bits.");

  options.bits = 9;  // sent as 8 bits, and named so
  result = MapSerialSettings(options, &saved, &t);
  EXPECT_EQ(result.message, "Illegal combination of properties.  You cannot have 8 bits with 1.5 stop bits.");

  options.bits = 0;  // 5 bits with 1.5 stop bits is the one use of 1.5; it is sent as 1
  EXPECT_EQ(MapSerialSettings(options, &saved, &t).status, SerialSettingsStatus::kReady);
  EXPECT_FALSE(t.c_cflag & CSTOPB);
  EXPECT_FALSE(t.c_cflag & HUPCL);
  options.bits = 3;
  options.stop = 2;
  EXPECT_EQ(MapSerialSettings(options, nullptr, &t).status, SerialSettingsStatus::kReady) << "no saved settings";
}

TEST(SerialSettingsTest, DTRFlowControlLeavesTheInputSpeedAlone) {
  termios saved = BusySettings();
  termios without{}, with{};
  SerialLineOptions options;
  options.baud = 8;
  MapSerialSettings(options, &saved, &without);
  options.dtrFlowControl = true;
  MapSerialSettings(options, &saved, &with);
  EXPECT_EQ(std::memcmp(&with, &without, sizeof with), 0);
  EXPECT_EQ(with.c_cflag & 0x40000u, 0u);
}

TEST(SerialSettingsTest, BaudCodesMapToSpeedsAndBack) {
  const std::pair<int32_t, speed_t> table[] = {
      {0, B300},    {1, B600},    {2, B1200},   {3, B1800},  {4, B2400},  {5, B57600},
      {6, B4800},   {7, B57600},  {8, B9600},   {9, B57600}, {10, B19200}, {11, B57600},
      {12, B38400}, {13, B57600}, {14, B115200}, {15, B230400}, {16, B57600}, {49, B57600},
      {-3, B57600}, {B460800, B460800},
  };
  for (auto [baud, speed] : table) EXPECT_EQ(SerialSpeedForBaud(baud), speed) << baud;

  // A speed read back from the port becomes a value the next Reset reads the same way.
  for (int32_t baud : {0, 1, 2, 3, 4, 6, 8, 10, 12, 13, 14, 15, static_cast<int32_t>(B460800)})
    EXPECT_EQ(SerialSpeedForBaud(SerialBaudForSpeed(SerialSpeedForBaud(baud), -7)), SerialSpeedForBaud(baud));
  EXPECT_EQ(SerialBaudForSpeed(B9600, 5), 8) << "B9600 is 13 on this system, which would read as Baud57600";
  EXPECT_EQ(SerialBaudForSpeed(B57600, 5), 13);
  EXPECT_EQ(SerialBaudForSpeed(B110, 5), 5) << "a low code without a Baud constant keeps the property";
}

TEST(SerialSettingsTest, ASpeedCodeTheSystemRefusesIsAnInvalidOption) {
  termios t{};
  SerialLineOptions options;
  options.baud = 100;
  EXPECT_EQ(MapSerialSettings(options, nullptr, &t).status, SerialSettingsStatus::kInvalidSpeed);
}

TEST(SerialSettingsTest, ErrnoBecomesTheErrorCode) {
  EXPECT_EQ(SerialErrorFromErrno(EPERM), kVornSerialAccessDenied);
  EXPECT_EQ(SerialErrorFromErrno(EACCES), kVornSerialAccessDenied);
  EXPECT_EQ(SerialErrorFromErrno(EBUSY), kVornSerialAccessDenied);
  EXPECT_EQ(SerialErrorFromErrno(EIO), kVornSerialPortNotFound);
  EXPECT_EQ(SerialErrorFromErrno(EINVAL), kVornSerialInvalidOptions);
  EXPECT_EQ(SerialErrorFromErrno(ENOENT), ENOENT);
}

}  // namespace
}  // namespace vorn
