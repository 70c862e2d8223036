#include "net/socket_text.h"

#include "files/stream_support.h"
#include "objects/text_encoding_object.h"

namespace vorn {

std::string SocketText(VornStringRecord* text) { return std::string(string::Share(text).View()); }

VornStringRecord* HandOutSocketBytes(const std::string& bytes, RuntimeObject* encoding) {
  return HandOutBytes(bytes, GetEncodingFromTEObject(encoding));
}

VornStringRecord* HandOutReceived(const string& bytes) { return bytes.IsEmpty() ? nullptr : bytes.GetRetainedRep(); }

VornStringRecord* HandOutSocketText(const std::string& text) {
  return string(text, kEncodingASCII).GetRetainedRep();
}

}  // namespace vorn
