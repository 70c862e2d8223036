/*
 * The Listbox control as compiled code calls it.
 *
 * Listbox derives from RectControl; its own properties begin at property index 26
 * (kVornControlFirstOwnProperty), in this order:
 *   26 TextFont, 27 TextSize, 28 Bold, 29 Italic, 30 Underline, 31 ListCount (read-only),
 *   32 ListIndex, 33 Text, 34 ColumnCount, 35 ColumnWidths, 36 Hierarchical,
 *   37 LastIndex (read-only), 38 EnableDrag, 39 EnableDragReorder, 40 SelectionType,
 *   41 SelCount (read-only), 42 InitialValue, 43 HasHeading, 44 UseFocusRing,
 *   45 HeadingIndex, 46 ScrollPosition, 47 ScrollPositionX, 48 ScrollBarHorizontal,
 *   49 ScrollBarVertical, 50 DataSource, 51 DataField, 52 GridLinesHorizontal,
 *   53 GridLinesVertical, 54 DefaultRowHeight, 55 ActiveCell (read-only), 56 SortedColumn,
 *   57 ColumnsResizable, 58 RequiresSelection
 *
 * Events, in order, with the handler prototypes the runtime calls (the object first):
 *   Change, DoubleClick, GotFocus, LostFocus: void (self)
 *   KeyDown: uint8_t (self, VornStringRecord *key)
 *   ExpandRow, CollapseRow: void (self, int32_t row)
 *   SortColumn, HeaderPressed: uint8_t (self, int32_t column); true: handled
 *   CompareRows: uint8_t (self, int32_t row1, int32_t row2, int32_t column, int32_t *result)
 * The other events of the list (EnableMenuItems, DragRow, CellAction, CellBackgroundPaint,
 * CellTextPaint, CellClick, CellKeyDown, CellTextChange, CellGotFocus, CellLostFocus,
 * MouseDown, MouseDrag, MouseUp, DragReorderRows) are declared in their places.
 *
 * Rows and cells exist only once the control has its pane; before that the row entry points
 * do nothing and answer 0, nil or the empty string, while settings are kept in the fields
 * below and applied when the pane is made. Bad row and column indexes raise
 * OutOfBoundsException. String results carry one reference for the caller.
 */
#ifndef VORN_LISTBOX_API_H
#define VORN_LISTBOX_API_H

#include <stdint.h>

#include "vorn/control_api.h"

