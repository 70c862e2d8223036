// Byte-order helpers. The host is little-endian; the file formats that use these (database
// files, packed property streams, resources) fix their own byte order, so every value is
// assembled byte by byte and never read through a cast of the buffer.
#pragma once

#include <cstdint>

#include "strings/vstring.h"

namespace vorn {

// The two bytes exchanged; a caller widening the result gets it sign-extended.
int16_t SwapBytesShort(int16_t value);
int16_t SwapBytes16(int16_t value);
int32_t SwapBytesLong(int32_t value);
uint32_t SwapBytes32(uint32_t value);
double SwapBytesDouble(double value);

// Reverses count bytes in place; nothing for a count below 2 or a nil pointer.
void ReverseBytes(void* bytes, int32_t count);
// Copies count bytes from source to destination in reverse order (the areas must not overlap).
void CopyBytesReversed(void* destination, const void* source, int32_t count);

// Big-endian fields of the database file and of column values.
void PutSwapped16(void* destination, uint16_t value);
void PutSwapped32(void* destination, uint32_t value);
uint16_t GetSwapped16(const void* source);
uint32_t GetSwapped32(const void* source);
double GetSwappedDouble(const void* source);
void PutSwappedDouble(void* destination, double value);

uint32_t BigEndianBytesToUInt32(const void* bytes);
uint16_t LittleEndianBytesToUInt16(const void* bytes);

// Binary strings (encoding unknown, so joining or comparing them never converts the bytes).
string UInt16ToLittleEndianString(uint16_t value);
string UInt32ToBigEndianString(uint32_t value);

}  // namespace vorn
