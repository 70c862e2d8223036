#include "listbox/list_rows.h"

#include <algorithm>
#include <vector>

#include "objects/exceptions.h"
#include "strings/runtime_error.h"

namespace vorn {

namespace {

constexpr char kListSource[] = "../Common/runListbox";
constexpr int32_t kMaxTextFields = 255;  // fields 0 to 254 of a row text are kept

void Assert(bool condition, int32_t line, const char* text) {
  if (!condition) ReportRuntimeError(kRuntimeErrorKind, kErrorFailedAssertion, kListSource, line, text, "");
}

// Rows whose removal is under way, shared by every list box, so that a removal that fires
// events which remove rows again does not remove a row twice.
struct CondemnedRow {
  const ListRows* list;
  uint32_t id;
  bool operator==(const CondemnedRow&) const = default;
};

std::vector<CondemnedRow>& CondemnedRows() {
  static std::vector<CondemnedRow> rows;
  return rows;
}

bool IsCondemned(const CondemnedRow& row) {
  const auto& rows = CondemnedRows();
  return std::find(rows.begin(), rows.end(), row) != rows.end();
}

// Lines of a text: a carriage return, a line feed, or both in that order end a line; a break at
// the very end does not start another line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string_view FirstLine(std::string_view text) {
  const size_t end = text.find_first_of("\r\n");
  return end == std::string_view::npos ? text : text.substr(0, end);
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) break;
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

string Utf8(std::string_view text) { return string(text, kEncodingUTF8); }

int32_t BorderWidth(int32_t kind) {
  switch (kind) {
    case 2:
    case 3: return 1;
    case 4: return 2;
    case 5: return 3;
    default: return 0;
  }
}

}  // namespace

ListRows::ListRows(ListColumns& columns) : mColumns(columns) {
  std::fill(std::begin(mSortDirections), std::end(mSortDirections), 1);
}

ListRows::~ListRows() { FreeRows(mRows); }

void ListRows::FreeRows(std::vector<RowEntry>& rows) {
  for (RowEntry& row : rows) row.mCells.Free();
}

const RowEntry* ListRows::GetRowEntry(int32_t row) const { return EntryOrNil(row); }

void ListRows::SetBoundRows(bool bound) {
  DeleteAllRows();
  mBound = bound;
}

void ListRows::BoundRowsInserted(int32_t index, int32_t count) {
  if (!mBound || count <= 0) return;
  index = std::clamp(index, 0, mBoundRowCount);
  mBoundRowCount += count;
  RowsInserted(index, count);
}

void ListRows::BoundRowRemoved(int32_t row) {
  if (!mBound || row < 0 || row >= mBoundRowCount) return;
  RowsRemoving(row, 1);
  --mBoundRowCount;
}

const RowEntry* ListRows::EntryOrNil(int32_t row) const {
  if (mBound || row < 0 || row >= RowCount()) return nullptr;
  return &mRows[static_cast<size_t>(row)];
}

const CellAttributes* ListRows::ExistingCell(int32_t row, int32_t column) const {
  const RowEntry* entry = EntryOrNil(row);
  const int32_t index = entry ? entry->mCells.Find(column) : -1;
  return index >= 0 ? entry->mCells.AttributesAt(index) : nullptr;
}

CellAttributes* ListRows::FindCell(int32_t row, int32_t column, bool create) {
  RowEntry* entry = EntryOrNil(row);
  if (!entry) return nullptr;
  int32_t index = entry->mCells.Find(column);
  if (index < 0) {
    if (!create || column < 0 || column > kMaxCellColumn) return nullptr;
    index = entry->mCells.Make(column);
  }
  return create ? entry->mCells.MakeAttributesAt(index) : entry->mCells.AttributesAt(index);
}

void ListRows::StoreCellText(int32_t row, int32_t column, const string& text) {
  RowEntry* entry = EntryOrNil(row);
  if (!entry || column < 0 || column > kMaxCellColumn) return;
  int32_t index = entry->mCells.Find(column);
  // A missing cell reads as empty already.
  if (index < 0 && text.IsEmpty()) return;
  if (index < 0) index = entry->mCells.Make(column);
  entry->mCells.SetTextAt(index, text);
}

int32_t ListRows::FindRowId(uint32_t id, int32_t hint) const {
  const auto count = static_cast<int32_t>(mRows.size());
  if (hint >= 0 && hint < count && mRows[static_cast<size_t>(hint)].mId == id) return hint;
  for (int32_t i = 0; i < count; ++i) {
    if (mRows[static_cast<size_t>(i)].mId == id) return i;
  }
  return -1;
}

uint8_t ListRows::GetColumnType(int32_t column) const {
  return column >= 0 && column < kMaxListColumns ? mColumnTypes[column] : 0;
}