#ifdef __cplusplus
extern "C" {
#endif

#define VORN_LISTBOX_MAX_COLUMNS 64

/* A notification-receiver list as the runtime keeps it: its first node and the sends walking
 * it. Zero-filled is empty. */
typedef struct VornReceiverList {
  void *head;
  int32_t sending;
} VornReceiverList;

/* The Listbox object's own fields, after the control base. */
typedef struct VornListboxFields {
  VornStringRecord *dataSource;
  VornStringRecord *dataField;
  uint8_t hierarchical;
  uint8_t enableDrag;
  uint8_t enableDragReorder;
  uint8_t hasHeading;
  uint8_t useFocusRing;
  uint8_t scrollBarHorizontal;
  uint8_t scrollBarVertical;
  int32_t selectionType; /* 0 single, 1 multiple */
  int32_t pendingHeadingIndex;
  int32_t pendingColumnCount;
  int32_t pendingScrollPosition;
  int32_t pendingScrollPositionX;
  int32_t gridLinesHorizontal;
  int32_t gridLinesVertical;
  uint8_t requiresSelection;
  VornStringRecord *initialValue;
  VornStringRecord *columnWidths;
  uint8_t columnsResizable;
  int32_t defaultRowHeight;
  VornStringRecord *textFont;
  int16_t textSize;
  uint8_t bold;
  uint8_t italic;
  uint8_t underline;
  uint8_t columnTypes[VORN_LISTBOX_MAX_COLUMNS];
  uint8_t columnAlignments[VORN_LISTBOX_MAX_COLUMNS];
  int16_t columnAlignmentOffsets[VORN_LISTBOX_MAX_COLUMNS];
  int32_t lastIndex;
  VornRuntimeObject *boundData; /* a listDataProvider, held; nil when the list keeps its rows */
  VornReceiverList gotFocusReceivers;
  VornReceiverList lostFocusReceivers;
  uint8_t paneCreated;
  uint8_t autoHideScrollbars; /* wanted scroll bars hide while there is nothing to scroll */
} VornListboxFields;

typedef struct VornListboxObject {
  VornControlObject base;
  VornListboxFields fields;
} VornListboxObject;

/* Class set-up and the pane. */
void listboxConstructor(VornRuntimeObject *list);
void listboxDestructor(VornRuntimeObject *list);
void ListboxCreatePane(VornRuntimeObject *list);

/* Properties: (object, parameter word[, value]). */
void listTextFontSetter(VornRuntimeObject *list, int32_t param, VornStringRecord *font);
void listTextSizeSetter(VornRuntimeObject *list, int32_t param, int32_t size);
void listBoldSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
void listItalicSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
void listUnderlineSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
int32_t listCountGetter(VornRuntimeObject *list, int32_t param);
int32_t listSelectionGetter(VornRuntimeObject *list, int32_t param);
void listSelectionSetter(VornRuntimeObject *list, int32_t param, int32_t row);
VornStringRecord *listTextGetter(VornRuntimeObject *list, int32_t param);
void listTextSetter(VornRuntimeObject *list, int32_t param, VornStringRecord *text);
int32_t listColumnCountGetter(VornRuntimeObject *list, int32_t param);
void listColumnCountSetter(VornRuntimeObject *list, int32_t param, int32_t count);
VornStringRecord *listColumnWidthsGetter(VornRuntimeObject *list, int32_t param);
void listColumnWidthsSetter(VornRuntimeObject *list, int32_t param, VornStringRecord *widths);
void listHierarchicalSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
int32_t listLastIndexGetter(VornRuntimeObject *list, int32_t param);
int32_t listSelCountGetter(VornRuntimeObject *list, int32_t param);
void RuntimeListInitialValueSetter(VornRuntimeObject *list, int32_t param, VornStringRecord *text);
void listHasHeadingSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
int32_t listSortedColumnGetter(VornRuntimeObject *list, int32_t param);
void listSortedColumnSetter(VornRuntimeObject *list, int32_t param, int32_t column);
void listHeadingIndexSetter(VornRuntimeObject *list, int32_t param, int32_t column);
int32_t listScrollPositionGetter(VornRuntimeObject *list, int32_t param);
void listScrollPositionSetter(VornRuntimeObject *list, int32_t param, int32_t row);
void listHGridLinesSetter(VornRuntimeObject *list, int32_t param, int32_t kind);
void listVGridLinesSetter(VornRuntimeObject *list, int32_t param, int32_t kind);
void listDefaultRowHeightSetter(VornRuntimeObject *list, int32_t param, int32_t height);
VornRuntimeObject *listActiveCellGetter(VornRuntimeObject *list, int32_t param);
void listRequiresSelectionSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
VornStringRecord *listTextFontGetter(VornRuntimeObject *list, int32_t param);
int32_t listTextSizeGetter(VornRuntimeObject *list, int32_t param);
uint8_t listBoldGetter(VornRuntimeObject *list, int32_t param);
uint8_t listItalicGetter(VornRuntimeObject *list, int32_t param);
uint8_t listUnderlineGetter(VornRuntimeObject *list, int32_t param);
uint8_t listboxUseFocusRingGetter(VornRuntimeObject *list, int32_t param);
void listboxUseFocusRingSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
void listEnableDragSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
void ListEnableDragReorderSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
int32_t listScrollPositionXGetter(VornRuntimeObject *list, int32_t param);
void listScrollPositionXSetter(VornRuntimeObject *list, int32_t param, int32_t pixels);
void listHScrollBarSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
void listVScrollBarSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
void listAutoHideScrollbarSetter(VornRuntimeObject *list, int32_t param, uint8_t value);
VornStringRecord *ListboxDataSourceGetter(VornRuntimeObject *list, int32_t param);
void ListboxDataSourceSetter(VornRuntimeObject *list, int32_t param, VornStringRecord *name);
void ListboxDataFieldSetter(VornRuntimeObject *list, int32_t param, VornStringRecord *name);

/* Methods: (object, arguments). */
void RuntimeListEmpty(VornRuntimeObject *list);
void listEditCell(VornRuntimeObject *list, int32_t row, int32_t column);
void RuntimeListAddRow(VornRuntimeObject *list, VornStringRecord *text);
void RuntimeListAddParent(VornRuntimeObject *list, VornStringRecord *text);
void RuntimeListInsertRow(VornRuntimeObject *list, int32_t row, VornStringRecord *text, int32_t indent);
void RuntimeListInsertParent(VornRuntimeObject *list, int32_t row, VornStringRecord *text, int32_t indent);
void RuntimeRemoveRow(VornRuntimeObject *list, int32_t row);
VornStringRecord *RuntimeGetRow(VornRuntimeObject *list, int32_t row);
void RuntimeSetRow(VornRuntimeObject *list, int32_t row, VornStringRecord *text);
VornStringRecord *listGetCell(VornRuntimeObject *list, int32_t row, int32_t column);
uint8_t listCellCheckGetter(VornRuntimeObject *list, int32_t row, int32_t column);
void listCellCheckSetter(VornRuntimeObject *list, int32_t row, int32_t column, uint8_t value);
int32_t listCellTypeGetter(VornRuntimeObject *list, int32_t row, int32_t column);
void listCellTypeSetter(VornRuntimeObject *list, int32_t row, int32_t column, int32_t type);
void listSetCell(VornRuntimeObject *list, int32_t row, int32_t column, VornStringRecord *text);
uint8_t listGetCellBold(VornRuntimeObject *list, int32_t row, int32_t column);
void listSetCellBold(VornRuntimeObject *list, int32_t row, int32_t column, uint8_t value);
uint8_t listGetCellItalic(VornRuntimeObject *list, int32_t row, int32_t column);
void listSetCellItalic(VornRuntimeObject *list, int32_t row, int32_t column, uint8_t value);
uint8_t listGetCellUnderline(VornRuntimeObject *list, int32_t row, int32_t column);
void listSetCellUnderline(VornRuntimeObject *list, int32_t row, int32_t column, uint8_t value);
uint8_t listGetSelected(VornRuntimeObject *list, int32_t row);
void listSetSelected(VornRuntimeObject *list, int32_t row, uint8_t value);
uint8_t listGetExpanded(VornRuntimeObject *list, int32_t row);
uint8_t listSetExpanded(VornRuntimeObject *list, int32_t row, uint8_t value);
VornStringRecord *listGetHeading(VornRuntimeObject *list, int32_t column);
void listSetHeading(VornRuntimeObject *list, int32_t column, VornStringRecord *text);
int32_t listColumnSortDirectionGetter(VornRuntimeObject *list, int32_t column);
void listColumnSortDirectionSetter(VornRuntimeObject *list, int32_t column, int32_t direction);
void RuntimeListResort(VornRuntimeObject *list);
void listColumnPressHeader(VornRuntimeObject *list, int32_t column);
int32_t listColumnTypeGetter(VornRuntimeObject *list, int32_t column);
void listColumnTypeSetter(VornRuntimeObject *list, int32_t column, int32_t type);
int32_t listColumnAlignmentGetter(VornRuntimeObject *list, int32_t column);
void listColumnAlignmentSetter(VornRuntimeObject *list, int32_t column, int32_t alignment);
int32_t listRowFromXY(VornRuntimeObject *list, int32_t x, int32_t y);
void listInvalidateCell(VornRuntimeObject *list, int32_t row, int32_t column);
/* RowPicture: a Picture, one reference for the caller; nil clears it. */
VornRuntimeObject *listGetRowPicture(VornRuntimeObject *list, int32_t row);
void listSetRowPicture(VornRuntimeObject *list, int32_t row, VornRuntimeObject *picture);
VornRuntimeObject *listGetCellTag(VornRuntimeObject *list, int32_t row, int32_t column);
void listSetCellTag(VornRuntimeObject *list, int32_t row, int32_t column, VornRuntimeObject *tag);
int32_t listCellAlignmentGetter(VornRuntimeObject *list, int32_t row, int32_t column);
void listCellAlignmentSetter(VornRuntimeObject *list, int32_t row, int32_t column, int32_t alignment);
int32_t listCellAlignmentOffsetGetter(VornRuntimeObject *list, int32_t row, int32_t column);
void listCellAlignmentOffsetSetter(VornRuntimeObject *list, int32_t row, int32_t column, int32_t offset);
int32_t listColumnAlignmentOffsetGetter(VornRuntimeObject *list, int32_t column);
void listColumnAlignmentOffsetSetter(VornRuntimeObject *list, int32_t column, int32_t offset);
/* Cell borders: one side's kind (Border constants); columns 0 to ColumnCount, -1 after an
 * out-of-range error. */
int32_t listGetCellBorderTop(VornRuntimeObject *list, int32_t row, int32_t column);
void listSetCellBorderTop(VornRuntimeObject *list, int32_t row, int32_t column, int32_t kind);
int32_t listGetCellBorderLeft(VornRuntimeObject *list, int32_t row, int32_t column);
void listSetCellBorderLeft(VornRuntimeObject *list, int32_t row, int32_t column, int32_t kind);
int32_t listGetCellBorderBottom(VornRuntimeObject *list, int32_t row, int32_t column);
void listSetCellBorderBottom(VornRuntimeObject *list, int32_t row, int32_t column, int32_t kind);
int32_t listGetCellBorderRight(VornRuntimeObject *list, int32_t row, int32_t column);
void listSetCellBorderRight(VornRuntimeObject *list, int32_t row, int32_t column, int32_t kind);
int32_t listColFromXY(VornRuntimeObject *list, int32_t x, int32_t y);

/* Column(index): a ListColumn snapshot of one column (-1: every column), one reference for the
 * caller; nil without pane. Its setter applies all seven settings of the snapshot. */
VornRuntimeObject *listColumnGetter(VornRuntimeObject *list, int32_t column);
void listColumnSetter(VornRuntimeObject *list, int32_t column, VornRuntimeObject *settings);

/* ListColumn: selector 0 width, 1 minimum, 2 maximum. With a pane behind its list they read
 * and change the list's column; otherwise the object's own fields. */
void RuntimeListColumnConstructor(VornRuntimeObject *column);
void RuntimeListColumnDestructor(VornRuntimeObject *column);
uint8_t listColUserResizableGetter(VornRuntimeObject *column, int32_t param);
void listColUserResizableSetter(VornRuntimeObject *column, int32_t param, uint8_t value);
VornStringRecord *listColWidthExpressionGetter(VornRuntimeObject *column, int32_t selector);
void listColWidthExpressionSetter(VornRuntimeObject *column, int32_t selector, VornStringRecord *text);
int32_t listColWidthActualGetter(VornRuntimeObject *column, int32_t selector);
void listColWidthActualSetter(VornRuntimeObject *column, int32_t selector, int32_t pixels);

/* Data binding. getBoundPart names (letter case ignored): "gotFocusAction", "lostFocusAction",
 * "getSelectionProvider", "columnValueProvider_<column>"; nil for others. */
VornRuntimeObject *listGetBoundPart(VornRuntimeObject *list, VornStringRecord *name);
void listAddLSNR(VornRuntimeObject *list, VornRuntimeObject *receiver);
void listRemoveLSNR(VornRuntimeObject *list, VornRuntimeObject *receiver);
void listBind(VornRuntimeObject *list, VornRuntimeObject *provider);
void listListDataInsertedRow(VornRuntimeObject *list, int32_t row);
void listListDataRemovedRow(VornRuntimeObject *list, int32_t row);
void listListDataReload(VornRuntimeObject *list);

void listSelectionProviderDestructor(VornRuntimeObject *part);
void listSelectionAddDataNotificationReceiver(VornRuntimeObject *part, VornRuntimeObject *receiver);
void listSelectionRemoveDataNotificationReceiver(VornRuntimeObject *part, VornRuntimeObject *receiver);
uint8_t listSelectionGetBoolean(VornRuntimeObject *part);
void listSelectionSetBoolean(VornRuntimeObject *part, uint8_t value);
void listSelectionChanging(VornRuntimeObject *part);
void listSelectionChanged(VornRuntimeObject *part);

void listboxActionDestructor(VornRuntimeObject *part);
void lbaAddActionNotificationReceiver(VornRuntimeObject *part, VornRuntimeObject *receiver);
void lbaRemoveActionNotificationReceiver(VornRuntimeObject *part, VornRuntimeObject *receiver);

void listColumnValueProviderDestructor(VornRuntimeObject *part);
VornStringRecord *lcvpGetString(VornRuntimeObject *part);
void lcvpSetString(VornRuntimeObject *part, VornStringRecord *text);
void lcvpAddDataNotificationReceiver(VornRuntimeObject *part, VornRuntimeObject *receiver);
void lcvpRemoveDataNotificationReceiver(VornRuntimeObject *part, VornRuntimeObject *receiver);
void lcvpSelectionChanging(VornRuntimeObject *part);
void lcvpSelectionChanged(VornRuntimeObject *part);
uint8_t lcvpDataAvailable(VornRuntimeObject *part);

#ifdef __cplusplus
}
#endif

#endif /* VORN_LISTBOX_API_H */
