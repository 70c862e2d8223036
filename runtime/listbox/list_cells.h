// One row of a list box and the cells it holds, kept small: a row is a 16-byte record in the
// list's row array; its cells are one block of columns and texts (records shared with whoever
// gave them, never copied); and what a cell sets beyond its text lives in a record made the
// first time the cell sets any of it.
#pragma once

#include <cstdint>

#include "objects/runtime_object.h"
#include "strings/vstring.h"

namespace vorn {

enum CellStyleBits : uint8_t { kCellBold = 1, kCellItalic = 2, kCellUnderline = 4 };
constexpr uint8_t kCellTypeCheckBox = 2;
constexpr uint8_t kCellTypeEditable = 3;
constexpr int32_t kMaxCellColumn = 255;

enum FolderState : int16_t { kPlainRow = -1, kCollapsedFolder = 0, kExpandedFolder = 1 };

// A cell's own settings. Zero or nil everywhere means the list's or the column's.
class CellAttributes {
 public:
  CellAttributes() = default;
  ~CellAttributes();
  CellAttributes(const CellAttributes&) = delete;
  CellAttributes& operator=(const CellAttributes&) = delete;

  // Retains the new object, releases the old one.
  void SetPicture(RuntimeObject* picture);
  void SetTag(RuntimeObject* tag);

  uint8_t mStyle = 0;  // bold, italic, underline bits; a clear bit means the list's own style
  uint8_t mType = 0;   // 0: the column's default type
  uint8_t mCheckState = 0;
  int16_t mTextSize = 0;  // 0: the list's
  int32_t mAlignment = 0;
  int32_t mAlignmentOffset = 0;  // read only where the alignment is set
  int32_t mBorders[4] = {0, 0, 0, 0};  // top, left, bottom, right; 0: the default kind
  RuntimeObject* mPicture = nullptr;  // column 0's is the row picture
  RuntimeObject* mTag = nullptr;
};

// The cells of one row: a handle on one block that holds, in the order the cells were made,
// their columns and texts (nil for an empty one), and, once any cell of the row has settings,
// each cell's settings. A missing cell reads as empty text with no settings. The handle is
// copied with its row; the list frees the block once, when the row goes.
class RowCells {
 public:
  int32_t Count() const;
  // The index of the column's cell; -1 when there is none.
  int32_t Find(int32_t column) const;
  int32_t ColumnAt(int32_t index) const;
  StringRep* TextAt(int32_t index) const;
  CellAttributes* AttributesAt(int32_t index) const;

  // The index of the column's cell, made with no text at the end when missing.
  int32_t Make(int32_t column);
  // Shares the text's record.
  void SetTextAt(int32_t index, const string& text);
  CellAttributes* MakeAttributesAt(int32_t index);
  void Free();

 private:
  struct Header;
  static size_t BlockSize(int32_t capacity, bool withAttributes);
  uint8_t* Columns() const;
  StringRep** Texts() const;
  CellAttributes** Attributes() const;
  // Moves the cells into a new block with room for `capacity` and, if asked, for settings.
  void Rebuild(int32_t capacity, bool withAttributes);

  Header* mBlock = nullptr;
};

struct RowEntry {
  int16_t mFolderState;
  int16_t mDepth;
  uint32_t mId;  // one per row of its list, for finding the row again after events moved it
  RowCells mCells;
};
static_assert(sizeof(RowEntry) == 16, "a row record is two words");

}  // namespace vorn
