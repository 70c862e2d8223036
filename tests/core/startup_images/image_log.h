/* What the start-up test images write: short event texts on standard error, which the tests
 * collect. Images have no C library, so the text goes out through the write system call. */
#ifndef STARTUP_IMAGES_IMAGE_LOG_H
#define STARTUP_IMAGES_IMAGE_LOG_H

#include <stdint.h>

static inline void LogBytes(const char* text, long length) {
  long result;
  __asm__ volatile("syscall"
                   : "=a"(result)
                   : "a"(1L), "D"(2L), "S"(text), "d"(length)
                   : "rcx", "r11", "memory");
  (void)result;
}

static inline void LogText(const char* text) {
  long length = 0;
  while (text[length]) ++length;
  LogBytes(text, length);
}

static inline void LogNumber(int32_t value) {
  char digits[12];
  int at = 12;
  uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
  do {
    digits[--at] = (char)('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  if (value < 0) digits[--at] = '-';
  LogBytes(digits + at, 12 - at);
}

#endif
