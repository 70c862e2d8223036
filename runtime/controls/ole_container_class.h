// The language's OLEContainer class over its inert pane.
#pragma once

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/ole_container_api.h"

namespace vorn {

ObjectDefinition* GetOLEContainerClassDefinition();
// The object as an OLEContainer; nil for anything else.
VornOLEContainerObject* AsOLEContainerObject(RuntimeObject* object);

}  // namespace vorn
