// A store paired with a text encoding, for the callers that write and read records of compact
// values and lines (the database pages, the file-type list). Every operation first checks that a
// store is set; without one it reports the failed check and fails instead of going on.
#pragma once

#include <cstdint>

#include "files/random_access_mechanism.h"
#include "strings/vstring.h"

namespace vorn {

struct StreamWriter {
  RandomAccessMechanism* mechanism = nullptr;
  EncodingCode encoding = kEncodingUTF8;

  bool SetScramble(bool on);
  bool Write(const void* buffer, int32_t count);
  bool WriteCompactInteger(int32_t value);
  // A compact length, then the text's bytes as they are.
  bool WriteCompactString(const string& text);
  bool WriteByte(uint8_t value);
  bool WriteShort(int16_t value);
  bool WriteLong(int32_t value);
  // The text in the writer's encoding, then a line feed.
  bool WriteLine(const string& text);
};

struct StreamReader {
  RandomAccessMechanism* mechanism = nullptr;
  EncodingCode encoding = kEncodingUTF8;

  bool SetScramble(bool on);
  bool Read(void* buffer, int32_t count);
  bool ReadCompactInteger(int32_t* value);
  // The low 16 bits of a compact integer.
  bool ReadCompactShort(int16_t* value);
  // A compact length n and n bytes, tagged with the reader's encoding. False, the target left
  // alone, when the length is missing, larger than what the store still holds, or the bytes
  // do not all arrive.
  bool ReadCompactString(string* text);
  bool ReadByte(uint8_t* value);
  bool ReadShort(int16_t* value);
  bool ReadLong(int32_t* value);
};

}  // namespace vorn