void ListRows::SetColumnType(int32_t column, uint8_t type) {
  if (column >= 0 && column < kMaxListColumns) mColumnTypes[column] = type;
}

int32_t ListRows::GetCellType(int32_t row, int32_t column) const {
  const CellAttributes* cell = ExistingCell(row, column);
  if (cell && cell->mType != 0) return cell->mType;
  return GetColumnType(column);
}

int32_t ListRows::GetCellAlignment(int32_t row, int32_t column) const {
  const CellAttributes* cell = ExistingCell(row, column);
  if (cell && cell->mAlignment != 0) return cell->mAlignment;
  return column >= 0 && column < kMaxListColumns ? mColumns.GetColumnAlignment(column) : 0;
}

int32_t ListRows::GetCellAlignmentOffset(int32_t row, int32_t column) const {
  const CellAttributes* cell = ExistingCell(row, column);
  // A cell that sets its alignment sets its offset with it, even to 0.
  if (cell && cell->mAlignment != 0) return cell->mAlignmentOffset;
  return column >= 0 && column < kMaxListColumns ? mColumns.GetColumnAlignmentOffset(column) : 0;
}

int32_t ListRows::GetCellTextSize(int32_t row, int32_t column) const {
  const CellAttributes* cell = ExistingCell(row, column);
  if (cell && cell->mTextSize != 0) return cell->mTextSize;
  return column >= 0 && column < kMaxListColumns ? mTextSize : 0;
}

bool ListRows::SetCellStyle(int32_t row, int32_t column, uint8_t bits, bool on) {
  CellAttributes* cell = FindCell(row, column, true);
  if (!cell) return false;
  const auto wanted = static_cast<uint8_t>(on ? (cell->mStyle | bits) : (cell->mStyle & ~bits));
  if (wanted == cell->mStyle) return false;
  cell->mStyle = wanted;
  InvalidateCell(row, column);
  return true;
}

void ListRows::SetCellPicture(int32_t row, int32_t column, RuntimeObject* picture) {
  CellAttributes* cell = FindCell(row, column, true);
  if (!cell || cell->mPicture == picture) return;
  cell->SetPicture(picture);
  InvalidateCell(row, column);
}

RuntimeObject* ListRows::GetCellPicture(int32_t row, int32_t column) const {
  const CellAttributes* cell = ExistingCell(row, column);
  return cell ? cell->mPicture : nullptr;
}

int32_t ListRows::GetCellBorder(int32_t side, int32_t row, int32_t column, bool merged) const {
  auto own = [this](int32_t s, int32_t r, int32_t c) -> int32_t {
    if (s < 0 || s > 3 || c < 0 || c >= kMaxListColumns) return 0;
    const CellAttributes* cell = ExistingCell(r, c);
    return cell ? cell->mBorders[s] : 0;
  };
  if (!merged) return own(side, row, column);
  int32_t facing = 0;
  switch (side) {
    case kBorderTop: facing = own(kBorderBottom, row - 1, column); break;
    case kBorderLeft: facing = own(kBorderRight, row, column - 1); break;
    case kBorderBottom: facing = own(kBorderTop, row + 1, column); break;
    case kBorderRight: facing = own(kBorderLeft, row, column + 1); break;
    default: return 0;
  }
  const int32_t kind = std::max(own(side, row, column), facing);
  if (kind != 0) return kind;
  return side == kBorderTop || side == kBorderBottom ? mDefaultHorizontalGrid : mDefaultVerticalGrid;
}

void ListRows::SetCellBorder(int32_t side, int32_t row, int32_t column, int32_t kind) {
  if (side < 0 || side > 3) return;
  CellAttributes* cell = FindCell(row, column, true);
  if (!cell) return;
  cell->mBorders[side] = kind;
  if (kind > 1) mBordersSet = true;
  InvalidateCell(row, column);
  switch (side) {
    case kBorderTop: InvalidateCell(row - 1, column); break;
    case kBorderLeft: InvalidateCell(row, column - 1); break;
    case kBorderBottom: InvalidateCell(row + 1, column); break;
    default: InvalidateCell(row, column + 1); break;
  }
}

void ListRows::SetDefaultGridKinds(int32_t horizontal, int32_t vertical) {
  mDefaultHorizontalGrid = horizontal;
  mDefaultVerticalGrid = vertical;
}

int32_t ListRows::ExtraRowHeight(int32_t row) const {
  if (!mBordersSet) return 0;
  int32_t widest = 0;
  const RowEntry* entry = EntryOrNil(row);
  for (int32_t i = 0, n = entry ? entry->mCells.Count() : 0; i < n; ++i) {
    widest = std::max(widest, BorderWidth(GetCellBorder(kBorderBottom, row, entry->mCells.ColumnAt(i), true)));
  }
  // Rows whose cells set no wider line than the grid keep the list's own height.
  return std::max(widest - BorderWidth(mDefaultHorizontalGrid), 0);
}

