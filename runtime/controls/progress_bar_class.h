// The language's ProgressBar class: Value and Maximum kept in the object and shown by a
// ProgressBar pane.
#pragma once

#include <cstdint>

#include "controls/control_hooks.h"
#include "objects/object_definition.h"
#include "windows/control.h"

namespace vorn {

struct ProgressBarObject {
  VornControlObject base;
  int32_t value;
  int32_t maximum;
};

ObjectDefinition* GetProgressBarClassDefinition();
ProgressBarObject* AsProgressBarObject(RuntimeObject* object);

}  // namespace vorn
