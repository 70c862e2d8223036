// The kind of pane that holds other panes (windows, group boxes, canvases, panels, buttons).
// All child handling is SubPane's; this class fixes the construction order and the identity.
#pragma once

#include "windows/sub_pane.h"

namespace vorn {

class ContainerPane : public SubPane {
 public:
  ContainerPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds);
  ~ContainerPane() override;
};

}  // namespace vorn
