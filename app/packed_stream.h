/*
 * Packed property streams: the design-time settings of a window or control as one byte
 * string of records (a big-endian 16-bit property index, then the value in the form of the
 * property's type letter), handed to RuntimeMassPropertySetter. The calculator writes each
 * stream into a string record in its own data just before applying it.
 */
#ifndef CALCULATOR_PACKED_STREAM_H
#define CALCULATOR_PACKED_STREAM_H

#include <stdint.h>

#include "vorn/image_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

enum { kPackedStreamCapacity = 1024 };

typedef struct PackedStream {
  VornStringRecord record;
  int32_t used;       /* bytes of records so far */
  int32_t overflow;   /* a record did not fit; it and every later one were dropped */
  unsigned char buffer[kPackedStreamCapacity + 2]; /* length byte, records, NUL */
} PackedStream;

void PackedBegin(PackedStream *stream);
/* Type letter "i" (Integer), "b" (Boolean), "c" (Color: red, green, blue bytes), "f" (Single
 * and Double properties alike: four bytes of an IEEE single) and "s" (String: a 32-bit byte
 * count and the bytes; nil is the empty string). */
void PackedInteger(PackedStream *stream, uint16_t index, int32_t value);
void PackedBoolean(PackedStream *stream, uint16_t index, uint8_t value);
void PackedColor(PackedStream *stream, uint16_t index, uint32_t color);
void PackedSingle(PackedStream *stream, uint16_t index, float value);
void PackedString(PackedStream *stream, uint16_t index, const VornStringRecord *text);
/* The finished stream as a string record (the stream's own; it lives as long as the stream). */
VornStringRecord *PackedRecord(PackedStream *stream);

#ifdef __cplusplus
}
#endif

#endif
