#include "packed_stream.h"

void PackedBegin(PackedStream *stream) {
  stream->used = 0;
  stream->overflow = 0;
  stream->record.refCount = 1;
  stream->record.buffer = (char *)stream->buffer;
  stream->record.bufferSize = 2;
  stream->record.length = 0;
  stream->record.encoding = kVornEncodingUnknown;
  stream->buffer[0] = 0;
  stream->buffer[1] = 0;
}

/* Room for a whole record, or the stream is marked overflowed: a partial record would shift
 * every later value onto the wrong bytes. */
static unsigned char *Reserve(PackedStream *stream, int32_t size) {
  if (stream->overflow || size > kPackedStreamCapacity - stream->used) {
    stream->overflow = 1;
    return 0;
  }
  unsigned char *at = stream->buffer + 1 + stream->used;
  stream->used += size;
  return at;
}

static unsigned char *PutU16(unsigned char *at, uint16_t value) {
  at[0] = (unsigned char)(value >> 8);
  at[1] = (unsigned char)value;
  return at + 2;
}

static unsigned char *PutU32(unsigned char *at, uint32_t value) {
  at[0] = (unsigned char)(value >> 24);
  at[1] = (unsigned char)(value >> 16);
  at[2] = (unsigned char)(value >> 8);
  at[3] = (unsigned char)value;
  return at + 4;
}

void PackedInteger(PackedStream *stream, uint16_t index, int32_t value) {
  unsigned char *at = Reserve(stream, 6);
  if (at) PutU32(PutU16(at, index), (uint32_t)value);
}

void PackedBoolean(PackedStream *stream, uint16_t index, uint8_t value) {
  unsigned char *at = Reserve(stream, 3);
  if (!at) return;
  at = PutU16(at, index);
  at[0] = value ? 1 : 0;
}

void PackedColor(PackedStream *stream, uint16_t index, uint32_t color) {
  unsigned char *at = Reserve(stream, 5);
  if (!at) return;
  at = PutU16(at, index);
  at[0] = (unsigned char)(color >> 16);
  at[1] = (unsigned char)(color >> 8);
  at[2] = (unsigned char)color;
}

void PackedSingle(PackedStream *stream, uint16_t index, float value) {
  union {
    float single;
    uint32_t bits;
  } pun;
  pun.single = value;
  unsigned char *at = Reserve(stream, 6);
  if (at) PutU32(PutU16(at, index), pun.bits);
}

void PackedString(PackedStream *stream, uint16_t index, const VornStringRecord *text) {
  int32_t length = text && text->length > 0 ? text->length : 0;
  unsigned char *at = Reserve(stream, 6 + length);
  if (!at) return;
  at = PutU32(PutU16(at, index), (uint32_t)length);
  for (int32_t i = 0; i < length; ++i) at[i] = (unsigned char)text->buffer[1 + i];
}

VornStringRecord *PackedRecord(PackedStream *stream) {
  stream->record.length = stream->used;
  stream->record.bufferSize = stream->used + 2;
  stream->buffer[0] = (unsigned char)(stream->used > 255 ? 255 : stream->used);
  stream->buffer[1 + stream->used] = 0;
  return &stream->record;
}
