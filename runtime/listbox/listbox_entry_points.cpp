// The Listbox entry points compiled code calls: properties that reach the pane, rows, cells,
// selection, headings and sorting.
#include <algorithm>

#include "listbox/list_entry_checks.h"
#include "listbox/listbox_class.h"
#include "objects/exceptions.h"
#include "strings/vstring.h"
#include "windows/pane_focus.h"

using namespace vorn;

namespace {

void ApplyStyle(VornRuntimeObject* object) {
  ListboxObject* list = AsListboxObject(object);
  RuntimeListbox* pane = ListboxPane(object);
  if (!list || !pane) return;
  pane->SetListTextStyle(ListboxTextStyle(list));
}

bool CellStyle(VornRuntimeObject* object, int32_t row, int32_t column, uint8_t bit) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckCell(pane, row, column)) return false;
  CellAttributes* cell = pane->FindCell(row, column, false);
  return cell && (cell->mStyle & bit) != 0;
}

void SetCellStyle(VornRuntimeObject* object, int32_t row, int32_t column, uint8_t bit, uint8_t on) {
  RuntimeListbox* pane = ListboxPane(object);
  if (pane && CheckCell(pane, row, column)) pane->SetCellStyle(row, column, bit, on != 0);
}

void InsertRow(VornRuntimeObject* object, int32_t row, VornStringRecord* text, int32_t indent, int16_t folder) {
  RuntimeListbox* pane = ListboxPane(object);
  VornListboxFields* f = FieldsOf(object);
  if (!pane || !f || pane->HasBoundRows()) return;
  const int32_t at = std::clamp(row, 0, pane->RowCount());
  const auto depth = static_cast<int16_t>(std::clamp(indent, 0, 0x7FFF));
  f->lastIndex = pane->InsertRow(at, string::Share(text).ToUTF8(), depth, folder);
}

void AddRow(VornRuntimeObject* object, VornStringRecord* text, int16_t folder) {
  RuntimeListbox* pane = ListboxPane(object);
  VornListboxFields* f = FieldsOf(object);
  if (pane && f && !pane->HasBoundRows()) f->lastIndex = pane->AddTextRow(string::Share(text), folder);
}

}  // namespace

extern "C" {

// --- text style --------------------------------------------------------------------------------

void listTextFontSetter(VornRuntimeObject* object, int32_t, VornStringRecord* font) {
  if (VornListboxFields* f = FieldsOf(object)) ReplaceStringRep(f->textFont, font);
  ApplyStyle(object);
}

void listTextSizeSetter(VornRuntimeObject* object, int32_t, int32_t size) {
  if (VornListboxFields* f = FieldsOf(object)) f->textSize = static_cast<int16_t>(std::clamp(size, 0, 0x7FFF));
  ApplyStyle(object);
}

void listBoldSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->bold = value != 0;
  ApplyStyle(object);
}

void listItalicSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->italic = value != 0;
  ApplyStyle(object);
}

void listUnderlineSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->underline = value != 0;
  ApplyStyle(object);
}

// --- rows and selection ------------------------------------------------------------------------

int32_t listCountGetter(VornRuntimeObject* object, int32_t) {
  RuntimeListbox* pane = ListboxPane(object);
  return pane ? pane->RowCount() : 0;
}

int32_t listLastIndexGetter(VornRuntimeObject* object, int32_t) {
  VornListboxFields* f = FieldsOf(object);
  return f ? f->lastIndex : 0;
}

int32_t listSelectionGetter(VornRuntimeObject* object, int32_t) {
  RuntimeListbox* pane = ListboxPane(object);
  return pane ? pane->Selection().GetFirstSelectedRow() : -1;
}

void listSelectionSetter(VornRuntimeObject* object, int32_t, int32_t row) {
  if (RuntimeListbox* pane = ListboxPane(object)) pane->Selection().SelectRow(row, true);
}

int32_t listSelCountGetter(VornRuntimeObject* object, int32_t) {
  RuntimeListbox* pane = ListboxPane(object);
  return pane ? pane->Selection().GetSelectedCount() : 0;
}

VornStringRecord* listTextGetter(VornRuntimeObject* object, int32_t) {
  RuntimeListbox* pane = ListboxPane(object);
  const int32_t row = pane ? pane->Selection().GetFirstSelectedRow() : -1;
  return row >= 0 ? pane->CellText(row, 0).GetRetainedRep() : nullptr;
}

void listTextSetter(VornRuntimeObject* object, int32_t, VornStringRecord* text) {
  RuntimeListbox* pane = ListboxPane(object);
  const int32_t row = pane ? pane->Selection().GetFirstSelectedRow() : -1;
  if (row >= 0) pane->SetCellText(row, 0, string::Share(text), false);
}

void listRequiresSelectionSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return;
  f->requiresSelection = value != 0;
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) return;
  pane->Selection().SetRequiresSelection(value != 0);
  if (value && pane->Selection().GetSelectedCount() == 0 && pane->RowCount() > 0) pane->Selection().SelectRow(0, true);
}

void RuntimeListEmpty(VornRuntimeObject* object) {
  if (RuntimeListbox* pane = ListboxPane(object)) pane->DeleteAllRows();
}

void RuntimeListAddRow(VornRuntimeObject* object, VornStringRecord* text) { AddRow(object, text, kPlainRow); }
void RuntimeListAddParent(VornRuntimeObject* object, VornStringRecord* text) { AddRow(object, text, kCollapsedFolder); }

void RuntimeListInsertRow(VornRuntimeObject* object, int32_t row, VornStringRecord* text, int32_t indent) {
  InsertRow(object, row, text, indent, kPlainRow);
}

void RuntimeListInsertParent(VornRuntimeObject* object, int32_t row, VornStringRecord* text, int32_t indent) {
  InsertRow(object, row, text, indent, kCollapsedFolder);
}

void RuntimeRemoveRow(VornRuntimeObject* object, int32_t row) {
  RuntimeListbox* pane = ListboxPane(object);
  if (pane && CheckRow(pane, row)) pane->RemoveRow(row);
}

VornStringRecord* RuntimeGetRow(VornRuntimeObject* object, int32_t row) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckRow(pane, row)) return nullptr;
  return pane->CellText(row, 0).GetRetainedRep();
}

void RuntimeSetRow(VornRuntimeObject* object, int32_t row, VornStringRecord* text) {
  RuntimeListbox* pane = ListboxPane(object);
  if (pane && CheckRow(pane, row)) pane->SetCellText(row, 0, string::Share(text), false);
}

uint8_t listGetSelected(VornRuntimeObject* object, int32_t row) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckRow(pane, row)) return 0;
  return pane->Selection().IsRowSelected(row) ? 1 : 0;
}

void listSetSelected(VornRuntimeObject* object, int32_t row, uint8_t value) {
  if (RuntimeListbox* pane = ListboxPane(object)) pane->Selection().SetRowSelected(row, value != 0);
}

void listHierarchicalSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->hierarchical = value != 0;
  if (RuntimeListbox* pane = ListboxPane(object)) {
    pane->SetHierarchical(value != 0);
    ApplyStyle(object);  // forgets the measured row height
  }
}

uint8_t listGetExpanded(VornRuntimeObject* object, int32_t row) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckRow(pane, row)) return 0;
  return pane->IsExpanded(row) ? 1 : 0;
}

uint8_t listSetExpanded(VornRuntimeObject* object, int32_t row, uint8_t value) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckRow(pane, row)) return 0;
  return (value ? pane->ExpandFolder(row) : pane->CollapseFolder(row)) ? 1 : 0;
}

int32_t listScrollPositionGetter(VornRuntimeObject* object, int32_t) {
  RuntimeListbox* pane = ListboxPane(object);
  if (pane) return pane->FirstVisibleRow();
  VornListboxFields* f = FieldsOf(object);
  return f ? f->pendingScrollPosition : 0;
}

void listScrollPositionSetter(VornRuntimeObject* object, int32_t, int32_t row) {
  row = std::max(row, 0);
  if (VornListboxFields* f = FieldsOf(object)) f->pendingScrollPosition = row;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetFirstVisibleRow(row);
}

int32_t listRowFromXY(VornRuntimeObject* object, int32_t x, int32_t y) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) return -1;
  return pane->RowAt(pane->Bounds().left + x, pane->Bounds().top + y);
}

int32_t listColFromXY(VornRuntimeObject* object, int32_t x, int32_t y) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) return -1;
  const Rect area = pane->RowArea();
  const int32_t h = pane->Bounds().left + x;
  const int32_t v = pane->Bounds().top + y;
  if (v < pane->Bounds().top || v >= area.bottom || h < area.left || h >= area.right) return -1;
  return pane->ColumnAt(h);
}

// --- cells -------------------------------------------------------------------------------------

// Row or column -1 reads a whole column, a whole row or (both) the whole list, as the setter
// writes them.
VornStringRecord* listGetCell(VornRuntimeObject* object, int32_t row, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) return nullptr;
  return pane->GetCellText(row, column, true).GetRetainedRep();
}

void listSetCell(VornRuntimeObject* object, int32_t row, int32_t column, VornStringRecord* text) {
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetCellText(row, column, string::Share(text), false);
}

