#include "windows/gtk_window_order.h"

#include <algorithm>
#include <vector>

namespace vorn {

namespace {

std::vector<Window*>& Order() {
  static auto* order = new std::vector<Window*>();
  return *order;
}

}  // namespace

void UpdateWindowOrder(Window* window, int32_t operation) {
  auto& order = Order();
  auto it = std::find(order.begin(), order.end(), window);
  if (operation == kOrderInsertFront) {
    // A window is in the order once, whatever asks for it again.
    if (it != order.end()) order.erase(it);
    order.insert(order.begin(), window);
    return;
  }
  if (it == order.end()) return;
  switch (operation) {
    case kOrderBringToFront:
      order.erase(it);
      order.insert(order.begin(), window);
      break;
    case kOrderMoveForward:
      if (it != order.begin()) std::iter_swap(it, it - 1);
      break;
    case kOrderMoveBackward:
      if (it + 1 != order.end()) std::iter_swap(it, it + 1);
      break;
    case kOrderSendToBack:
      order.erase(it);
      order.push_back(window);
      break;
    case kOrderRemove:
      order.erase(it);
      if (order.capacity() > 2 * std::max<size_t>(order.size(), 16)) order.shrink_to_fit();
      break;
    default:
      break;
  }
}

int32_t GetWindowOrderCount() { return static_cast<int32_t>(Order().size()); }

Window* GetWindowOrderItem(int32_t index) {
  if (index < 0 || index >= GetWindowOrderCount()) return nullptr;
  return Order()[index];
}

Window* GetFrontWindowPane() { return GetWindowOrderItem(0); }

Window* GetFrontWindowOtherThan(Window* window) {
  Window* front = GetFrontWindowPane();
  return front == window ? nullptr : front;
}

}  // namespace vorn
