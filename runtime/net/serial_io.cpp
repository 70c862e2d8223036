#include "net/serial_io.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vorn {
namespace {

class PosixIO : public SerialIO {
 public:
  int Open(const std::string& path) override {
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return fd;
    ioctl(fd, TIOCEXCL);
    int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, (flags < 0 ? 0 : flags) | O_NONBLOCK);
    return fd;
  }
  void Close(int fd) override {
    ioctl(fd, TIOCNXCL);
    close(fd);
  }
  ssize_t Read(int fd, void* buffer, size_t count) override { return read(fd, buffer, count); }
  ssize_t Write(int fd, const void* bytes, size_t count) override { return write(fd, bytes, count); }
  int BytesWaiting(int fd, int* count) override { return ioctl(fd, FIONREAD, count); }
  int GetModemBits(int fd, int* bits) override { return ioctl(fd, TIOCMGET, bits); }
  int SetModemBits(int fd, int bits) override { return ioctl(fd, TIOCMSET, &bits); }
  int Drain(int fd) override { return tcdrain(fd); }
  int SendBreak(int fd) override { return tcsendbreak(fd, 0); }
  int GetAttributes(int fd, termios* settings) override { return tcgetattr(fd, settings); }
  int SetAttributes(int fd, const termios& settings) override { return tcsetattr(fd, TCSANOW, &settings); }
};

// Until a test installs its own, the system's calls are in use.
bool sReplaced = false;
SerialIO* sIO = nullptr;

}  // namespace

SerialIO* PosixSerialIO() {
  static PosixIO io;
  return &io;
}

SerialIO* GetSerialIO() { return sReplaced ? sIO : PosixSerialIO(); }

SerialIO* SetSerialIO(SerialIO* io) {
  SerialIO* previous = GetSerialIO();
  sReplaced = true;
  sIO = io;
  return previous;
}

}  // namespace vorn
