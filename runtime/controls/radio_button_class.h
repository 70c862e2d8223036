// The language's RadioButton class: a Value the pane's radio group decides, check and uncheck
// action sources, and RuntimeRadioRouter, which fires Action when the button is selected.
#pragma once

#include "controls/button_class_support.h"
#include "controls/radio_button_pane.h"

namespace vorn {

struct RadioButtonObject {
  VornControlObject base;
  ButtonFields button;
  uint8_t value;     // refreshed when the button is selected or set; the pane knows better
  uint8_t inAction;
  ToggleReceiverLists actionReceivers;
};

ObjectDefinition* GetRadioButtonClassDefinition();
ObjectDefinition* GetRadioButtonActionClassDefinition();
RadioButtonObject* AsRadioButtonObject(RuntimeObject* object);

class RuntimeRadioRouter final : public ButtonRouterBase<RadioButtonDelegate> {
 public:
  using ButtonRouterBase::ButtonRouterBase;
  void Selected(ButtonPane* pane) override;
  void Deselected(ButtonPane* pane) override;

 private:
  // Value follows the pane; unless a notification runs already, the event (when given) and
  // the receivers hear of the change.
  void Notify(ButtonPane* pane, const ObjectHook* event, bool selected);
};

}  // namespace vorn
