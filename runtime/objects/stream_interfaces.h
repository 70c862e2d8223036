// The Readable and Writeable interfaces: what the stream classes and sockets share, so that
// code can read from or write to any of them alike.
#pragma once

#include "objects/object_definition.h"

namespace vorn {

// EOF () As Boolean, Read (Count As Integer, [encoding As TextEncoding]) As String,
// ReadError () As Boolean.
ObjectDefinition* GetReadableInterfaceDefinition();
// Write (text As String), WriteError () As Boolean, Flush ().
ObjectDefinition* GetWriteableInterfaceDefinition();

}  // namespace vorn
