#include "controls/button_classes.h"

#include "controls/check_box_class.h"
#include "controls/push_button_class.h"
#include "controls/radio_button_class.h"
#include "objects/class_registry.h"

namespace vorn {

void RegisterButtonClasses() {
  RegisterIntrinsicClass(GetPushButtonClassDefinition());
  RegisterIntrinsicClass(GetCheckBoxClassDefinition());
  RegisterIntrinsicClass(GetCheckBoxActionClassDefinition());
  RegisterIntrinsicClass(GetRadioButtonClassDefinition());
  RegisterIntrinsicClass(GetRadioButtonActionClassDefinition());
}

}  // namespace vorn
