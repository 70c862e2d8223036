// The language's ListColumn class: a snapshot of one column's width settings (or of every
// column's, index -1) that reads and writes the list's column while the list has a pane.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_object.h"

namespace vorn {

struct ListColumnObject {
  RuntimeObject header;
  RuntimeObject* list;  // the Listbox, held
  int32_t column;       // -1: every column
  uint8_t userResizable;
  StringRep* widthExpression;
  StringRep* minWidthExpression;
  StringRep* maxWidthExpression;
  int32_t widthActual;
  int32_t minWidthActual;
  int32_t maxWidthActual;
};

// Accessor selectors of the width properties.
enum ListColumnLimit : int32_t { kColumnWidth = 0, kColumnMinWidth = 1, kColumnMaxWidth = 2 };

ObjectDefinition* GetListColumnClassDefinition();

}  // namespace vorn
