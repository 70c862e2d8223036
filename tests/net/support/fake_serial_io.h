// A scripted serial device: what the port holds for reading, how much it takes per write,
// its modem bits, and which calls fail with which errno.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "net/serial_io.h"

namespace vorn::testing {

class FakeSerialIO : public SerialIO {
 public:
  static constexpr int kDescriptor = 42;

  int Open(const std::string& path) override {
    opened.push_back(path);
    if (openErrno) return Fail(openErrno);
    open = true;
    return kDescriptor;
  }
  void Close(int) override {
    open = false;
    ++closes;
  }
  ssize_t Read(int, void* buffer, size_t count) override {
    if (Interrupted(&readInterruptions)) return Fail(EINTR);
    if (readErrno) return Fail(readErrno);
    count = std::min(count, incoming.size());
    std::memcpy(buffer, incoming.data(), count);
    incoming.erase(0, count);
    return static_cast<ssize_t>(count);
  }
  ssize_t Write(int, const void* bytes, size_t count) override {
    if (Interrupted(&writeInterruptions)) return Fail(EINTR);
    if (writeErrno) return Fail(writeErrno);
    count = std::min(count, writeLimit);
    written.append(static_cast<const char*>(bytes), count);
    return static_cast<ssize_t>(count);
  }
  int BytesWaiting(int, int* count) override {
    *count = static_cast<int>(incoming.size());
    return 0;
  }
  int GetModemBits(int, int* bits) override {
    if (modemErrno) return Fail(modemErrno);
    *bits = modem;
    return 0;
  }
  int SetModemBits(int, int bits) override {
    if (modemErrno) return Fail(modemErrno);
    modem = bits;
    return 0;
  }
  int Drain(int) override {
    ++drains;
    if (Interrupted(&drainInterruptions)) return Fail(EINTR);
    return drainErrno ? Fail(drainErrno) : 0;
  }
  int SendBreak(int) override {
    ++breaks;
    return 0;
  }
  int GetAttributes(int, termios* settings) override {
    *settings = attributes;
    return 0;
  }
  int SetAttributes(int, const termios& settings) override {
    if (setErrno) return Fail(setErrno);
    attributes = settings;
    applied.push_back(settings);
    return 0;
  }

  bool open = false;
  std::vector<std::string> opened;
  int closes = 0;
  std::string incoming;
  std::string written;
  size_t writeLimit = static_cast<size_t>(-1);
  int modem = 0;
  int drains = 0;
  int breaks = 0;
  termios attributes{};
  std::vector<termios> applied;
  int openErrno = 0, readErrno = 0, writeErrno = 0, modemErrno = 0, drainErrno = 0, setErrno = 0;
  // How many of the next calls a signal interrupts (EINTR) before they move anything.
  int readInterruptions = 0, writeInterruptions = 0, drainInterruptions = 0;

 private:
  static bool Interrupted(int* left) { return *left > 0 && (*left)-- > 0; }
  static int Fail(int err) {
    errno = err;
    return -1;
  }
};

}  // namespace vorn::testing
