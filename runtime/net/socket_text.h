// Strings between compiled code and the socket layer.
#pragma once

#include <string>

#include "objects/runtime_object.h"
#include "strings/vstring.h"

namespace vorn {

std::string SocketText(VornStringRecord* text);
// A new record with one reference for the caller, tagged with the encoding object's
// encoding (unknown without one); nil for no bytes.
VornStringRecord* HandOutSocketBytes(const std::string& bytes, RuntimeObject* encoding);
// The same for bytes already in a record: handed over (retagged) without a copy.
VornStringRecord* HandOutSocketBytes(string bytes, RuntimeObject* encoding);
VornStringRecord* HandOutSocketText(const std::string& text);

}  // namespace vorn
