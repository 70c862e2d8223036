// The pane behind every language list box: columns, rows and selection drawn by the runtime
// itself through the pane's drawing port, with a heading row that sorts, mouse and keyboard
// selection, and scrolling by whole rows.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "controls/data_aware.h"
#include "graphics/color_types.h"
#include "graphics/text_style.h"
#include "listbox/list_columns.h"
#include "listbox/list_rows.h"
#include "listbox/list_selection.h"
#include "listbox/ordered_receivers.h"
#include "objects/event_dispatch.h"
#include "windows/container_pane.h"

struct _GdkGC;

namespace vorn {

class DrawablePane;
class EditControl;
class Graphics;
class ListBarRouter;
class ListCellRouter;
class Scroller;
struct NotificationReceiverList;

// The owner's events the pane raises, in the order of the class's event list.
struct ListboxHooks {
  const ObjectHook* change = nullptr;
  const ObjectHook* doubleClick = nullptr;
  const ObjectHook* keyDown = nullptr;  // (Key As String) As Boolean
  const ObjectHook* enableMenuItems = nullptr;
  const ObjectHook* expandRow = nullptr;
  const ObjectHook* collapseRow = nullptr;
  const ObjectHook* sortColumn = nullptr;  // (column) As Boolean
  const ObjectHook* gotFocus = nullptr;
  const ObjectHook* lostFocus = nullptr;
  const ObjectHook* compareRows = nullptr;  // (row1, row2, column, ByRef result) As Boolean
  const ObjectHook* headerPressed = nullptr;  // (column) As Boolean
  const ObjectHook* cellClick = nullptr;  // (row, column, x, y within the cell) As Boolean
  const ObjectHook* mouseDown = nullptr;  // (x, y within the list) As Boolean
  const ObjectHook* mouseDrag = nullptr;  // (x, y)
  const ObjectHook* mouseUp = nullptr;  // (x, y)
  const ObjectHook* cellAction = nullptr;  // (row, column)
  const ObjectHook* cellKeyDown = nullptr;  // (row, column, key) As Boolean
  const ObjectHook* cellTextChange = nullptr;  // (row, column)
  const ObjectHook* cellGotFocus = nullptr;  // (row, column)
  const ObjectHook* cellLostFocus = nullptr;  // (row, column)
  const ObjectHook* cellBackgroundPaint = nullptr;  // (g, row, column) As Boolean
  const ObjectHook* cellTextPaint = nullptr;  // (g, row, column, x, y) As Boolean
  const ObjectHook* dragRow = nullptr;  // (drag, row) As Boolean
  const ObjectHook* dragReorderRows = nullptr;  // (newPosition, parentRow) As Boolean
  bool reorderTakesPosition = false;  // the older class passes only newPosition
};

constexpr int32_t kListHeadingHeight = 23;

// The desktop's double-click time in ticks.
uint32_t ListDoubleClickTicks();

class RuntimeListbox : public ContainerPane,
                       public ListRows,
                       public ListSelectionListener,
                       public ListColumnsListener,
                       public DataAwareClass {
 public:
  RuntimeListbox(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, bool multipleSelection);
  ~RuntimeListbox() override;

  // A nil owner also forgets the focus receivers and the bound data, which live in it.
  void SetOwner(RuntimeObject* owner, const ListboxHooks* hooks);
  ListSelection& Selection() { return mSelection; }

  // Told "selectionChanging" before and "selectionChanged" after each selection change.
  void AddSelectionReceiver(RuntimeObject* receiver) { mSelectionReceivers.Add(receiver); }
  void RemoveSelectionReceiver(RuntimeObject* receiver) { mSelectionReceivers.Remove(receiver); }
  int32_t SelectionReceiverCount() const { return mSelectionReceivers.Count(); }
  // The owner's lists whose receivers perform their action after GotFocus and LostFocus.
  void SetFocusReceivers(NotificationReceiverList* gotFocus, NotificationReceiverList* lostFocus);
  // The listDataProvider whose rows the list shows, held by the owner; nil: the list's own rows.
  // Changing it drops every row.
  void SetBoundData(RuntimeObject* provider);
  RuntimeObject* BoundData() const { return mBoundData; }

  void SetHasHeading(bool on);
  bool HasHeadingRow() const { return mHasHeading; }
  string GetHeading(int32_t column) const;
  // Column -1 takes every heading from one tab-separated line.
  void SetHeading(int32_t column, const string& text);
  void SetListTextStyle(const vorn::TextStyle& style);
  void SetDefaultRowHeight(int32_t height);
  void SetColumnCountAndLayout(int32_t count);
  // Presses the column's heading as a click would: the direction flips on a second press.
  void PressHeading(int32_t column);
  void SelectSortHeading(int32_t column);

  // Scroll bars: a wanted bar exists; with only-when-needed it hides while there is nothing to
  // scroll, else it shows disabled.
  void SetVerticalScrollBarWanted(bool wanted);
  void SetHorizontalScrollBarWanted(bool wanted);
  void SetScrollBarsOnlyWhenNeeded(bool on);
  Scroller* VerticalScrollBar();
  Scroller* HorizontalScrollBar();
  bool IsVerticalScrollBarVisible() const;
  bool IsHorizontalScrollBarVisible() const;
  // Brings the bars' ranges, visibility and places up to date with rows and columns.
  void UpdateScrollBars();
  int32_t TotalColumnWidth() const;
  // Empty without a heading.
  Rect HeadingRect() const;
  int32_t ScrollPositionX() const { return mColumnModel.HorizontalScrollOffset(); }
  void SetScrollPositionX(int32_t offset);
  bool TrackDragOver(int32_t x, int32_t y, DragItem* item) override;
  SubPane* FindDropTarget(int32_t x, int32_t y, DragItem* item) override;
  void DropObject(DragItem* item, int32_t x, int32_t y) override;
  // While a reordering drag is over the list: where the rows would go (-1: nowhere).
  int32_t DropRow() const { return mDropRow; }
  int32_t DropDepth() const { return mDropDepth; }

  void InvalidateCell(int32_t row, int32_t column) override;
  // Every cell is drawn again (the offscreen image keeps nothing).
  void Invalidate(bool flag = true) override;
  // Draws one row into the offscreen image and onto the window at once; false when the image
  // does not show the list as it is now (the row is then left to the next expose).
  bool DrawRowNow(int32_t row);
  void SetUseFocusRing(bool on);
  bool UsesFocusRing() const { return mUseFocusRing; }
  void SetEnableDrag(bool on) { mEnableDrag = on; }
  void SetEnableDragReorder(bool on) { mEnableDragReorder = on; }
  bool DragEnabled() const { return mEnableDrag; }
  bool DragReorderEnabled() const { return mEnableDragReorder; }
  // Registers the owner with the data control its DataSource names, which then selects the
  // row matching its DataField; UnbindDataSource drops that registration.
  void BindDataSource() override;
  void UnbindDataSource() override;

  // The list's row height: every row's, unless cells' bottom lines make some rows taller.
  int32_t RowHeight();
  // One row's own height; rows past the end have the list's.
  int32_t RowHeightOf(int32_t row);
  bool RowsVaryInHeight() const { return mDefaultRowHeight < 0 && HasCellBorders(); }
  // The top of a row in the pane, counted from the first visible row.
  int32_t RowTop(int32_t row);
  // The first visible row that shows the last row at the bottom: the vertical bar's maximum.
  int32_t LastFirstVisibleRow();
  int32_t FirstVisibleRow() const { return mFirstVisible; }
  void SetFirstVisibleRow(int32_t row) override;
  // The rows that fit whole from the first visible row on (at least one).
  int32_t VisibleRowCount();
  // The row under a point of the pane, -1 when none.
  int32_t RowAt(int32_t x, int32_t y);
  int32_t ColumnAt(int32_t x) const;
  Rect RowArea() const;
  // How much of the list's height its frame, heading and bottom bar take from the rows.
  int32_t RowAreaInset() const;

  // SubPane
  void Draw(Graphics* port) override;
  void DrawInto(Graphics* port) override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  bool MouseWheel(int32_t x, int32_t y, int32_t delta) override;
  // Over the heading, the column under the pointer is lit; elsewhere and on leaving, none.
  void MouseMove(int32_t x, int32_t y) override;
  void MouseExit() override;
  int32_t HoveredHeading() const { return mHoveredHeading; }
  // Selects the row under a right-click (unless it is selected already), then passes it on.
  bool ContextualClick(int32_t x, int32_t y, int32_t modifiers) override;
  bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) override;
  bool CanFocus() override;
  void GotFocus() override;
  void LostFocus() override;
  void SetBounds(const Rect& r, bool redraw) override;

