// The front-to-back order of the runtime's windows, index 0 the front window.
#pragma once

#include <cstdint>

namespace vorn {

class Window;

enum WindowOrderOperation : int32_t {
  kOrderInsertFront = 0,
  kOrderBringToFront = 1,
  kOrderMoveForward = 2,
  kOrderMoveBackward = 3,
  kOrderSendToBack = 4,
  kOrderRemove = 5,
};

// An operation on a window not in the order (other than insertion) does nothing; so does an
// unknown operation.
void UpdateWindowOrder(Window* window, int32_t operation);
int32_t GetWindowOrderCount();
Window* GetWindowOrderItem(int32_t index);
Window* GetFrontWindowPane();
Window* GetFrontWindowOtherThan(Window* window);

}  // namespace vorn
