/* An image that only carries resources and a version record. */
#include <stdint.h>

extern void HostRecordInt(int32_t tag, int32_t value);

void ImageEntry(void) { HostRecordInt(100, 1); }
