/* An image that exercises binding, relocation and literals; the host records each call. */
#include "vorn/image_abi.h"
#include "basic_shared.h"

extern void HostRecordInt(int32_t tag, int32_t value);
extern void HostRecordString(int32_t tag, VornStringRecord* text);
extern void HostRecordDouble(int32_t tag, double value);
extern int32_t HostAdd(int32_t a, int32_t b);
extern int32_t hostadd(int32_t a, int32_t b);
extern int32_t NotExportedAnywhere(int32_t x);
extern double AlsoMissingDouble(double x);
void* memcpy(void* to, const void* from, unsigned long n);

VORN_LITERAL(kGreeting, "Hello, image");
VORN_LITERAL(kEmptyText, "");
VORN_LITERAL(kAccents, "Gr\xC3\xBC\xC3\x9F" "e");

void* ImagePendingException;
int32_t gCounter;
static char gScratch[64];

static VornStringRecord* const kLiterals[] = {VORN_STR(kGreeting), VORN_STR(kEmptyText),
                                              VORN_STR(kAccents)};

void ImageEntry(void) {
  HostRecordInt(1, HostAdd(2, 3));
  HostRecordInt(2, hostadd(40, 2));
  for (int32_t i = 0; i < 3; ++i) HostRecordString(10 + i, kLiterals[i]);
  for (int32_t i = 0; i < kOperationCount; ++i) HostRecordInt(20 + i, kOperations[i](7));
  int32_t (*volatile add)(int32_t, int32_t) = HostAdd;
  HostRecordInt(3, add(10, 20));
  HostRecordInt(4, NotExportedAnywhere(5));
  HostRecordDouble(5, AlsoMissingDouble(2.5));
  ++gCounter;
  HostRecordInt(6, gCounter);
  memcpy(gScratch, "copied", 7);
  HostRecordInt(7, gScratch[0] == 'c' && gScratch[5] == 'd' ? 1 : 0);
  HostRecordInt(8, ImagePendingException == 0 ? 1 : 0);
}
