// The language's DragItem: the items of one drag, each with its rectangle and its values, and
// what the drag and drop layer needs of it.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/rect.h"
#include "strings/vstring.h"
#include "vorn/drag_item_api.h"
#include "windows/native_types.h"

namespace vorn {

// Value kinds, four-character codes with the first character in the high byte.
enum DragValueKind : uint32_t {
  kDragValueText = 0x54455854,      // TEXT
  kDragValuePicture = 0x50494354,   // PICT
  kDragValueFolder = 0x464F4C44,    // FOLD
  kDragValueTypedData = 0x4D414344  // MACD
};

struct DragItemRect {
  int32_t item;
  Rect rect;
  Rect previous;  // the current rectangle when this one was added
};

struct DragItemValue {
  int32_t item;
  uint32_t kind;
  string type;                     // typed data: its four-character type
  string text;                     // text and typed data
  RuntimeObject* object = nullptr;  // picture or folder item, held
};

// What a drag item holds besides its fixed fields; values are looked up newest first.
struct DragItemContent {
  std::vector<DragItemRect> rects;
  std::vector<DragItemValue> values;
  ~DragItemContent();
};

struct DragItemObject {
  RuntimeObject header;
  RuntimeObject* mouseCursor;  // held
  uint8_t reserved;
  uint8_t dropped;  // delivered to a drop target: the Drop properties answer
  int32_t currentItem;
  int32_t itemCount;
  int32_t dropOffsetX;  // minus the drop target's left and top
  int32_t dropOffsetY;
  DragItemContent* content;
  Rect currentRect;
  RuntimeObject* destination;  // never set on this platform
};

ObjectDefinition* GetDragItemClassDefinition();
// Registers the class and lets drops from other programs become drag items.
void RegisterDragItemClass();

// The fields of a drag item; nil for nil and for other objects.
DragItemObject* DragItemFields(RuntimeObject* object);
inline RuntimeObject* DragItemObjectOf(DragItem* item) { return reinterpret_cast<RuntimeObject*>(item); }
inline DragItem* AsDragItem(RuntimeObject* object) { return reinterpret_cast<DragItem*>(object); }

// A new drag item with one item of that rectangle, one reference for the caller.
RuntimeObject* NewDragItemForRect(int32_t left, int32_t top, int32_t width, int32_t height);
// Marks the item delivered to a target whose top-left is (targetLeft, targetTop), with its
// first item current again for the receiver's NextItem loop.
void MarkDragItemDropped(RuntimeObject* item, int32_t targetLeft, int32_t targetTop);
// Every item's rectangle, in item order.
std::vector<Rect> DragItemRects(RuntimeObject* item);
// Moves every item's rectangle: where the outline was let go.
void OffsetDragItemRects(RuntimeObject* item, int32_t dh, int32_t dv);

}  // namespace vorn
