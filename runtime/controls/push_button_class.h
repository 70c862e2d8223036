// The language's PushButton class: caption, default and cancel roles, text style, Push, and
// an action source for data binding. RuntimeButtonRouter turns the pane's callbacks into the
// class's events.
#pragma once

#include "controls/button_class_support.h"
#include "controls/push_button_pane.h"

namespace vorn {

struct PushButtonObject {
  VornControlObject base;
  ButtonFields button;
  uint8_t isDefault;
  uint8_t cancel;
  NotificationReceiverList actionReceivers;
};

ObjectDefinition* GetPushButtonClassDefinition();
PushButtonObject* AsPushButtonObject(RuntimeObject* object);

class RuntimeButtonRouter final : public ButtonRouterBase<PushButtonDelegate> {
 public:
  using ButtonRouterBase::ButtonRouterBase;
  // The action receivers hear first, then the Action event.
  void Action(ButtonPane* pane) override;
};

}  // namespace vorn
