/*
 * The serial-port classes as compiled code sees them: Serial (a port of the machine driven
 * through terminal I/O) and SerialPort (the description of one port), with the global
 * functions that list the ports. A Serial object transfers data and fires its events only
 * when the run loop polls it.
 */
#ifndef VORN_SERIAL_API_H
#define VORN_SERIAL_API_H

#include <stdint.h>

#include "vorn/array_abi.h"
#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Error codes of Serial.LastErrorCode; any other value is the errno of the failed call. */
enum {
  kVornSerialNoError = 0,
  kVornSerialAccessDenied = 100,
  kVornSerialPortNotFound = 101,
  kVornSerialInvalidOptions = 102
};

/* Codes of the modem lines; line i has the code 1 << i. */
enum {
  kVornSerialLineDTR = 1,
  kVornSerialLineRTS = 2,
  kVornSerialLineCTS = 4,
  kVornSerialLineDCD = 8,
  kVornSerialLineRI = 16,
  kVornSerialLineDSR = 32
};

typedef struct VornSerialObject {
  VornRuntimeObject header;
  int16_t bits;                   /* 0..3: 5 to 8 data bits */
  int16_t stop;                   /* 0: 1 stop bit, 1: 1.5, 2: 2 */
  int16_t parity;                 /* 0 none, 1 odd, 2 even */
  int16_t port;                   /* index of the port when no SerialPort is set */
  int32_t baud;                   /* a Baud constant, or a system speed code above 49 */
  uint8_t dataTerminalReady;      /* requested DTR level */
  uint8_t requestToSend;          /* requested RTS level */
  uint8_t dtrFlowControl;
  uint8_t ctsFlowControl;
  uint8_t xonFlowControl;
  uint8_t isOpen;
  uint8_t leaveDTROnClose;
  VornRuntimeObject *serialPort;  /* held */
  int32_t lastErrorCode;
  void *lineStates;               /* line index -> level last seen; owned */
  uint32_t watchedLines;          /* bit i set: line i is watched */
  int32_t descriptor;             /* -1 while closed */
  void *savedSettings;            /* the port's settings when it was opened; owned */
  uint8_t dataArrived;
  VornStringRecord *outputBuffer;
  VornStringRecord *inputBuffer;
  VornRuntimeObject *next;        /* the next Serial object; not held */
  uint8_t breakOn;
} VornSerialObject;

typedef struct VornSerialPortObject {
  VornRuntimeObject header;
  VornStringRecord *name;
  VornStringRecord *inputDriverName;
  VornStringRecord *outputDriverName;
  int32_t ratedSpeed;
  int32_t maximumSpeed;
} VornSerialPortObject;

/* Serial */
void RuntimeSerialInitializer(VornRuntimeObject *serial);
void RuntimeSerialFinalizer(VornRuntimeObject *serial);
uint8_t serialOpen(VornRuntimeObject *serial);
void serialClose(VornRuntimeObject *serial);
void serialWrite(VornRuntimeObject *serial, VornStringRecord *text);
VornStringRecord *serialRead(VornRuntimeObject *serial, int32_t byteCount, VornRuntimeObject *encoding);
VornStringRecord *serialReadAll(VornRuntimeObject *serial, VornRuntimeObject *encoding);
VornStringRecord *serialLookahead(VornRuntimeObject *serial, VornRuntimeObject *encoding);
void serialXmitWait(VornRuntimeObject *serial);
void serialFlush(VornRuntimeObject *serial);
void serialTick(VornRuntimeObject *serial);
void serialReset(VornRuntimeObject *serial);
void serialLeaveDTROnClose(VornRuntimeObject *serial);
void serialSetBreak(VornRuntimeObject *serial);
void serialClearBreak(VornRuntimeObject *serial);
uint8_t SerialEof(VornRuntimeObject *serial);
uint8_t SerialError(VornRuntimeObject *serial);
void SerialWatchLines(VornRuntimeObject *serial, VornArray *linesToWatch);
uint8_t LineStateGetter(VornRuntimeObject *serial, int32_t line);
void LineStateSetter(VornRuntimeObject *serial, int32_t line, uint8_t level);
int32_t GetWin32DriverHandle(VornRuntimeObject *serial, int32_t param);
int32_t GetMacInputDriverRef(VornRuntimeObject *serial, int32_t param);
int32_t GetMacOutputDriverRef(VornRuntimeObject *serial, int32_t param);
int32_t GetPosixDescriptor(VornRuntimeObject *serial, int32_t param);
int32_t SerialBytesAvailable(VornRuntimeObject *serial, int32_t param);
int32_t SerialBytesLeftToSend(VornRuntimeObject *serial, int32_t param);

/* SerialPort and the port list: members of the System module, which comes first */
void SerialPortDestructor(VornRuntimeObject *port);
int32_t getSerialPortCount(VornRuntimeObject *system, int32_t param);
VornRuntimeObject *getSerialPort(VornRuntimeObject *system, int32_t index);
VornRuntimeObject *getSerialPortByPath(VornRuntimeObject *system, VornStringRecord *path);

#ifdef __cplusplus
}
#endif

#endif
