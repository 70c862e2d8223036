// Start-up registration of the button controls.
#pragma once

namespace vorn {

// Registers PushButton, CheckBox with its action class, and RadioButton with its action
// class, after the Control classes and the data-binding interfaces.
void RegisterButtonClasses();

}  // namespace vorn
