// The language's Serial and SerialPort classes: definitions, and the events of Serial.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_object.h"
#include "vorn/serial_api.h"

namespace vorn {

ObjectDefinition* GetSerialClassDefinition();
ObjectDefinition* GetSerialPortClassDefinition();
// Both, Serial first.
void RegisterSerialClasses();

// The fields of a Serial or SerialPort object; nil for nil or an object of another class.
VornSerialObject* SerialFields(RuntimeObject* object);
VornSerialPortObject* SerialPortFields(RuntimeObject* object);

void FireSerialDataAvailable(VornSerialObject* serial);
// Stores the code in LastErrorCode and fires Error.
void FireSerialError(VornSerialObject* serial, int32_t code);
void FireSerialLineStateChanged(VornSerialObject* serial, VornArray* changedLines);

}  // namespace vorn