  // In-place editing of one cell in the list's own edit field.
  void EditCell(int32_t row, int32_t column);
  // Save: the field's text becomes the cell's and CellAction fires.
  void EndEdit(bool save);
  bool IsEditing() const { return mEditRow >= 0; }
  int32_t EditedRow() const override { return mEditRow; }
  int32_t EditedColumn() const { return mEditColumn; }
  EditControl* CellEditor() const { return mEditor; }
  // An EditField object over the list's field while a cell is edited (ActiveCell); nil else.
  RuntimeObject* EditObject();
  void Close() override;
  bool AdjustCursor(int32_t x, int32_t y) override;
  void EnableMenuItems() override;
  bool DoMenuCommand(int32_t command) override;
  // EditCopy and EditSelectAll; false when the list has nothing for the command.
  bool DoEditCommand(std::string_view name);
  // The column whose right edge is under a point of the heading and may be dragged; -1 if none.
  int32_t ColumnEdgeAt(int32_t x, int32_t y) const;
  bool IsResizingColumn() const { return mResizeColumn >= 0; }

 protected:
  // ListRows
  void InvalidateRow(int32_t row) override;
  void InvalidateColumn(int32_t column) override;
  void InvalidateAll() override;
  void RowsInserted(int32_t index, int32_t count) override;
  void RowsRemoving(int32_t first, int32_t count) override;
  void EndCellEdit(bool discard) override { EndEdit(!discard); }
  void FireExpandRow(int32_t row) override;
  void FireCollapseRow(int32_t row) override;
  bool HasHeading() const override { return mHasHeading; }
  void SetHeadings(const string& tabbedText) override { SetHeading(-1, tabbedText); }
  void ColumnCountChanged() override;
  bool IsRowSelected(int32_t row) const override { return mSelection.IsRowSelected(row); }
  int32_t SelectedRowCount() const override { return mSelection.GetSelectedCount(); }
  void SelectOnly(int32_t row) override { mSelection.SelectRow(row, true); }
  bool FireSortColumn(int32_t column, bool& sortedRows) override;
  bool FireCompareRows(int32_t row1, int32_t row2, int32_t column, int32_t& result) override;
  bool ComparesRowsItself() const override { return OwnerHandler(&ListboxHooks::compareRows) != nullptr; }
  bool IsListClosing() override { return IsGoingAway(); }
  string BoundCellText(int32_t row, int32_t column) const override;

