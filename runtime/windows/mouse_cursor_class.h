// The language's MouseCursor class, the "_Cursors" module behind System.Cursors, and the
// application's cursor.
#pragma once

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/cursor_api.h"
#include "windows/cursor_record.h"

namespace vorn {

ObjectDefinition* GetMouseCursorClassDefinition();
ObjectDefinition* GetCursorsModuleDefinition();
// Enters MouseCursor, the cursors module and Clipboard in the intrinsic registries.
void RegisterPointerClasses();

// A new MouseCursor (one reference) that owns the record; nil (and the record deleted) when
// no object can be made.
RuntimeObject* NewMouseCursorObject(MouseCursor* record);
// The record a MouseCursor holds; nil for nil and for other objects.
MouseCursor* MouseCursorRecordOf(RuntimeObject* cursor);

// The cursor the application set, not retained; nil when none.
RuntimeObject* GetApplicationCursor();

}  // namespace vorn
