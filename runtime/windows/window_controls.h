// Controls of a window: entering control objects in a window's controls map, giving them
// native panes, and the delegate through which a pane reaches its control object.
#pragma once

#include "objects/runtime_class.h"
#include "windows/pane.h"
#include "windows/pane_disposal.h"

namespace vorn {

class SubPane;

// Lives as long as the pane it is attached to and holds the control object meanwhile.
class RuntimePaneDelegate : public PaneDelegate, public MadeInOrder {
 public:
  explicit RuntimePaneDelegate(RuntimeObject* control);
  ~RuntimePaneDelegate() override;

  void PaneDied(Pane* pane) override;
  void DropObject(Pane* pane, DragItem* item, int32_t x, int32_t y) override;
  bool BecomeCurrent() override;
  bool ResignCurrent() override;

  RuntimeObject* Control() const { return mControl; }

 private:
  RuntimeObject* mControl;
};

// Fires the control's CreatePane and sets the new pane up from the control's settings.
void MakeControlPane(RuntimeObject* control);
// The control object behind a pane made by MakeControlPane; nil for any other pane.
RuntimeObject* ControlObjectOfPane(Pane* pane);

}  // namespace vorn
