// The language's Blowfish functions: one key schedule for the program, set by
// BlowfishInitialize, used by the others.
#include "objects/blowfish_entry_points.h"

#include <string>

#include "objects/exceptions.h"
#include "strings/blowfish.h"
#include "strings/vstring.h"

namespace {

vorn::BlowfishCipher& Cipher() {
  static vorn::BlowfishCipher cipher;
  return cipher;
}

// The bytes zero-padded to whole blocks, run through the cipher, tagged with no encoding.
VornStringRecord* TransformBlocks(VornStringRecord* data, bool encipher) {
  vorn::string text = vorn::string::Share(data);
  if (text.IsEmpty()) return nullptr;
  int32_t blocks = text.Length() / 8 + (text.Length() % 8 != 0);
  std::string bytes(text.View());
  bytes.resize(static_cast<size_t>(blocks) * 8, '\0');
  auto* raw = reinterpret_cast<uint8_t*>(bytes.data());
  if (encipher) {
    Cipher().EncipherBlocks(raw, blocks);
  } else {
    Cipher().DecipherBlocks(raw, blocks);
  }
  return vorn::string(bytes, vorn::kEncodingUnknown).GetRetainedRep();
}

}  // namespace

extern "C" {

void BlowfishInitialize(VornStringRecord* key) {
  vorn::string text = vorn::string::Share(key);
  if (!Cipher().SetKey(reinterpret_cast<const uint8_t*>(text.CString()), text.Length())) {
    RuntimeRaiseOutOfBoundsException();
  }
}

void BlowfishEncipher(uint32_t* left, uint32_t* right) {
  if (!left || !right) {
    RuntimeRaiseNilObjectException();
    return;
  }
  Cipher().Encipher(*left, *right);
}

void BlowfishDecipher(uint32_t* left, uint32_t* right) {
  if (!left || !right) {
    RuntimeRaiseNilObjectException();
    return;
  }
  Cipher().Decipher(*left, *right);
}

VornStringRecord* BlowfishEncipherByBlock(VornStringRecord* data) { return TransformBlocks(data, true); }

VornStringRecord* BlowfishDecipherByBlock(VornStringRecord* data) { return TransformBlocks(data, false); }

}  // extern "C"
