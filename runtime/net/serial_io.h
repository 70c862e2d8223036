// The device calls of the serial ports, behind one interface so that the transfer logic can
// run against a scripted device. Every call answers like its POSIX counterpart: -1 (or a
// negative count) with errno set on failure.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <string>

namespace vorn {

class SerialIO {
 public:
  virtual ~SerialIO() = default;
  // Opens read-write, non-blocking and without becoming the controlling terminal, then makes
  // the port exclusive; answers the descriptor.
  virtual int Open(const std::string& path) = 0;
  // Releases exclusivity and closes the descriptor.
  virtual void Close(int fd) = 0;
  virtual ssize_t Read(int fd, void* buffer, size_t count) = 0;
  virtual ssize_t Write(int fd, const void* bytes, size_t count) = 0;
  virtual int BytesWaiting(int fd, int* count) = 0;  // FIONREAD
  virtual int GetModemBits(int fd, int* bits) = 0;   // TIOCMGET
  virtual int SetModemBits(int fd, int bits) = 0;    // TIOCMSET
  virtual int Drain(int fd) = 0;
  virtual int SendBreak(int fd) = 0;  // duration 0
  virtual int GetAttributes(int fd, termios* settings) = 0;
  virtual int SetAttributes(int fd, const termios& settings) = 0;  // at once
};

// The calls in use: the system's, unless a test installed others; nil means serial ports
// are not available.
SerialIO* GetSerialIO();
// Installs `io` (nil: no serial ports) and answers the one it replaces.
SerialIO* SetSerialIO(SerialIO* io);
// The system's calls.
SerialIO* PosixSerialIO();

}  // namespace vorn
