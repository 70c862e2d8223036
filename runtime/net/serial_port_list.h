// The machine's serial ports: paths made of a prefix and an index, counted while they exist.
#pragma once

#include <cstdint>
#include <string>

namespace vorn {

// "/dev/tts/" when /dev/tts is a folder, else "/dev/ttyS"; decided on first use.
const std::string& SerialPortPathPrefix();
// Replaces the prefix (tests list ports of a folder of their own); empty decides it again.
void SetSerialPortPathPrefix(const std::string& prefix);

// The prefix followed by the index in decimal.
std::string SerialPortPath(int32_t index);
// The number of consecutive indexes from 0 whose path exists.
int32_t CountSerialPorts();

}  // namespace vorn