int32_t ListRows::AddRow(const string& text, int16_t depth, int16_t folderState) {
  return InsertRow(RowCount(), text, depth, folderState);
}

int32_t ListRows::InsertRow(int32_t index, const string& text, int16_t depth, int16_t folderState) {
  if (mBound) return -1;
  EndCellEdit(false);
  index = std::clamp(index, 0, RowCount());
  RowEntry entry{folderState, depth, mNextRowId++, RowCells()};
  if (!text.IsEmpty()) entry.mCells.SetTextAt(entry.mCells.Make(0), text);
  mRows.insert(mRows.begin() + index, entry);
  ExpandPointsRowInserted(index);
  NoteRowsChanged();
  RowsInserted(index, 1);
  return index;
}

int32_t ListRows::AddTextRow(const string& text, int16_t folderState) {
  const string utf8 = text.ToUTF8();
  // Where the row goes is decided once a cell edit is over: its CellAction handler may add,
  // open or remove rows.
  if (!mBound) EndCellEdit(false);
  int32_t row;
  if (const ExpandPoint* point = OpenExpandPoint()) {
    const auto depth = static_cast<int16_t>(GetRowDepth(point->folder) + 1);
    row = InsertRow(point->end, utf8, depth, folderState);
  } else {
    row = AddRow(utf8, 0, folderState);
  }
  mLastAddedRow = row;
  return row;
}

bool ListRows::IsBeingRemoved(uint32_t id) const { return IsCondemned({this, id}); }

void ListRows::RemoveRow(int32_t row) {
  const RowEntry* entry = EntryOrNil(row);
  if (!entry) return;
  const CondemnedRow condemnedRow{this, entry->mId};
  if (IsCondemned(condemnedRow)) return;
  CondemnedRows().push_back(condemnedRow);
  EndCellEdit(EditedRow() == row);
  // The CellAction handler may have moved the row, or taken it with all the others: the
  // selection hears only of a row that is still there to go, where it now is. Then the Change
  // event may do the same.
  int32_t at = FindRowId(condemnedRow.id, row);
  for (;;) {
    // A folder's rows go first, as when it closes, so that no row is left under the row above.
    if (at >= 0 && mHierarchical && !IsListClosing()) {
      RemoveDescendants(at);
      at = FindRowId(condemnedRow.id, at);
    }
    if (at < 0) break;
    RowsRemoving(at, 1);
    at = FindRowId(condemnedRow.id, at);
    if (at < 0 || !mHierarchical || IsListClosing() || LastRowUnder(at) == at) break;
    // A Change handler put rows under it, opening it say: the row is back, unselected, until
    // they are gone.
    RowsInserted(at, 1);
  }
  if (at >= 0) {
    RowEntry gone = mRows[static_cast<size_t>(at)];
    mRows.erase(mRows.begin() + at);
    ExpandPointsRowRemoved(at);
    NoteRowsChanged();
    gone.mCells.Free();
  }
  auto& condemned = CondemnedRows();
  Assert(!condemned.empty(), __LINE__, "sCondemnedRows.size() > 0");
  if (condemned.empty()) return;
  Assert(condemned.back() == condemnedRow, __LINE__, "sCondemnedRows.peek_back() == p");
  condemned.pop_back();
}

void ListRows::DeleteAllRows() {
  const int32_t edited = EditedRow();
  EndCellEdit(edited >= 0 && edited < RowCount());
  // The rows leave the list before the selection hears of it: a Change handler that adds rows
  // finds the list empty, and what it adds stays.
  const int32_t count = RowCount();
  std::vector<RowEntry> taken;
  if (mBound) {
    mBoundRowCount = 0;
  } else {
    taken.swap(mRows);
  }
  ForgetExpandPoints();
  NoteRowsChanged();
  RowsRemoving(0, count);
  // A removal further up the call chain finds its row gone and leaves it to this one.
  FreeRows(taken);
}

void ListRows::MoveRows(int32_t first1, int32_t count1, int32_t first2, int32_t count2) {
  // The sort's own moves: they leave the rows the sort knows of where it expects them.
  if (!mBound) ExchangeRows(first1, count1, first2, count2);
}

bool ListRows::ExchangeRows(int32_t start1, int32_t count1, int32_t start2, int32_t count2) {
  if (start2 < start1) {
    std::swap(start1, start2);
    std::swap(count1, count2);
  }
  const int64_t end1 = int64_t{start1} + count1;
  const int64_t end2 = int64_t{start2} + count2;
  if (start1 < 0 || count1 < 0 || count2 < 0 || end1 > start2 || end2 > RowCount()) return false;
  ForgetExpandPoints();
  // [A][M][B] -> [B][M][A]: each part turned round, then the whole.
  const auto at = [this](int64_t i) { return mRows.begin() + i; };
  std::reverse(at(start1), at(end1));
  std::reverse(at(end1), at(start2));
  std::reverse(at(start2), at(end2));
  std::reverse(at(start1), at(end2));
  return true;
}

