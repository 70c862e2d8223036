// The language's TrayItem class: an icon for the desktop's notification area. No icon is ever
// installed on this desktop, so an item only keeps its picture and help text; the list of
// added items exists for the quit sequence, which removes whatever it holds.
#pragma once

#include <cstdint>

#include "objects/object_definition.h"
#include "objects/runtime_object.h"
#include "strings/vstring.h"

namespace vorn {

struct TrayItemObject {
  VornRuntimeObject header;
  RuntimeObject* icon;  // a Picture, locked while held
  StringRep* helpTag;   // retained while held
  int32_t mID;          // platform id of the installed icon; 0 = not installed
  int32_t unused[2];
};

ObjectDefinition* GetTrayItemClassDefinition();

// The tray list: add locks the item, remove (by the item's id) releases it.
void AddToTrayList(RuntimeObject* item);
void RemoveFromTrayList(RuntimeObject* item);
RuntimeObject* FindTrayItem(int32_t id);  // nil when none has that id
int32_t TrayListCount();
// Removes every listed item from the desktop, last first; the quit sequence calls it.
void RemoveAllTrayItems();

// Calls the item's Action handler with `cause`.
void FireTrayItemAction(RuntimeObject* item, int32_t cause);

}  // namespace vorn

extern "C" {
void AddTrayItem(VornRuntimeObject* app, VornRuntimeObject* item);
void RemoveTrayItem(VornRuntimeObject* app, VornRuntimeObject* item);
void TrayItemInitializer(VornRuntimeObject* item);
void TrayItemFinalizer(VornRuntimeObject* item);
void TrayItemSetPicture(VornRuntimeObject* item, int32_t, VornRuntimeObject* picture);
void TrayItemSetHelpTag(VornRuntimeObject* item, int32_t, VornStringRecord* text);
}
