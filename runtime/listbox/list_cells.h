// One row of a list box and the cells it holds.
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

class CellEntry {
 public:
  explicit CellEntry(uint8_t column) : mColumn(column) {}
  virtual ~CellEntry();
  CellEntry(const CellEntry&) = delete;
  CellEntry& operator=(const CellEntry&) = delete;

  // Retains the new object, releases the old one.
  void SetPicture(RuntimeObject* picture);
  void SetTag(RuntimeObject* tag);

  CellEntry* mNext = nullptr;
  uint8_t mStyle = 0;
  string mText;  // UTF-8
  RuntimeObject* mPicture = nullptr;
  uint8_t mColumn;
  uint8_t mType = 0;  // 0: the column's default type
  uint8_t mCheckState = 0;
  int32_t mAlignment = 0;
  int32_t mAlignmentOffset = 0;
  int16_t mTextSize = 0;
  int16_t mTextBox[4] = {-1, -1, -1, -1};  // top, left, bottom, right where the text was laid out
  RuntimeObject* mTag = nullptr;
  int32_t mBorders[4] = {0, 0, 0, 0};  // top, left, bottom, right; 0: the default kind
};

class RowEntry {
 public:
  RowEntry(CellEntry* cells, int16_t depth, int16_t folderState)
      : mFolderState(folderState), mDepth(depth), mCells(cells) {}
  virtual ~RowEntry();
  RowEntry(const RowEntry&) = delete;
  RowEntry& operator=(const RowEntry&) = delete;

  // The cell of the column; with `create`, a missing one is made and linked at the end.
  CellEntry* FindCell(int32_t column, bool create);

  int16_t mFolderState;
  int16_t mDepth;
  CellEntry* mCells;  // owned, in the order they were made
};

}  // namespace vorn
