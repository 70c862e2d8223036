// The language's CheckBox class: a Boolean Value that follows the box, a Boolean provider and
// data notifier for binding, check and uncheck action sources, and a data-control binding.
#pragma once

#include "controls/button_class_support.h"
#include "controls/check_box_pane.h"

namespace vorn {

struct CheckBoxObject {
  VornControlObject base;
  ButtonFields button;
  StringRep* dataSource;
  StringRep* dataField;
  uint8_t value;     // the box's state as last read or set
  uint8_t inAction;  // set while the Action sequence runs
  NotificationReceiverList dataReceivers;
  ToggleReceiverLists actionReceivers;
};

ObjectDefinition* GetCheckBoxClassDefinition();
ObjectDefinition* GetCheckBoxActionClassDefinition();
CheckBoxObject* AsCheckBoxObject(RuntimeObject* object);

class RuntimeCheckBoxRouter final : public ButtonRouterBase<CheckBoxDelegate> {
 public:
  using ButtonRouterBase::ButtonRouterBase;
  // Every change of the box's state: Value follows, then data receivers, the Action event and
  // the checked or unchecked receivers, unless the sequence is running already.
  void Action(ButtonPane* pane) override;
};

}  // namespace vorn