// --- text ------------------------------------------------------------------------------------

void ListRows::StoreRowFields(int32_t row, const string& line, int32_t onlyColumn) {
  const std::vector<std::string_view> fields = SplitTabs(line.View());
  const auto kept = static_cast<int32_t>(std::min<size_t>(fields.size(), kMaxTextFields));
  for (int32_t n = 0; n < kept; ++n) {
    if (onlyColumn >= 0 && n != onlyColumn) continue;
    StoreCellText(row, n, Utf8(fields[n]));
  }
  if (onlyColumn < 0 && kept > mColumns.ColumnCount()) {
    mColumns.SetColumnCount(std::min(kept, kMaxListColumns));
    ColumnCountChanged();
  }
}

void ListRows::AddRowsUpTo(int32_t row) {
  while (RowCount() <= row) AddRow(string(), 0, kPlainRow);
}

void ListRows::SetRowFields(int32_t row, const string& text) {
  AddRowsUpTo(row);
  StoreRowFields(row, Utf8(FirstLine(text.View())), -1);
  InvalidateRow(row);
}

void ListRows::SetCellText(int32_t row, int32_t column, const string& rawText, bool heading) {
  Assert(!mBound, __LINE__, "not mOwner->mBoundData");
  if (mBound) return;
  const string text = rawText.ToUTF8();
  if (row < -1 || column < -1 || column > kMaxCellColumn) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  if (row >= 0 && column >= 0) {
    if (row >= RowCount()) {
      RuntimeRaiseOutOfBoundsException();
      return;
    }
    StoreCellText(row, column, text);
    InvalidateCell(row, column);
    return;
  }
  if (row >= 0) {
    if (!text.IsEmpty()) SetRowFields(row, text);
    return;
  }
  if (column >= 0) {
    if (text.IsEmpty()) return;
    const std::vector<std::string_view> lines = SplitLines(text.View());
    for (size_t i = 0; i < lines.size(); ++i) {
      const auto lineRow = static_cast<int32_t>(i);
      AddRowsUpTo(lineRow);
      StoreRowFields(lineRow, Utf8(lines[i]), column);
    }
    InvalidateColumn(column);
    return;
  }
  DeleteAllRows();
  if (text.IsEmpty()) {
    InvalidateAll();
    return;
  }
  std::vector<std::string_view> lines = SplitLines(text.View());
  size_t first = 0;
  if (heading && HasHeading() && !lines.empty()) {
    SetHeadings(Utf8(lines[0]));
    first = 1;
  }
  for (size_t i = first; i < lines.size(); ++i) {
    const int32_t newRow = AddRow(string(), 0, kPlainRow);
    StoreRowFields(newRow, Utf8(lines[i]), -1);
  }
  InvalidateAll();
}

string ListRows::CellText(int32_t row, int32_t column) const {
  if (mBound) return row >= 0 && row < RowCount() ? BoundCellText(row, column) : string();
  const RowEntry* entry = EntryOrNil(row);
  const int32_t index = entry ? entry->mCells.Find(column) : -1;
  return index >= 0 ? string::Share(entry->mCells.TextAt(index)) : string();
}

void ListRows::AppendRowText(int32_t row, string& out) const {
  for (int32_t column = 0; column < mColumns.ColumnCount(); ++column) {
    if (column > 0) out.Append(string("\t"));
    out.Append(CellText(row, column));
  }
}

string ListRows::GetCellText(int32_t row, int32_t column, bool indexed) {
  string out("");
  out.SetEncoding(kEncodingUTF8);
  if (!indexed) {
    bool firstRow = true;
    for (int32_t r = 0; r < RowCount(); ++r) {
      if (!IsRowSelected(r)) continue;
      if (!firstRow) out.Append(string("\n"));
      firstRow = false;
      AppendRowText(r, out);
    }
    return out;
  }
  if (row < -1 || row >= RowCount() || column < -1 || column > kMaxCellColumn) {
    RuntimeRaiseOutOfBoundsException();
    return string();
  }
  if (row >= 0 && column >= 0) return CellText(row, column);
  if (row >= 0) {
    AppendRowText(row, out);
    return out;
  }
  for (int32_t r = 0; r < RowCount(); ++r) {
    if (r > 0) out.Append(string("\n"));
    if (column >= 0) {
      out.Append(CellText(r, column));
    } else {
      AppendRowText(r, out);
    }
  }
  return out;
}

}  // namespace vorn
