// Registration of the intrinsic classes at start-up, in a fixed order.
#pragma once

#include <cstdint>

namespace vorn {

// The intrinsic classes of the object layer and of start-up: the exception classes, the
// application classes and Timer.
void RegisterIntrinsicClasses();

}  // namespace vorn

extern "C" {
// Called by the image's first module initialiser; registers everything once.
void RuntimeInitExternalClasses();
// The image's start and end hooks. RuntimeInit points the object layer at the image's
// pending-exception word.
void RuntimeInit();
int32_t RuntimeExit();
}
