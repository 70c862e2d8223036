/*
 * Layouts shared by the runtime and by compiled application code.
 *
 * Compiled code is C built for x86-64 without libc; it sees the runtime only through these
 * records and through entry points bound by name when the image is loaded.
 */
#ifndef VORN_IMAGE_ABI_H
#define VORN_IMAGE_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Text encoding codes: base in bits 0-15, variant in bits 16-25, format in bits 26-31. */
enum {
  kVornEncodingMacRoman = 0x0,
  kVornEncodingUTF16 = 0x100,
  kVornEncodingASCII = 0x600,
  kVornEncodingUnknown = 0xFFFF,
  kVornEncodingUTF8 = 0x08000100,
  kVornEncodingUTF32 = 0x0C000100
};

/*
 * The shared string record. A language string is a pointer to one of these, null meaning
 * the empty string. `buffer` points at a length byte (255 for 255 and more), followed by the
 * `length` bytes of text and a NUL; `bufferSize` is length + 2.
 */
typedef struct VornStringRecord {
  int32_t refCount;
  char* buffer;
  int32_t bufferSize;
  int32_t length;
  uint32_t encoding;
} VornStringRecord;

/*
 * A string literal of compiled code: a complete record followed by its buffer, living in the
 * image's data block. The text pointer refers to the record's own buffer, which the loader's
 * relocation sets to the loaded address. The runtime never frees a record inside the image.
 *
 *   VORN_LITERAL(kTitle, "Telescope Limiting Magnitude");
 *   ... RuntimeSomething(VORN_STR(kTitle)) ...
 */
#define VORN_LITERAL(name, text)                                                        \
  static struct {                                                                       \
    VornStringRecord record;                                                            \
    struct {                                                                            \
      unsigned char lengthByte;                                                         \
      char bytes[sizeof(text)];                                                         \
    } buffer;                                                                           \
  } name = {{1, (char*)&name.buffer, (int32_t)sizeof(text) + 1, (int32_t)sizeof(text) - 1, \
             kVornEncodingUTF8},                                                        \
            {(unsigned char)(sizeof(text) - 1 > 255 ? 255 : sizeof(text) - 1), text}}

#define VORN_STR(name) (&(name).record)

#ifdef __cplusplus
}
#endif

#endif