  // ListColumnsListener
  void ColumnEdgesChanged() override;

  // ListSelectionListener
  void SelectionWillChange() override;
  void SelectionChanged() override;
  void RedrawRow(int32_t row) override;
  void ScrollRowIntoView(int32_t row) override;
  void ScrollColumnIntoView(int32_t column);

 private:
  void UpdateRowArea();
  void HeadingClicked(int32_t column);
  void NotifyFocus(const ObjectHook* hook, bool gotFocus);
  void* OwnerHandler(const ObjectHook* ListboxHooks::*hook) const;
  // Offers the press to the owner's MouseDown, then to CellClick; true when one took it, or
  // when the list went away meanwhile.
  bool OwnerTookPress(int32_t x, int32_t y);
  // Left and Right on a selected folder of a hierarchical list; true when it changed.
  bool FolderKey(int32_t key);
  void DrawHeading(Graphics* port);
  // Draws the rows that reach into the lines [bandTop, bandBottom) of the pane.
  void DrawRows(Graphics* port, int32_t bandTop = INT32_MIN, int32_t bandBottom = INT32_MAX);
  // The rows through the offscreen image: only cells outside the valid rectangle are drawn.
  void DrawRowArea(Graphics* port);
  // The window is drawn again from the offscreen image as it is.
  void InvalidateShown();
  void ScrollShown(int32_t oldFirst);
  void ForgetValidCells();
  bool CellIsValid(int32_t row, int32_t column) const;
  void ShrinkValidCells(int32_t row, int32_t column);
  // Rows from `row` on moved.
  void RowsChanged(int32_t row);
  void DropOffscreen();
  bool EnsureOffscreen(const Rect& area);
  void FollowScroll(const Rect& area);
  void RecordValidCells(const Rect& area);
  void CopyOffscreen(Graphics* windowPort, const Rect& strip);
  void UpdateOffscreen(const Rect& area);
  bool DrawStripsNow(const Rect* strips, int32_t count);
  struct RingBand {
    int32_t top, bottom;  // pane lines of the band
    int32_t origin;       // the pane line drawn on the image's top line
  };
  int32_t RingBands(const Rect& area, RingBand bands[2]) const;
  void DrawRowCells(Graphics* port, int32_t row, const Rect& rowRect, bool selected);
  void DrawRowPicture(Graphics* port, RuntimeObject* picture, int32_t centreX, int32_t centreY);
  // The owner's paint events for one cell (rectangle in pane coordinates); true when the
  // handler answered that it drew.
  bool FireCellBackgroundPaint(Graphics* port, const Rect& cell, int32_t row, int32_t column);
  bool FireCellTextPaint(Graphics* port, const Rect& cell, int32_t row, int32_t column, int32_t x, int32_t y);
  bool HasCellPaintHandlers() const;
  struct SelectionColors {
    RGB48 background{0x3030, 0x6060, 0xC0C0};
    RGB48 text{0xFFFF, 0xFFFF, 0xFFFF};
  };
  SelectionColors ThemeSelectionColors() const;
  void DrawCellBorders(Graphics* port, const Rect& cell, int32_t row, int32_t column);
  static int32_t DecimalStart(Graphics* port, const string& line, int32_t offset, int32_t right);
  // The text up to its first carriage return or line feed.
  static string FirstLine(const string& text);
  void DrawFrame(Graphics* port);
  void ClampFirstVisible();
  // The cell's rectangle in the pane; empty when the cell is scrolled out of view.
  Rect CellRect(int32_t row, int32_t column);
  // Puts the edit field over the edited cell, or out of sight when the cell is not shown.
  void PlaceEditor();
  void FireCellEvent(const ObjectHook* ListboxHooks::*hook);
  // Starts editing on a press on an editable cell of the selected row; true when it did.
  bool ClickEditableCell(int32_t row, int32_t column);
  // Where the content of a cell starts right of its column's left edge.
  int32_t ContentInset(int32_t row, int32_t column) const;
  bool IsFolderRow(int32_t row) const;
  // The box of a folder row's disclosure triangle, drawn and pressed in column 0.
  Rect DisclosureBox(int32_t row);
  void DrawDisclosureTriangle(Graphics* port, int32_t row, uint32_t color);
  // Opens or closes a folder on a press on its triangle; true when the press was there.
  bool ClickDisclosureTriangle(int32_t x, int32_t y, int32_t row);
  // The square of a check box cell in the pane, where drawing puts it and presses find it.
  Rect CheckBoxRect(int32_t row, int32_t column);
  void DrawCheckBox(Graphics* port, const Rect& square, bool checked);
  // Toggles a check box cell on a press on its box; true when it did.
  bool ClickCheckBox(int32_t x, int32_t y, int32_t row, int32_t column);
  void DropEditor();
  void ForgetEditObject();
  // A press on a column edge starts dragging it; true when it did.
  bool StartColumnResize(int32_t x, int32_t y);
  bool EditCommandKey(int32_t character, int32_t modifiers);
  // After a press on a row of a list that drags: true when the mouse moved and a drag ran.
  bool StartRowDrag(int32_t row);
  bool DropAllowed() const;
  int32_t DropParentRow() const;
  int32_t DropDepthAt(int32_t drop, int32_t x) const;
  void DragBelowLastRow();
  void DrawInsertionLine(Graphics* port);
  void DragColumnEdge(int32_t x);
  void SetHoveredHeading(int32_t column);
  Rect VerticalBarRect() const;
  Rect HorizontalBarRect() const;
  void UpdateVerticalRange();
  void UpdateHorizontalRange();
  void PlaceScrollBars();
  // The bars forget the list, which is going.
  void DropScrollBars();
  void ScrollHorizontallyTo(int32_t offset);
  void BarValueChanged(Scroller* bar, int32_t value);
  friend class CellPaintContext;
  friend class ListBarRouter;
  friend class ListCellRouter;

