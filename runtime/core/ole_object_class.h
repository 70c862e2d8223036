// The language's OLEObject class: automation objects exist on other platforms only, so the
// class here is inert; it gives OLEContainer's Content its type.
#pragma once

#include "objects/object_definition.h"

namespace vorn {

ObjectDefinition* GetOLEObjectClassDefinition();

}  // namespace vorn
