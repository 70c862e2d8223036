#include "windows/container_pane.h"

namespace vorn {

ContainerPane::ContainerPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds)
    : SubPane(parent, tabPanelIndex, bounds, true) {}

ContainerPane::~ContainerPane() = default;

}  // namespace vorn
