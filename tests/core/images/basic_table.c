#include "basic_shared.h"

extern int32_t HostNegate(int32_t x);

static int32_t Twice(int32_t x) { return 2 * x; }
static int32_t Square(int32_t x) { return x * x; }

Operation const kOperations[kOperationCount] = {Twice, Square, HostNegate};
