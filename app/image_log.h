/* Start-up problems of the image go to standard error: before the window exists there is no
 * other place to say what is missing, and an image has no C library, so the text goes out
 * through the write system call. */
#ifndef CALCULATOR_IMAGE_LOG_H
#define CALCULATOR_IMAGE_LOG_H

static inline void ImageLog(const char *text) {
  long length = 0, result;
  while (text[length]) ++length;
  __asm__ volatile("syscall"
                   : "=a"(result)
                   : "a"(1L), "D"(2L), "S"(text), "d"(length)
                   : "rcx", "r11", "memory");
  (void)result;
}

#endif
