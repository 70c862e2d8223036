// How a Serial object's properties become terminal settings. Pure functions over termios
// records, so every flag can be checked without a device.
#pragma once

#include <termios.h>

#include <cstdint>
#include <string>

namespace vorn {

// The properties that decide the settings.
struct SerialLineOptions {
  int32_t bits = 3;    // 0..3: 5 to 8 data bits
  int32_t stop = 0;    // 0: 1, 1: 1.5, 2: 2 stop bits
  int32_t parity = 0;  // 0 none, 1 odd, 2 even
  int32_t baud = 13;   // a Baud constant, or a speed code above 49
  bool dtrFlowControl = false;
  bool ctsFlowControl = false;
  bool xonFlowControl = false;
  bool leaveDTROnClose = false;
};

enum class SerialSettingsStatus {
  kReady,
  // Data bits and stop bits that cannot go together; nothing is to be applied.
  kIllegalCombination,
  // A speed code the system refuses; nothing is to be applied.
  kInvalidSpeed,
};

struct SerialSettingsResult {
  SerialSettingsStatus status = SerialSettingsStatus::kReady;
  std::string message;  // the exception text of kIllegalCombination
};

// Builds the settings to apply into `settings`, starting from `*saved` (all zero when nil).
// The hang-up-on-close choice is written into `*saved` as well, even when the options are
// refused, so that closing the port restores it.
SerialSettingsResult MapSerialSettings(const SerialLineOptions& options, termios* saved, termios* settings);

// The speed code of a Baud value: the table's speeds, 57600 for codes without a speed of
// their own and for negative values, the value itself above 49.
speed_t SerialSpeedForBaud(int32_t baud);

// The Baud value that stands for a speed the port reports: the table's constant when the
// speed has one, the code itself when it is above 49 (read as itself again), else `current`
// (a low code would be misread as a Baud constant).
int32_t SerialBaudForSpeed(speed_t speed, int32_t current);

// The LastErrorCode of a failed call's errno.
int32_t SerialErrorFromErrno(int err);

}  // namespace vorn