uint8_t listGetCellBold(VornRuntimeObject* o, int32_t r, int32_t c) { return CellStyle(o, r, c, kCellBold); }
uint8_t listGetCellItalic(VornRuntimeObject* o, int32_t r, int32_t c) { return CellStyle(o, r, c, kCellItalic); }
uint8_t listGetCellUnderline(VornRuntimeObject* o, int32_t r, int32_t c) { return CellStyle(o, r, c, kCellUnderline); }
void listSetCellBold(VornRuntimeObject* o, int32_t r, int32_t c, uint8_t v) { SetCellStyle(o, r, c, kCellBold, v); }
void listSetCellItalic(VornRuntimeObject* o, int32_t r, int32_t c, uint8_t v) { SetCellStyle(o, r, c, kCellItalic, v); }
void listSetCellUnderline(VornRuntimeObject* o, int32_t r, int32_t c, uint8_t v) {
  SetCellStyle(o, r, c, kCellUnderline, v);
}

uint8_t listCellCheckGetter(VornRuntimeObject* object, int32_t row, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckCell(pane, row, column)) return 0;
  CellAttributes* cell = pane->FindCell(row, column, false);
  return cell && cell->mCheckState != 0 ? 1 : 0;
}

void listCellCheckSetter(VornRuntimeObject* object, int32_t row, int32_t column, uint8_t value) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckCell(pane, row, column)) return;
  if (CellAttributes* cell = pane->FindCell(row, column, true)) {
    cell->mCheckState = value != 0 ? 1 : 0;
    pane->Invalidate(true);
  }
}

// The cell's own type; 0 while it follows its column.
int32_t listCellTypeGetter(VornRuntimeObject* object, int32_t row, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckCell(pane, row, column)) return 0;
  CellAttributes* cell = pane->FindCell(row, column, false);
  return cell ? cell->mType : 0;
}

void listCellTypeSetter(VornRuntimeObject* object, int32_t row, int32_t column, int32_t type) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckCell(pane, row, column)) return;
  if (CellAttributes* cell = pane->FindCell(row, column, true)) {
    cell->mType = static_cast<uint8_t>(type);
    pane->Invalidate(true);
  }
}

VornRuntimeObject* listActiveCellGetter(VornRuntimeObject* object, int32_t) {
  RuntimeListbox* pane = ListboxPane(object);
  RuntimeObject* field = pane ? pane->EditObject() : nullptr;
  RuntimeLockObject(field);
  return field;
}

void listEditCell(VornRuntimeObject* object, int32_t row, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckRow(pane, row) || !CheckColumn(pane, column)) return;
  // Another edit, in this list or elsewhere, ends first.
  ClearFocusPane();
  pane->EditCell(row, column);
}

// --- columns -----------------------------------------------------------------------------------

int32_t listColumnCountGetter(VornRuntimeObject* object, int32_t) {
  if (RuntimeListbox* pane = ListboxPane(object)) return pane->Columns().ColumnCount();
  VornListboxFields* f = FieldsOf(object);
  return f ? f->pendingColumnCount : 0;
}

void listColumnCountSetter(VornRuntimeObject* object, int32_t, int32_t count) {
  if (count == 0) count = 1;
  if (count < 0 || count > kMaxListColumns) count = kMaxListColumns;
  if (VornListboxFields* f = FieldsOf(object)) f->pendingColumnCount = count;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetColumnCountAndLayout(count);
}

VornStringRecord* listColumnWidthsGetter(VornRuntimeObject* object, int32_t) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return nullptr;
  if (RuntimeListbox* pane = ListboxPane(object)) {
    string text("");
    for (int32_t i = 0; i < pane->Columns().ColumnCount(); ++i) {
      if (i > 0) text.Append(string(", "));
      text.Append(pane->Columns().GetWidthExpression(i));
    }
    ReplaceStringRep(f->columnWidths, text.Rep());
  }
  return string::Share(f->columnWidths).GetRetainedRep();
}

void listColumnWidthsSetter(VornRuntimeObject* object, int32_t, VornStringRecord* widths) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return;
  ReplaceStringRep(f->columnWidths, widths);
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) return;
  std::string_view rest = string::Share(widths).View();
  auto trim = [](std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
  };
  for (int32_t i = 0; i < pane->Columns().ColumnCount(); ++i) {
    string expression("1*");
    if (!rest.empty()) {
      const size_t comma = rest.find(',');
      expression = string(trim(rest.substr(0, comma)), kEncodingUTF8);
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    if (!pane->Columns().SetWidthExpression(i, expression)) break;  // the exception is pending
  }
  pane->Columns().LayoutColumns();
  pane->Invalidate(true);
}

int32_t listColumnTypeGetter(VornRuntimeObject* object, int32_t column) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return 0;
  if (column < 0 || column >= kMaxListColumns) {
    RuntimeRaiseOutOfBoundsException();
    return 0;
  }
  return f->columnTypes[column];
}

