// Listbox entry points of the appearance and per-cell members: text style getters, the focus
// ring, scroll bars and positions, dragging flags, row pictures, cell tags, alignments and
// borders, and the data-source names.
#include <algorithm>

#include "listbox/list_entry_checks.h"
#include "listbox/listbox_class.h"
#include "strings/vstring.h"

using namespace vorn;

namespace {

StringRep* Retained(StringRep* rep) {
  RetainStringRep(rep);
  return rep;
}

RuntimeObject* Locked(RuntimeObject* object) {
  RuntimeLockObject(object);
  return object;
}

// The pane of a cell operation whose indexes are good; nil (the exception pending) otherwise.
RuntimeListbox* CellPane(VornRuntimeObject* object, int32_t row, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  return pane && CheckCell(pane, row, column) ? pane : nullptr;
}

// Borders take columns up to ColumnCount: the edge right of the last column belongs to it.
RuntimeListbox* BorderPane(VornRuntimeObject* object, int32_t row, int32_t column) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane) return nullptr;
  if (row >= 0 && row < pane->RowCount() && column >= 0 && column <= pane->Columns().ColumnCount()) return pane;
  RuntimeRaiseOutOfBoundsException();
  return nullptr;
}

int32_t GetBorder(VornRuntimeObject* object, int32_t side, int32_t row, int32_t column) {
  RuntimeListbox* pane = BorderPane(object, row, column);
  return pane ? pane->GetCellBorder(side, row, column, false) : -1;
}

void SetBorder(VornRuntimeObject* object, int32_t side, int32_t row, int32_t column, int32_t kind) {
  if (RuntimeListbox* pane = BorderPane(object, row, column)) pane->SetCellBorder(side, row, column, kind);
}

bool ColumnIndexOk(VornRuntimeObject* object, int32_t column) {
  if (FieldsOf(object) && column >= 0 && column < kMaxListColumns) return true;
  RuntimeRaiseOutOfBoundsException();
  return false;
}

}  // namespace

extern "C" {

// --- text style ---------------------------------------------------------------------------

VornStringRecord* listTextFontGetter(VornRuntimeObject* object, int32_t) {
  VornListboxFields* f = FieldsOf(object);
  return f ? Retained(f->textFont) : nullptr;
}

int32_t listTextSizeGetter(VornRuntimeObject* object, int32_t) {
  VornListboxFields* f = FieldsOf(object);
  return f ? f->textSize : 0;
}

uint8_t listBoldGetter(VornRuntimeObject* object, int32_t) {
  VornListboxFields* f = FieldsOf(object);
  return f ? f->bold : 0;
}

uint8_t listItalicGetter(VornRuntimeObject* object, int32_t) {
  VornListboxFields* f = FieldsOf(object);
  return f ? f->italic : 0;
}

uint8_t listUnderlineGetter(VornRuntimeObject* object, int32_t) {
  VornListboxFields* f = FieldsOf(object);
  return f ? f->underline : 0;
}

// --- focus ring, dragging ----------------------------------------------------------------------

uint8_t listboxUseFocusRingGetter(VornRuntimeObject* object, int32_t) {
  VornListboxFields* f = FieldsOf(object);
  return f ? f->useFocusRing : 0;
}

void listboxUseFocusRingSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->useFocusRing = value != 0;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetUseFocusRing(value != 0);
}

void listEnableDragSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->enableDrag = value != 0;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetEnableDrag(value != 0);
}

void ListEnableDragReorderSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->enableDragReorder = value != 0;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetEnableDragReorder(value != 0);
}

// --- scroll bars and positions -----------------------------------------------------------------

int32_t listScrollPositionXGetter(VornRuntimeObject* object, int32_t) {
  if (RuntimeListbox* pane = ListboxPane(object)) return pane->ScrollPositionX();
  VornListboxFields* f = FieldsOf(object);
  return f ? f->pendingScrollPositionX : 0;
}

void listScrollPositionXSetter(VornRuntimeObject* object, int32_t, int32_t pixels) {
  pixels = std::max(pixels, 0);
  if (VornListboxFields* f = FieldsOf(object)) f->pendingScrollPositionX = pixels;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetScrollPositionX(pixels);
}

void listHScrollBarSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->scrollBarHorizontal = value != 0;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetHorizontalScrollBarWanted(value != 0);
}

void listVScrollBarSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->scrollBarVertical = value != 0;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetVerticalScrollBarWanted(value != 0);
}

void listAutoHideScrollbarSetter(VornRuntimeObject* object, int32_t, uint8_t value) {
  if (VornListboxFields* f = FieldsOf(object)) f->autoHideScrollbars = value != 0;
  if (RuntimeListbox* pane = ListboxPane(object)) pane->SetScrollBarsOnlyWhenNeeded(value != 0);
}

// --- data source names -------------------------------------------------------------------------

VornStringRecord* ListboxDataSourceGetter(VornRuntimeObject* object, int32_t) {
  VornListboxFields* f = FieldsOf(object);
  return f ? Retained(f->dataSource) : nullptr;
}

void ListboxDataSourceSetter(VornRuntimeObject* object, int32_t, VornStringRecord* name) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return;
  ReplaceStringRep(f->dataSource, name);
  if (RuntimeListbox* pane = ListboxPane(object)) {
    pane->UnbindDataSource();
    pane->SetDataSourceName(string::Share(f->dataSource));
    pane->BindDataSource();
  }
}

