#include "net/serial_control.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "net/serial_class.h"
#include "net/serial_io.h"
#include "net/serial_port_list.h"
#include "net/serial_settings.h"
#include "objects/exceptions.h"
#include "strings/vstring.h"

namespace vorn {
namespace {

int32_t sSuspension = 0;
VornSerialObject* sFirst = nullptr;

VornSerialObject* Next(VornSerialObject* serial) { return reinterpret_cast<VornSerialObject*>(serial->next); }

termios* SavedSettings(VornSerialObject* serial) { return static_cast<termios*>(serial->savedSettings); }

void Fail(VornSerialObject* serial, int err) { FireSerialError(serial, SerialErrorFromErrno(err)); }

std::string PathOf(VornSerialObject* serial) {
  if (!serial->serialPort) return SerialPortPath(serial->port);
  VornSerialPortObject* port = SerialPortFields(serial->serialPort);
  return port ? std::string(SerialBufferBytes(port->inputDriverName)) : std::string();
}

SerialLineOptions OptionsOf(const VornSerialObject* serial) {
  SerialLineOptions options;
  options.bits = serial->bits;
  options.stop = serial->stop;
  options.parity = serial->parity;
  options.baud = serial->baud;
  options.dtrFlowControl = serial->dtrFlowControl != 0;
  options.ctsFlowControl = serial->ctsFlowControl != 0;
  options.xonFlowControl = serial->xonFlowControl != 0;
  options.leaveDTROnClose = serial->leaveDTROnClose != 0;
  return options;
}

void SetModemBit(int* bits, int bit, bool on) {
  if (on)
    *bits |= bit;
  else
    *bits &= ~bit;
}

// A signal whose handler does not ask for restarted calls stops a call before it moved
// anything (EINTR): nothing was lost and nothing failed, so the call is made again.
template <typename Call>
auto Uninterrupted(Call call) {
  decltype(call()) result;
  do result = call();
  while (result < 0 && errno == EINTR);
  return result;
}

// Writes the output buffer once and drops what the port took; answers the byte count.
size_t WriteOnce(VornSerialObject* serial, SerialIO* io) {
  std::string_view bytes = SerialBufferBytes(serial->outputBuffer);
  if (bytes.empty()) return 0;
  ssize_t written = Uninterrupted([&] { return io->Write(serial->descriptor, bytes.data(), bytes.size()); });
  if (written < 0) {
    int err = errno;
    if (err != EAGAIN && err != EWOULDBLOCK) Fail(serial, err);
    return 0;
  }
  size_t taken = std::min(static_cast<size_t>(written), bytes.size());
  StoreSerialBuffer(serial->outputBuffer, bytes.substr(taken));
  return taken;
}

void ReadWaiting(VornSerialObject* serial, SerialIO* io) {
  int waiting = 0;
  if (io->BytesWaiting(serial->descriptor, &waiting) != 0 || waiting <= 0) return;
  std::string bytes(static_cast<size_t>(waiting), '\0');
  ssize_t got = Uninterrupted([&] { return io->Read(serial->descriptor, bytes.data(), bytes.size()); });
  if (got < 0) {
    int err = errno;
    if (err != EAGAIN && err != EWOULDBLOCK) Fail(serial, err);
    return;
  }
  if (got == 0) return;
  bytes.resize(std::min(static_cast<size_t>(got), bytes.size()));
  std::string input(SerialBufferBytes(serial->inputBuffer));
  StoreSerialBuffer(serial->inputBuffer, input + bytes);
  serial->dataArrived = 1;
}

}  // namespace

std::string_view SerialBufferBytes(VornStringRecord* buffer) {
  if (!buffer || !buffer->buffer || buffer->length <= 0) return {};
  // The buffer starts with the length byte.
  return {buffer->buffer + 1, static_cast<size_t>(buffer->length)};
}

void StoreSerialBuffer(VornStringRecord*& buffer, std::string_view bytes) {
  // Bytes, not text: the unknown encoding keeps joins from converting them.
  StringRep* rep = bytes.empty() ? nullptr
                                 : NewStringRep(bytes.data(), RecordLength(bytes.size()), kEncodingUnknown);
  ReplaceStringRep(buffer, rep);
  ReleaseStringRep(rep);
}

bool OpenSerial(VornSerialObject* serial) {
  SerialIO* io = GetSerialIO();
  if (!io) return false;
  if (serial->isOpen) return true;
  int fd = io->Open(PathOf(serial));
  if (fd < 0) {
    int err = errno;
    serial->isOpen = 0;
    Fail(serial, err);
    return false;
  }
  serial->descriptor = fd;
  serial->isOpen = 1;
  if (!serial->savedSettings) serial->savedSettings = new termios{};
  io->GetAttributes(fd, SavedSettings(serial));
  ResetSerial(serial);
  return serial->isOpen != 0;
}

void ResetSerial(VornSerialObject* serial) {
  SerialIO* io = GetSerialIO();
  if (!io || !serial->isOpen) return;
  termios settings{};
  SerialSettingsResult result = MapSerialSettings(OptionsOf(serial), SavedSettings(serial), &settings);
  if (result.status == SerialSettingsStatus::kIllegalCombination) {
    RuntimeRaiseExceptionWithMessage(GetUnsupportedFormatExceptionClassDefinition(),
                                     string(result.message, kEncodingASCII));
    return;
  }
  if (result.status == SerialSettingsStatus::kInvalidSpeed) {
    FireSerialError(serial, kVornSerialInvalidOptions);
    return;
  }
  int fd = serial->descriptor;
  if (io->SetAttributes(fd, settings) != 0) {
    Fail(serial, errno);
    return;
  }
  int bits = 0;
  if (io->GetModemBits(fd, &bits) != 0) {
    Fail(serial, errno);
    return;
  }
  SetModemBit(&bits, TIOCM_DTR, serial->dataTerminalReady != 0);
  SetModemBit(&bits, TIOCM_RTS, serial->requestToSend != 0);
  if (io->SetModemBits(fd, bits) != 0) {
    Fail(serial, errno);
    return;
  }
  termios current{};
  if (io->GetAttributes(fd, &current) == 0) serial->baud = SerialBaudForSpeed(cfgetispeed(&current), serial->baud);
}

void CloseSerial(VornSerialObject* serial) {
  SerialIO* io = GetSerialIO();
  if (serial->isOpen && io) {
    if (termios* saved = SavedSettings(serial)) io->SetAttributes(serial->descriptor, *saved);
    io->Close(serial->descriptor);
  }
  delete SavedSettings(serial);
  serial->savedSettings = nullptr;
  serial->descriptor = -1;
  StoreSerialBuffer(serial->inputBuffer, {});
  serial->isOpen = 0;
}

void SerialTransferPass(VornSerialObject* serial) {
  SerialIO* io = GetSerialIO();
  if (sSuspension > 0 || !serial->isOpen || !io) return;
  // An event handler may close the port; every step after an event checks again.
  if (serial->breakOn) io->SendBreak(serial->descriptor);
  WriteOnce(serial, io);
  if (!serial->isOpen) return;
  ReadWaiting(serial, io);
  if (!serial->isOpen) return;
  if (serial->dataArrived) {
    serial->dataArrived = 0;
    FireSerialDataAvailable(serial);
    if (!serial->isOpen) return;
  }
  CheckSerialLines(serial);
}

void WriteSerial(VornSerialObject* serial, std::string_view bytes) {
  if (!serial->isOpen) OpenSerial(serial);
  std::string output(SerialBufferBytes(serial->outputBuffer));
  StoreSerialBuffer(serial->outputBuffer, output.append(bytes));
  SerialIO* io = GetSerialIO();
  if (serial->isOpen && io) WriteOnce(serial, io);
}

void XmitWaitSerial(VornSerialObject* serial) {
  SerialIO* io = GetSerialIO();
  while (io && serial->isOpen && !SerialBufferBytes(serial->outputBuffer).empty()) {
    size_t written = WriteOnce(serial, io);
    if (!serial->isOpen) return;
    if (Uninterrupted([&] { return io->Drain(serial->descriptor); }) != 0) {
      Fail(serial, errno);
      return;
    }
    if (written == 0) return;
  }
}

void LinkSerial(VornSerialObject* serial) {
  serial->next = sFirst ? &sFirst->header : nullptr;
  sFirst = serial;
}

void UnlinkSerial(VornSerialObject* serial) {
  VornSerialObject* previous = nullptr;
  for (VornSerialObject* item = sFirst; item; previous = item, item = Next(item)) {
    if (item != serial) continue;
    if (previous)
      previous->next = serial->next;
    else
      sFirst = Next(serial);
    break;
  }
  serial->next = nullptr;
}

void SuspendSerialEvents() { ++sSuspension; }
void ResumeSerialEvents() {
  if (sSuspension > 0) --sSuspension;
}
bool SerialEventsSuspended() { return sSuspension > 0; }

void PollSerialControls() {
  // Handlers may make, close or release Serial objects: the pass walks a held copy of the
  // list, leaving out objects whose destruction has begun.
  std::vector<VornSerialObject*> serials;
  for (VornSerialObject* serial = sFirst; serial; serial = Next(serial))
    if (serial->header.refCount > 0) serials.push_back(serial);
  for (VornSerialObject* serial : serials) RuntimeLockObject(&serial->header);
  for (VornSerialObject* serial : serials) SerialTransferPass(serial);
  for (VornSerialObject* serial : serials) RuntimeUnlockObject(&serial->header);
}

}  // namespace vorn
