#include "windows/cursor_record.h"

#include <gdk/gdk.h>

#include "windows/pane_focus.h"

namespace vorn {

namespace {

// Owned by this slot: a copy of what was made current.
MouseCursor* sCurrentCursor = nullptr;

}  // namespace

MouseCursor* NewEmptyCursorRecord() { return new MouseCursor(); }

MouseCursor* CopyCursorRecord(const MouseCursor* record) {
  if (!record) return nullptr;
  auto* copy = new MouseCursor(*record);
  if (copy->cursor) gdk_cursor_ref(copy->cursor);
  return copy;
}

void CursorRecordRelease(MouseCursor* record) {
  if (!record || !record->cursor) return;
  gdk_cursor_unref(record->cursor);
  record->cursor = nullptr;
}

void CursorRecordClear(MouseCursor* record) {
  if (record) *record = MouseCursor();
}

void DeleteCursorRecord(MouseCursor* record) {
  CursorRecordRelease(record);
  delete record;
}

MouseCursor* NewCursorRecordOfType(int32_t type) {
  MouseCursor* record = NewEmptyCursorRecord();
  if (type != kCursorTypeArrow) record->cursor = gdk_cursor_new(static_cast<GdkCursorType>(type));
  return record;
}

MouseCursor* NewCursorRecordFromBits(const CursorRecord& bits, int32_t word) {
  GdkPixmap* source = gdk_bitmap_create_from_data(nullptr, reinterpret_cast<const gchar*>(bits.image), 16, 16);
  GdkPixmap* mask = gdk_bitmap_create_from_data(nullptr, reinterpret_cast<const gchar*>(bits.mask), 16, 16);
  MouseCursor* record = NewEmptyCursorRecord();
  record->word = word;
  if (source && mask) {
    GdkColor black = {0, 0, 0, 0};
    GdkColor white = {0, 0xFFFF, 0xFFFF, 0xFFFF};
    // X refuses a hot spot outside the picture; a bad record's spot is pulled inside.
    const gint x = bits.hotSpotH < 0 ? 0 : bits.hotSpotH > 15 ? 15 : bits.hotSpotH;
    const gint y = bits.hotSpotV < 0 ? 0 : bits.hotSpotV > 15 ? 15 : bits.hotSpotV;
    record->cursor = gdk_cursor_new_from_pixmap(source, mask, &black, &white, x, y);
  }
  if (source) g_object_unref(source);
  if (mask) g_object_unref(mask);
  return record;
}

MouseCursor* NewStockCursorRecord(int32_t id) {
  switch (id) {
    case 6601: return NewCursorRecordOfType(kCursorTypeHDoubleArrow);
    case 6602: return NewCursorRecordOfType(kCursorTypeLeftSide);
    case 6603: return NewCursorRecordOfType(kCursorTypeRightSide);
    default: return nullptr;
  }
}

MouseCursor* NewBuiltInCursorRecord(int32_t index) {
  if (const CursorArt* art = BuiltInCursorArt(index)) return NewCursorRecordFromBits(CursorBitsFromArt(*art));
  switch (index) {
    case 6: return NewCursorRecordOfType(kCursorTypeFleur);
    case 7: return NewCursorRecordOfType(kCursorTypeXterm);
    case 9: return NewCursorRecordOfType(kCursorTypeWatch);
    default: return NewEmptyCursorRecord();
  }
}

MouseCursor* GetCurrentCursorRecord() { return sCurrentCursor; }

void SetCurrentCursorRecord(MouseCursor* cursor) {
  DeleteCursorRecord(sCurrentCursor);
  sCurrentCursor = cursor && cursor->cursor ? CopyCursorRecord(cursor) : nullptr;
}

void ResetCurrentCursor() {
  static MouseCursor* const sDefault = NewEmptyCursorRecord();
  SetCurrentCursorRecord(sDefault);
}

}  // namespace vorn
