#include "controls/button_classes.h"

#include "controls/check_box_class.h"
#include "controls/push_button_class.h"
#include "controls/radio_button_class.h"
#include "objects/class_registry.h"

namespace vorn {

void RegisterButtonClasses() {
  RegisterIntrinsicClass("PushButton", &GetPushButtonClassDefinition);
  RegisterIntrinsicClass("CheckBox", &GetCheckBoxClassDefinition);
  RegisterIntrinsicClass("Sys$CheckBoxAction", &GetCheckBoxActionClassDefinition);
  RegisterIntrinsicClass("RadioButton", &GetRadioButtonClassDefinition);
  RegisterIntrinsicClass("Sys$RadioButtonAction", &GetRadioButtonActionClassDefinition);
}

}  // namespace vorn