void listColumnTypeSetter(VornRuntimeObject* object, int32_t column, int32_t type) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return;
  if (column < 0 || column >= kMaxListColumns) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  f->columnTypes[column] = static_cast<uint8_t>(type);
  if (RuntimeListbox* pane = ListboxPane(object)) {
    pane->SetColumnType(column, static_cast<uint8_t>(type));
    pane->Invalidate(true);
  }
}

int32_t listColumnAlignmentGetter(VornRuntimeObject* object, int32_t column) {
  VornListboxFields* f = FieldsOf(object);
  if (!f || column < 0 || column >= kMaxListColumns) {
    RuntimeRaiseOutOfBoundsException();
    return 0;
  }
  if (RuntimeListbox* pane = ListboxPane(object)) return pane->Columns().GetColumnAlignment(column);
  return f->columnAlignments[column];
}

void listColumnAlignmentSetter(VornRuntimeObject* object, int32_t column, int32_t alignment) {
  VornListboxFields* f = FieldsOf(object);
  if (!f || column < 0 || column >= kMaxListColumns) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  f->columnAlignments[column] = static_cast<uint8_t>(alignment);
  if (RuntimeListbox* pane = ListboxPane(object)) {
    pane->Columns().SetColumnAlignment(column, alignment, pane->Columns().GetColumnAlignmentOffset(column));
    pane->Invalidate(true);
  }
}

void listHGridLinesSetter(VornRuntimeObject* object, int32_t, int32_t kind) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return;
  f->gridLinesHorizontal = kind;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetDefaultGridKinds(kind, f->gridLinesVertical);
}

void listVGridLinesSetter(VornRuntimeObject* object, int32_t, int32_t kind) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return;
  f->gridLinesVertical = kind;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetDefaultGridKinds(f->gridLinesHorizontal, kind);
}

void listDefaultRowHeightSetter(VornRuntimeObject* object, int32_t, int32_t height) {
  if (VornListboxFields* f = FieldsOf(object)) f->defaultRowHeight = height;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetDefaultRowHeight(height);
}

// --- headings and sorting ----------------------------------------------------------------------

void listHasHeadingSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->hasHeading = value != 0;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetHasHeading(value != 0);
}

VornStringRecord* listGetHeading(VornRuntimeObject* object, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckColumn(pane, column)) return nullptr;
  return pane->GetHeading(column).GetRetainedRep();
}

void listSetHeading(VornRuntimeObject* object, int32_t column, VornStringRecord* text) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) return;
  if (column < -1 || column > pane->Columns().ColumnCount()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  pane->SetHeading(column, string::Share(text));
}

int32_t listSortedColumnGetter(VornRuntimeObject* object, int32_t) {
  if (RuntimeListbox* pane = ListboxPane(object)) return pane->SortedColumn();
  VornListboxFields* f = FieldsOf(object);
  return f ? f->pendingHeadingIndex : -1;
}

void listSortedColumnSetter(VornRuntimeObject* object, int32_t, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) {
    if (VornListboxFields* f = FieldsOf(object)) f->pendingHeadingIndex = column;
    return;
  }
  if (column != -1 && !CheckColumn(pane, column)) return;
  pane->SetSortedColumn(column);
}

void listHeadingIndexSetter(VornRuntimeObject* object, int32_t, int32_t column) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return;
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) {
    f->pendingHeadingIndex = column;
    return;
  }
  if (column < -1 || column >= pane->Columns().ColumnCount()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  pane->SelectSortHeading(column);
}

void listColumnPressHeader(VornRuntimeObject* object, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  if (pane && CheckColumn(pane, column)) pane->SelectSortHeading(column);
}

int32_t listColumnSortDirectionGetter(VornRuntimeObject* object, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) return 1;
  if (!CheckColumn(pane, column)) return 0;
  return pane->GetSortDirection(column);
}

void listColumnSortDirectionSetter(VornRuntimeObject* object, int32_t column, int32_t direction) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) return;
  if (column == -1) {
    for (int32_t i = 0; i < kMaxListColumns; ++i) pane->SetSortDirection(i, direction);
  } else if (CheckColumn(pane, column)) {
    pane->SetSortDirection(column, direction);
  }
  pane->Invalidate(true);
}

void RuntimeListResort(VornRuntimeObject* object) {
  RuntimeListbox* pane = ListboxPane(object);
  if (pane && pane->SortedColumn() >= 0) pane->SortByColumn(pane->SortedColumn());
}

void RuntimeListInitialValueSetter(VornRuntimeObject* object, int32_t, VornStringRecord* text) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return;
  ReplaceStringRep(f->initialValue, text);
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetCellText(-1, -1, string::Share(text), true);
}

}  // extern "C"
