// The language's PrinterSetup class: the page and resolution values of printing, read from the
// print configuration through the object's helper.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/printer_api.h"

namespace vorn {

class GTKPrintHelper;

struct PrinterSetupObject {
  RuntimeObject header;
  GTKPrintHelper* mHelper;  // owned
  int32_t verticalResolution;
  int32_t horizontalResolution;
  int32_t maxVerticalResolution;
  int32_t maxHorizontalResolution;
};

ObjectDefinition* GetPrinterSetupClassDefinition();

// The fields of a PrinterSetup; nil for nil and for objects of other classes.
PrinterSetupObject* PrinterSetupFields(RuntimeObject* object);

}  // namespace vorn