  ListColumns mColumnModel;
  ListSelection mSelection;
  RuntimeObject* mOwner = nullptr;
  const ListboxHooks* mHooks = nullptr;
  vorn::TextStyle mStyle;
  bool mHasHeading = false;
  string mHeadings[kMaxListColumns];
  int32_t mPressedHeading = -1;
  int32_t mHoveredHeading = -1;
  int32_t mFirstVisible = 0;
  int32_t mDefaultRowHeight = -1;
  int32_t mMeasuredRowHeight = 0;
  bool mHasFocus = false;
  bool mTracking = false;
  // The owner's MouseDown took the press: the drag and release go to its MouseDrag and MouseUp.
  bool mOwnerTracking = false;
  // Double clicks: the row, time and modifiers of the last plain press.
  int32_t mLastClickRow = -1;
  uint32_t mLastClickTicks = 0;
  int32_t mLastClickModifiers = 0;
  bool mMovedOff = false;
  // The selection when the outermost change began, so that Change fires only for a real one.
  std::vector<int32_t> mSelectionBefore;
  bool mInChange = false;
  OrderedReceivers mSelectionReceivers;
  NotificationReceiverList* mGotFocusReceivers = nullptr;
  NotificationReceiverList* mLostFocusReceivers = nullptr;
  RuntimeObject* mBoundData = nullptr;
  // The edit field is made on the first edit and lives as the list's child pane.
  EditControl* mEditor = nullptr;
  std::unique_ptr<PaneGuard> mEditorGuard;  // nil once the field is gone
  ListCellRouter* mEditRouter = nullptr;  // owned
  int32_t mEditRow = -1;
  int32_t mEditColumn = -1;
  uint8_t mSavedCellType = 0;
  RuntimeObject* mEditObject = nullptr;  // held
  int32_t mResizeColumn = -1;  // the column whose edge is being dragged
  bool mDragging = false;  // a reordering drag of this list runs
  std::vector<int32_t> mDraggedRows;  // ascending
  int32_t mDropRow = -1;
  int32_t mDropDepth = 0;
  bool mEndingEdit = false;
  // Scroll bars, child panes of the list; the guards tell when one is gone.
  Scroller* mVerticalBar = nullptr;
  Scroller* mHorizontalBar = nullptr;
  std::unique_ptr<PaneGuard> mVerticalGuard;
  std::unique_ptr<PaneGuard> mHorizontalGuard;
  ListBarRouter* mBarRouter = nullptr;  // owned
  bool mOnlyWhenNeeded = false;
  bool mVerticalShown = true;  // false while only-when-needed hides the bar
  bool mHorizontalShown = true;
  bool mRangesStale = true;
  bool mUseFocusRing = true;
  bool mEnableDrag = false;
  bool mEnableDragReorder = false;
  bool mUpdatingBars = false;
  // The offscreen image of the row area, its port, and the cells current in it (first row -1:
  // none), with the first row and horizontal offset it was drawn at.
  struct ValidCells {
    int32_t firstRow = -1;
    int32_t lastRow = -1;
    int32_t firstColumn = -1;
    int32_t lastColumn = -1;
  };
  DrawablePane* mOffscreen = nullptr;
  Graphics* mOffscreenPort = nullptr;
  _GdkGC* mCopyGC = nullptr;
  ValidCells mValid;
  ValidCells mWholeValid;  // the cells the area showed whole when last drawn
  int32_t mDrawnFirstRow = 0;
  int32_t mDrawnOffset = 0;
  int32_t mRingTop = 0;  // the image line that shows the row area's top line
  bool mScrollingHorizontally = false;
};

}  // namespace vorn
