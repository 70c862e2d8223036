#ifndef BASIC_SHARED_H
#define BASIC_SHARED_H
#include <stdint.h>

typedef int32_t (*Operation)(int32_t);
enum { kOperationCount = 3 };
/* A static table of function pointers in the second file, one of them an import. */
extern Operation const kOperations[kOperationCount];
#endif
