// What a Serial object does with its port: opening and configuring it, the transfer pass
// the run loop makes, waiting for output to drain, and watching the modem lines. Events are
// fired through the class (serial_class.h); every caller holds the object (SerialHold) so
// that a handler releasing it cannot free it under the running operation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "objects/runtime_object.h"
#include "vorn/serial_api.h"

namespace vorn {

// Holds a reference to the object for the lifetime of the guard.
class SerialHold {
 public:
  explicit SerialHold(VornSerialObject* serial) : mObject(&serial->header) { RuntimeLockObject(mObject); }
  ~SerialHold() { RuntimeUnlockObject(mObject); }
  SerialHold(const SerialHold&) = delete;
  SerialHold& operator=(const SerialHold&) = delete;

 private:
  RuntimeObject* mObject;
};

// Answers whether the port is open afterwards.
bool OpenSerial(VornSerialObject* serial);
// Applies the properties to the open port.
void ResetSerial(VornSerialObject* serial);
// Restores the port's settings and closes it; fires nothing.
void CloseSerial(VornSerialObject* serial);
// One transfer pass; nothing while the port is closed or serial events are suspended.
void SerialTransferPass(VornSerialObject* serial);
// Opens the port when needed, queues the bytes and writes what the port takes at once.
void WriteSerial(VornSerialObject* serial, std::string_view bytes);
// Writes until the output is sent, the port takes nothing or draining fails.
void XmitWaitSerial(VornSerialObject* serial);

// The level of modem line 0..5; false while closed, for other lines or when it cannot be read.
bool SerialLineLevel(VornSerialObject* serial, int32_t line);
// Chooses the watched lines from an Integer array of line codes (nil: none).
void WatchSerialLines(VornSerialObject* serial, VornArray* linesToWatch);
// Fires LineStateChanged when watched lines changed since they were last seen.
void CheckSerialLines(VornSerialObject* serial);

// The buffers' bytes; the view lasts until the buffer changes.
std::string_view SerialBufferBytes(VornStringRecord* buffer);
void StoreSerialBuffer(VornStringRecord*& buffer, std::string_view bytes);

// The list of Serial objects that PollSerialControls walks.
void LinkSerial(VornSerialObject* serial);
void UnlinkSerial(VornSerialObject* serial);

// Counter that holds back every transfer pass while positive; a resume without a matching
// suspend is ignored.
void SuspendSerialEvents();
void ResumeSerialEvents();
bool SerialEventsSuspended();
// A transfer pass of every Serial object, first to last.
void PollSerialControls();

}  // namespace vorn
