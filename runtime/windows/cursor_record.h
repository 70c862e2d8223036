// The native side of mouse cursors: a small record around a GDK cursor, the built-in and
// stock cursors, and the current cursor that the window's pointer-motion handler shows.
#pragma once

#include <cstdint>

#include "base/resource_records.h"

struct _GdkCursor;

namespace vorn {

// Owned by whoever made it. A nil cursor is the default arrow.
struct MouseCursor {
  _GdkCursor* cursor = nullptr;  // one reference held
  int32_t word = 0;              // the resource id of a cursor read from a 'CURS' resource
};

// GDK cursor types the runtime asks for by number.
constexpr int32_t kCursorTypeArrow = 2;
constexpr int32_t kCursorTypeFleur = 52;
constexpr int32_t kCursorTypeLeftSide = 70;
constexpr int32_t kCursorTypeRightSide = 96;
constexpr int32_t kCursorTypeHDoubleArrow = 108;
constexpr int32_t kCursorTypeWatch = 150;
constexpr int32_t kCursorTypeXterm = 152;

MouseCursor* NewEmptyCursorRecord();
// A copy holding its own reference to the GDK cursor; nil for nil.
MouseCursor* CopyCursorRecord(const MouseCursor* record);
// Drops the GDK cursor the record holds.
void CursorRecordRelease(MouseCursor* record);
void CursorRecordClear(MouseCursor* record);
void DeleteCursorRecord(MouseCursor* record);

// The arrow stays the default cursor (an empty record); other types are GDK's own.
MouseCursor* NewCursorRecordOfType(int32_t type);
// A 16 x 16 cursor of GDK-ordered bitmaps: a set image pixel is black, a clear one white,
// and only pixels inside the mask show.
MouseCursor* NewCursorRecordFromBits(const CursorRecord& bits, int32_t word = 0);
// The list box's column dividers: 6601, 6602 and 6603; nil for any other id.
MouseCursor* NewStockCursorRecord(int32_t id);

// A built-in cursor by its table index (0 to 12); other indexes give the default cursor.
MouseCursor* NewBuiltInCursorRecord(int32_t index);

// Pixel art of a built-in bitmap cursor: 16 rows of 16 characters, 'X' black, 'o' white,
// anything else outside the mask.
struct CursorArt {
  const char* rows[16];
  int16_t hotSpotX;
  int16_t hotSpotY;
};
// The art as GDK-ordered bitmaps; the pointer is nil for an index without bitmap.
const CursorArt* BuiltInCursorArt(int32_t index);
CursorRecord CursorBitsFromArt(const CursorArt& art);

// Makes the default cursor current again.
void ResetCurrentCursor();

}  // namespace vorn
