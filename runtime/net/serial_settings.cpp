#include "net/serial_settings.h"

#include <cerrno>
#include <iterator>

#include "vorn/serial_api.h"

namespace vorn {
namespace {

struct BaudSpeed {
  int32_t baud;
  speed_t speed;
};

// Baud constants with a speed of their own; 3600, 7200, 14400 and 28800 have none.
constexpr BaudSpeed kBaudSpeeds[] = {
    {0, B300},    {1, B600},    {2, B1200},   {3, B1800},    {4, B2400},    {6, B4800},
    {8, B9600},   {10, B19200}, {12, B38400}, {13, B57600},  {14, B115200}, {15, B230400},
};

constexpr int32_t kLastBaudConstant = 49;

void SetFlag(tcflag_t* flags, tcflag_t bits, bool on) {
  if (on)
    *flags |= bits;
  else
    *flags &= ~bits;
}

// The data bits a Bits code sends: codes without a size of their own send 8.
int32_t DataBits(int32_t bits) { return bits >= 0 && bits <= 2 ? bits + 5 : 8; }

// Names the stop bits that cannot go with the data bits; nil when they can.
const char* IllegalStopBits(int32_t dataBits, int32_t stop) {
  if (dataBits == 5 && stop == 2) return "2";
  if (dataBits != 5 && stop == 1) return "1.5";
  return nullptr;
}

}  // namespace

speed_t SerialSpeedForBaud(int32_t baud) {
  if (baud > kLastBaudConstant) return static_cast<speed_t>(baud);
  for (const BaudSpeed& row : kBaudSpeeds)
    if (row.baud == baud) return row.speed;
  return B57600;
}

int32_t SerialBaudForSpeed(speed_t speed, int32_t current) {
  for (const BaudSpeed& row : kBaudSpeeds)
    if (row.speed == speed) return row.baud;
  if (speed > static_cast<speed_t>(kLastBaudConstant)) return static_cast<int32_t>(speed);
  return current;
}

SerialSettingsResult MapSerialSettings(const SerialLineOptions& options, termios* saved, termios* settings) {
  termios t{};
  if (saved) t = *saved;

  t.c_cflag |= CREAD | CLOCAL;
  bool hangUp = !options.leaveDTROnClose;
  SetFlag(&t.c_cflag, HUPCL, hangUp);
  if (saved) SetFlag(&saved->c_cflag, HUPCL, hangUp);

  int32_t dataBits = DataBits(options.bits);
  if (const char* stopText = IllegalStopBits(dataBits, options.stop)) {
    return {SerialSettingsStatus::kIllegalCombination, "Illegal combination of properties.  You cannot have " +
                                                           std::to_string(dataBits) + " bits with " + stopText +
                                                           " stop bits."};
  }

  t.c_cflag &= ~CSIZE;
  switch (dataBits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    default: t.c_cflag |= CS8; break;
  }
  SetFlag(&t.c_cflag, CSTOPB, options.stop == 2);
  if (options.parity == 0) {
    t.c_cflag &= ~PARENB;
  } else {
    t.c_cflag |= PARENB;
    SetFlag(&t.c_cflag, PARODD, options.parity == 1);
    t.c_iflag |= INPCK;
  }
  // Linux's termios has no DTR flow control: the flag bit other systems use for it (0x40000)
  // lies inside CIBAUD here and would change the input speed, so DTR leaves the flags alone.
  t.c_lflag &= ~(ISIG | ICANON | ECHO | ECHOE);
  // Received bytes arrive as sent: a port fresh from the system translates carriage returns
  // and may strip the eighth bit, which would corrupt binary data.
  t.c_iflag &= ~(ICRNL | INLCR | IGNCR | ISTRIP);
  if (options.xonFlowControl) {
    t.c_iflag |= IXON | IXOFF;
    t.c_cflag &= ~CRTSCTS;
  } else if (options.ctsFlowControl) {
    t.c_iflag &= ~(IXON | IXOFF);
    t.c_cflag |= CRTSCTS;
  } else {
    t.c_iflag &= ~(IXON | IXOFF);
    t.c_cflag &= ~CRTSCTS;
  }
  t.c_oflag &= ~OPOST;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  t.c_cc[VSTART] = 17;
  t.c_cc[VSTOP] = 19;

  speed_t speed = SerialSpeedForBaud(options.baud);
  if (cfsetispeed(&t, speed) != 0 || cfsetospeed(&t, speed) != 0) return {SerialSettingsStatus::kInvalidSpeed, {}};
  *settings = t;
  return {};
}

int32_t SerialErrorFromErrno(int err) {
  switch (err) {
    case EPERM:
    case EACCES:
    case EBUSY: return kVornSerialAccessDenied;
    case EIO: return kVornSerialPortNotFound;
    case EINVAL: return kVornSerialInvalidOptions;
    default: return err;
  }
}

}  // namespace vorn