void ListboxDataFieldSetter(VornRuntimeObject* object, int32_t, VornStringRecord* name) {
  VornListboxFields* f = FieldsOf(object);
  if (!f) return;
  ReplaceStringRep(f->dataField, name);
  if (RuntimeListbox* pane = ListboxPane(object)) pane->BindDataSource();
}

// --- cells ---------------------------------------------------------------------------------------

void listInvalidateCell(VornRuntimeObject* object, int32_t row, int32_t column) {
  if (RuntimeListbox* pane = CellPane(object, row, column)) pane->InvalidateCell(row, column);
}

VornRuntimeObject* listGetRowPicture(VornRuntimeObject* object, int32_t row) {
  RuntimeListbox* pane = ListboxPane(object);
  if (!pane || !CheckRow(pane, row)) return nullptr;
  return Locked(pane->GetCellPicture(row, 0));
}

void listSetRowPicture(VornRuntimeObject* object, int32_t row, VornRuntimeObject* picture) {
  RuntimeListbox* pane = ListboxPane(object);
  if (pane && CheckRow(pane, row)) pane->SetCellPicture(row, 0, picture);
}

VornRuntimeObject* listGetCellTag(VornRuntimeObject* object, int32_t row, int32_t column) {
  RuntimeListbox* pane = CellPane(object, row, column);
  CellAttributes* cell = pane ? pane->FindCell(row, column, false) : nullptr;
  return cell ? Locked(cell->mTag) : nullptr;
}

void listSetCellTag(VornRuntimeObject* object, int32_t row, int32_t column, VornRuntimeObject* tag) {
  RuntimeListbox* pane = CellPane(object, row, column);
  CellAttributes* cell = pane ? pane->FindCell(row, column, tag != nullptr) : nullptr;
  if (cell) cell->SetTag(tag);
}

int32_t listCellAlignmentGetter(VornRuntimeObject* object, int32_t row, int32_t column) {
  RuntimeListbox* pane = CellPane(object, row, column);
  CellAttributes* cell = pane ? pane->FindCell(row, column, false) : nullptr;
  return cell ? cell->mAlignment : 0;
}

void listCellAlignmentSetter(VornRuntimeObject* object, int32_t row, int32_t column, int32_t alignment) {
  RuntimeListbox* pane = CellPane(object, row, column);
  if (CellAttributes* cell = pane ? pane->FindCell(row, column, true) : nullptr) {
    cell->mAlignment = alignment;
    pane->InvalidateCell(row, column);
  }
}

int32_t listCellAlignmentOffsetGetter(VornRuntimeObject* object, int32_t row, int32_t column) {
  RuntimeListbox* pane = CellPane(object, row, column);
  CellAttributes* cell = pane ? pane->FindCell(row, column, false) : nullptr;
  return cell ? cell->mAlignmentOffset : 0;
}

void listCellAlignmentOffsetSetter(VornRuntimeObject* object, int32_t row, int32_t column, int32_t offset) {
  RuntimeListbox* pane = CellPane(object, row, column);
  if (CellAttributes* cell = pane ? pane->FindCell(row, column, true) : nullptr) {
    cell->mAlignmentOffset = offset;
    pane->InvalidateCell(row, column);
  }
}

int32_t listColumnAlignmentOffsetGetter(VornRuntimeObject* object, int32_t column) {
  if (!ColumnIndexOk(object, column)) return 0;
  if (RuntimeListbox* pane = ListboxPane(object)) return pane->Columns().GetColumnAlignmentOffset(column);
  return FieldsOf(object)->columnAlignmentOffsets[column];
}

void listColumnAlignmentOffsetSetter(VornRuntimeObject* object, int32_t column, int32_t offset) {
  if (!ColumnIndexOk(object, column)) return;
  FieldsOf(object)->columnAlignmentOffsets[column] = static_cast<int16_t>(std::clamp(offset, -0x8000, 0x7FFF));
  if (RuntimeListbox* pane = ListboxPane(object)) {
    pane->Columns().SetColumnAlignment(column, pane->Columns().GetColumnAlignment(column), offset);
    pane->Invalidate(true);
  }
}

int32_t listGetCellBorderTop(VornRuntimeObject* o, int32_t row, int32_t column) {
  return GetBorder(o, kBorderTop, row, column);
}
int32_t listGetCellBorderLeft(VornRuntimeObject* o, int32_t row, int32_t column) {
  return GetBorder(o, kBorderLeft, row, column);
}
int32_t listGetCellBorderBottom(VornRuntimeObject* o, int32_t row, int32_t column) {
  return GetBorder(o, kBorderBottom, row, column);
}
int32_t listGetCellBorderRight(VornRuntimeObject* o, int32_t row, int32_t column) {
  return GetBorder(o, kBorderRight, row, column);
}
void listSetCellBorderTop(VornRuntimeObject* o, int32_t row, int32_t column, int32_t kind) {
  SetBorder(o, kBorderTop, row, column, kind);
}
void listSetCellBorderLeft(VornRuntimeObject* o, int32_t row, int32_t column, int32_t kind) {
  SetBorder(o, kBorderLeft, row, column, kind);
}
void listSetCellBorderBottom(VornRuntimeObject* o, int32_t row, int32_t column, int32_t kind) {
  SetBorder(o, kBorderBottom, row, column, kind);
}
void listSetCellBorderRight(VornRuntimeObject* o, int32_t row, int32_t column, int32_t kind) {
  SetBorder(o, kBorderRight, row, column, kind);
}

}  // extern "C"
