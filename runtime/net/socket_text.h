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
// Received bytes already in a string (tagged when taken): handed over without a copy.
VornStringRecord* HandOutReceived(const string& bytes);
VornStringRecord* HandOutSocketText(const std::string& text);

}  // namespace vorn
