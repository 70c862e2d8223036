#include "net/serial_port_list.h"

#include <sys/stat.h>

namespace vorn {
namespace {

std::string& Prefix() {
  static auto* prefix = new std::string();
  return *prefix;
}

bool IsFolder(const char* path) {
  struct stat info {};
  return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

}  // namespace

const std::string& SerialPortPathPrefix() {
  std::string& prefix = Prefix();
  if (prefix.empty()) prefix = IsFolder("/dev/tts") ? "/dev/tts/" : "/dev/ttyS";
  return prefix;
}

void SetSerialPortPathPrefix(const std::string& prefix) { Prefix() = prefix; }

std::string SerialPortPath(int32_t index) { return SerialPortPathPrefix() + std::to_string(index); }

int32_t CountSerialPorts() {
  int32_t count = 0;
  while (count < INT32_MAX && Exists(SerialPortPath(count))) ++count;
  return count;
}

}  // namespace vorn
