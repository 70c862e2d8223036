#include "controls/more_control_classes.h"

#include "controls/ole_container_class.h"
#include "controls/panel_classes.h"
#include "controls/progress_bar_class.h"
#include "controls/shape_classes.h"
#include "core/ole_object_class.h"
#include "objects/class_registry.h"

namespace vorn {

void RegisterMoreControlClasses() {
  RegisterIntrinsicClass("ProgressBar", &GetProgressBarClassDefinition);
  RegisterShapeClasses();
  RegisterPanelClasses();
  RegisterIntrinsicClass("OLEObject", &GetOLEObjectClassDefinition);
  RegisterIntrinsicClass("OLEContainer", &GetOLEContainerClassDefinition);
}

}  // namespace vorn
