// RuntimeListbox: geometry, selection events, mouse, keys and scrolling. Drawing is in
// runtime_listbox_draw.cpp.
#include "listbox/runtime_listbox.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>

#include "controls/binding_interfaces.h"
#include "controls/binding_receivers.h"
#include "windows/pane_port.h"
#include "controls/scroller.h"
#include "base/ticks.h"
#include "graphics/graphics.h"
#include "strings/number_text.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"

namespace vorn {

namespace {

constexpr int32_t kMinimumRowHeight = 16;
constexpr int32_t kFolderRowHeight = 18;
// A height of 0 is what older programs set to ask for the smallest usable rows.
constexpr int32_t kZeroRowHeight = 12;

std::vector<int32_t> SelectedRows(const ListSelection& selection) {
  std::vector<int32_t> rows;
  for (const ListSelection::Range& range : selection.Ranges()) {
    for (int32_t row = range.first; row < range.first + range.count; ++row) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

uint32_t ListDoubleClickTicks() {
  gint milliseconds = 400;
  if (GtkSettings* settings = gtk_settings_get_default()) {
    g_object_get(settings, "gtk-double-click-time", &milliseconds, nullptr);
  }
  return static_cast<uint32_t>(std::max(milliseconds, 1) * 60 / 1000);
}

RuntimeListbox::RuntimeListbox(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, bool multipleSelection)
    : ContainerPane(parent, tabPanelIndex, bounds),
      ListRows(mColumnModel),
      mColumnModel(bounds.Width()),
      mSelection(multipleSelection) {
  EnsurePanePorts();
  for (int32_t i = 0; i < kMaxListColumns; ++i) mHeadings[i] = LongToString(i);
  mColumnModel.SetListener(this);
  mSelection.SetListener(this);
  UpdateRowArea();
  SetWidget(gtk_fixed_new());
  AddPaneToWindow(this, true);
  ConnectExposeHandler(this);
}

RuntimeListbox::~RuntimeListbox() {
  DropOffscreen();
  DropEditor();
  DropScrollBars();
  mColumnModel.SetListener(nullptr);
  mSelection.SetListener(nullptr);
  // A receiver let go here may end its list box's life; the pane is detached from it by now.
  mSelectionReceivers.RemoveAll();
}

void RuntimeListbox::SetOwner(RuntimeObject* owner, const ListboxHooks* hooks) {
  mOwner = owner;
  mHooks = hooks;
  if (!owner) {
    SetFocusReceivers(nullptr, nullptr);
    mBoundData = nullptr;
  }
}

void RuntimeListbox::SetFocusReceivers(NotificationReceiverList* gotFocus, NotificationReceiverList* lostFocus) {
  mGotFocusReceivers = gotFocus;
  mLostFocusReceivers = lostFocus;
}

void RuntimeListbox::SetBoundData(RuntimeObject* provider) {
  if (provider == mBoundData && HasBoundRows() == (provider != nullptr)) return;
  mBoundData = provider;
  SetBoundRows(provider != nullptr);
  ClampFirstVisible();
  Invalidate(true);
}

// --- geometry --------------------------------------------------------------------------------

constexpr int32_t kBarRoom = 18;  // a scroll bar and its gap

static Rect RowAreaOf(const Rect& bounds, bool heading) {
  Rect area = bounds;
  area.left = static_cast<int16_t>(area.left + 1);
  area.top = static_cast<int16_t>(area.top + 1 + (heading ? kListHeadingHeight : 0));
  area.right = static_cast<int16_t>(std::max<int32_t>(area.left, area.right - 2));
  area.bottom = static_cast<int16_t>(std::max<int32_t>(area.top, area.bottom - 2));
  return area;
}

Rect RuntimeListbox::RowArea() const {
  Rect area = RowAreaOf(mBounds, mHasHeading);
  if (IsVerticalScrollBarVisible()) area.right = static_cast<int16_t>(std::max<int32_t>(area.left, area.right - kBarRoom));
  if (IsHorizontalScrollBarVisible()) area.bottom = static_cast<int16_t>(std::max<int32_t>(area.top, area.bottom - kBarRoom));
  return area;
}

int32_t RuntimeListbox::RowAreaInset() const {
  const Rect tall = MakeRect(0, 0, 100, 1000);
  return tall.Height() - RowAreaOf(tall, mHasHeading).Height() + (IsHorizontalScrollBarVisible() ? kBarRoom : 0);
}

void RuntimeListbox::UpdateRowArea() {
  const Rect area = RowArea();
  mColumnModel.SetRowArea(area.left, area.Width());
}

void RuntimeListbox::SetBounds(const Rect& r, bool redraw) {
  ContainerPane::SetBounds(r, redraw);
  // Lays the columns out again in the new row area, beside the bars.
  UpdateScrollBars();
  ClampFirstVisible();
  PlaceEditor();
}

int32_t RuntimeListbox::RowHeight() {
  if (mDefaultRowHeight > 0) return mDefaultRowHeight;
  if (mDefaultRowHeight == 0) return kZeroRowHeight;
  if (mMeasuredRowHeight == 0) {
    int32_t height = kMinimumRowHeight;
    if (Graphics* port = GetGraphics()) {
      port->SetTextFontFrom(mStyle);
      height = std::max(height, port->TextHeight() + 2);
      DisposePaneGraphics(port);
    }
    if (IsHierarchical()) height = std::max(height, kFolderRowHeight);
    mMeasuredRowHeight = height;
  }
  return mMeasuredRowHeight;
}

void RuntimeListbox::SetDefaultRowHeight(int32_t height) {
  mDefaultRowHeight = height;
  mRangesStale = true;
  ClampFirstVisible();
  Invalidate(true);
}

void RuntimeListbox::SetListTextStyle(const vorn::TextStyle& style) {
  mStyle.Assign(style);
  SetListTextSize(style.mSize);
  mMeasuredRowHeight = 0;
  mRangesStale = true;
  Invalidate(true);
}

int32_t RuntimeListbox::RowHeightOf(int32_t row) {
  const int32_t height = std::max(RowHeight(), 1);
  if (!RowsVaryInHeight() || row < 0 || row >= RowCount()) return height;
  return height + ExtraRowHeight(row);
}

int32_t RuntimeListbox::RowTop(int32_t row) {
  int32_t top = RowArea().top;
  if (!RowsVaryInHeight()) return top + (row - mFirstVisible) * std::max(RowHeight(), 1);
  for (int32_t r = mFirstVisible; r < row; ++r) top += RowHeightOf(r);
  for (int32_t r = row; r < mFirstVisible; ++r) top -= RowHeightOf(r);
  return top;
}

int32_t RuntimeListbox::VisibleRowCount() {
  const int32_t areaHeight = RowArea().Height();
  if (!RowsVaryInHeight()) return std::max(areaHeight / std::max(RowHeight(), 1), 1);
  int32_t count = 0;
  for (int32_t used = RowHeightOf(mFirstVisible); used <= areaHeight; used += RowHeightOf(mFirstVisible + count)) {
    ++count;
  }
  return std::max(count, 1);
}

int32_t RuntimeListbox::LastFirstVisibleRow() {
  if (!RowsVaryInHeight()) return std::max(RowCount() - VisibleRowCount(), 0);
  const int32_t areaHeight = RowArea().Height();
  int32_t first = RowCount() - 1;
  if (first <= 0) return 0;
  // Counting up from the last row, as many rows as fit whole.
  for (int32_t used = RowHeightOf(first); first > 0 && used + RowHeightOf(first - 1) <= areaHeight; --first) {
    used += RowHeightOf(first - 1);
  }
  return first;
}

int32_t RuntimeListbox::RowAt(int32_t x, int32_t y) {
  const Rect area = RowArea();
  if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return -1;
  if (!RowsVaryInHeight()) {
    const int32_t row = mFirstVisible + (y - area.top) / std::max(RowHeight(), 1);
    return row < RowCount() ? row : -1;
  }
  for (int32_t row = mFirstVisible, top = area.top; row < RowCount() && top < area.bottom; ++row) {
    top += RowHeightOf(row);
    if (y < top) return row;
  }
  return -1;
}

int32_t RuntimeListbox::ColumnAt(int32_t x) const {
  for (int32_t column = 0; column < mColumnModel.ColumnCount(); ++column) {
    if (x >= mColumnModel.GetColumnLeft(column) && x < mColumnModel.GetColumnRight(column)) return column;
  }
  return -1;
}

void RuntimeListbox::ClampFirstVisible() {
  mFirstVisible = std::clamp(mFirstVisible, 0, LastFirstVisibleRow());
}

void RuntimeListbox::SetFirstVisibleRow(int32_t row) {
  const int32_t old = mFirstVisible;
  mFirstVisible = row;
  ClampFirstVisible();
  if (Scroller* bar = VerticalScrollBar(); bar && !mUpdatingBars) {
    if (mRangesStale) UpdateScrollBars();
    if (bar->GetValue() != mFirstVisible) bar->SetValue(mFirstVisible);
  }
  if (mFirstVisible != old) {
    PlaceEditor();
    ScrollShown(old);
  }
}

// A scroll by fewer rows than the area shows moves the whole rows already on screen and leaves
// only the uncovered ones to draw, as a wheel or an arrow key does it most often; a longer one
// draws the whole row area. Either is drawn at once from the row image. A row the area cuts off
// is drawn for its cut, so it is drawn again wherever it lands. An edit field or a drop line
// over the rows is drawn with them, so those scrolls redraw everything.
void RuntimeListbox::ScrollShown(int32_t oldFirst) {
  if (IsEditing() || mDragging) return InvalidateShown();
  const Rect area = RowArea();
  const int32_t rowHeight = std::max(RowHeight(), 1);
  const int64_t dy = static_cast<int64_t>(oldFirst - mFirstVisible) * rowHeight;
  const int32_t wholeBottom = area.top + area.Height() / rowHeight * rowHeight;
  const int32_t step = static_cast<int32_t>(std::clamp<int64_t>(dy, -area.Height(), area.Height()));
  const bool moved = !RowsVaryInHeight() && std::abs(dy) < wholeBottom - area.top &&
                     MoveShownPixels(MakeRect(area.left, area.top, area.right, wholeBottom), step);
  Rect strips[2];
  int32_t count = 0;
  if (!moved) {
    strips[count++] = area;
  } else if (step < 0) {
    strips[count++] = MakeRect(area.left, wholeBottom + step, area.right, area.bottom);
  } else {
    strips[count++] = MakeRect(area.left, area.top, area.right, area.top + step);
    if (wholeBottom < area.bottom) strips[count++] = MakeRect(area.left, wholeBottom, area.right, area.bottom);
  }
  if (DrawStripsNow(strips, count)) return;
  if (!moved) return InvalidateShown();
  for (int32_t i = 0; i < count; ++i) InvalidateRect(strips[i]);
}

void RuntimeListbox::ScrollRowIntoView(int32_t row) {
  if (row < 0 || row >= RowCount()) return;
  if (row < mFirstVisible) {
    SetFirstVisibleRow(row);
  } else if (!RowsVaryInHeight()) {
    if (row >= mFirstVisible + VisibleRowCount()) SetFirstVisibleRow(row - VisibleRowCount() + 1);
  } else if (row >= mFirstVisible + VisibleRowCount()) {
    // The row goes to the bottom: as many rows above it as fit whole.
    const int32_t areaHeight = RowArea().Height();
    int32_t first = row;
    for (int32_t used = RowHeightOf(row); first > 0 && used + RowHeightOf(first - 1) <= areaHeight; --first) {
      used += RowHeightOf(first - 1);
    }
    SetFirstVisibleRow(first);
  }
}

// --- headings and columns -------------------------------------------------------------------

void RuntimeListbox::SetHasHeading(bool on) {
  if (mHasHeading == on) return;
  mHasHeading = on;
  mRangesStale = true;
  UpdateRowArea();
  mColumnModel.LayoutColumns();
  ClampFirstVisible();
  Invalidate(true);
}

string RuntimeListbox::GetHeading(int32_t column) const {
  return column >= 0 && column < kMaxListColumns ? mHeadings[column] : string();
}

void RuntimeListbox::SetHeading(int32_t column, const string& text) {
  if (column < -1 || column >= kMaxListColumns) return;
  if (column >= 0) {
    mHeadings[column] = text.IsEmpty() ? LongToString(column) : text.ToUTF8();
  } else {
    std::string_view line = text.View();
    line = line.substr(0, line.find('\r'));
    for (int32_t i = 0; i < mColumnModel.ColumnCount(); ++i) {
      const size_t tab = line.find('\t');
      const std::string_view field = line.substr(0, tab);
      mHeadings[i] = field.empty() ? LongToString(i) : string(field, text.Encoding()).ToUTF8();
      line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
    }
  }
  if (mHasHeading) Invalidate(true);
}

void RuntimeListbox::SetColumnCountAndLayout(int32_t count) {
  mColumnModel.SetColumnCount(count);
  mColumnModel.LayoutColumns();
  Invalidate(true);
}

void RuntimeListbox::ColumnCountChanged() {
  mColumnModel.LayoutColumns();
  Invalidate(true);
}

void RuntimeListbox::PressHeading(int32_t column) {
  if (column < 0 || column >= mColumnModel.ColumnCount()) return;
  // A second press on the pressed heading reverses its column's order.
  if (column == mPressedHeading && GetSortDirection(column) != 0) {
    SetSortDirection(column, GetSortDirection(column) == 1 ? -1 : 1);
  }
  mPressedHeading = column;
  if (mHasHeading) Invalidate(true);
  HeadingClicked(column);
}

// A program naming the column already sorted sorts again without turning the order round, as a
// click would; -1 releases every heading and sorts nothing.
void RuntimeListbox::SelectSortHeading(int32_t column) {
  if (column != SortedColumn()) {
    if (column >= 0 && column == mPressedHeading && GetSortDirection(column) != 0) {
      SetSortDirection(column, GetSortDirection(column) == 1 ? -1 : 1);
    }
    mPressedHeading = column;
    if (mHasHeading) Invalidate(true);
  }
  if (column >= 0 && column < mColumnModel.ColumnCount()) HeadingClicked(column);
}

void RuntimeListbox::HeadingClicked(int32_t column) {
  if (mOwner && mHooks && FireEvent<uint8_t>(mOwner, mHooks->headerPressed, column) != 0) return;
  SortByColumn(column);
}

// --- hooks of the row model -----------------------------------------------------------------

void RuntimeListbox::InvalidateCell(int32_t row, int32_t column) {
  // A cell's bottom line may change its row's height, and so the vertical range.
  if (RowsVaryInHeight()) {
    mRangesStale = true;
    ForgetValidCells();  // the rows below may have moved
  }
  ShrinkValidCells(row, column);
  InvalidateShown();
}
void RuntimeListbox::InvalidateRow(int32_t row) { InvalidateCell(row, -1); }
void RuntimeListbox::InvalidateColumn(int32_t column) { InvalidateCell(-1, column); }
void RuntimeListbox::InvalidateAll() { Invalidate(true); }

void RuntimeListbox::RowsInserted(int32_t index, int32_t count) {
  mSelection.RowsInserted(index, count);
  mRangesStale = true;
  RowsChanged(index);
  InvalidateShown();
}

void RuntimeListbox::RowsRemoving(int32_t first, int32_t count) {
  mSelection.RowsRemoved(first, count);
  mRangesStale = true;
  RowsChanged(first);
  InvalidateShown();
}

void RuntimeListbox::FireExpandRow(int32_t row) {
  if (mOwner && mHooks) FireEvent(mOwner, mHooks->expandRow, row);
}

void RuntimeListbox::FireCollapseRow(int32_t row) {
  if (mOwner && mHooks) FireEvent(mOwner, mHooks->collapseRow, row);
}

bool RuntimeListbox::FireSortColumn(int32_t column, bool& sortedRows) {
  void* handler = mOwner && mHooks ? RuntimeGetHookHandler(mOwner, mHooks->sortColumn) : nullptr;
  if (!handler) return false;
  sortedRows = CallEventHandler<uint8_t>(handler, mOwner, column) != 0;
  return true;
}

bool RuntimeListbox::FireCompareRows(int32_t row1, int32_t row2, int32_t column, int32_t& result) {
  void* handler = mOwner && mHooks ? RuntimeGetHookHandler(mOwner, mHooks->compareRows) : nullptr;
  if (!handler) return false;
  int32_t value = 0;
  const bool decided = CallEventHandler<uint8_t>(handler, mOwner, row1, row2, column, &value) != 0;
  result = value;
  return decided;
}

// --- selection events -----------------------------------------------------------------------

void RuntimeListbox::SelectionWillChange() {
  mSelectionBefore = SelectedRows(mSelection);
  mSelectionReceivers.Send(GetListSelectionNotificationReceiverInterfaceDefinition(), "selectionChanging");
}

void RuntimeListbox::SelectionChanged() {
  if (SelectedRows(mSelection) == mSelectionBefore) return;
  // A Change handler that selects again does not raise Change inside itself.
  if (!mInChange && mOwner && mHooks) {
    mInChange = true;
    FireEvent(mOwner, mHooks->change);
    mInChange = false;
  }
  mSelectionReceivers.Send(GetListSelectionNotificationReceiverInterfaceDefinition(), "selectionChanged");
}

void RuntimeListbox::RedrawRow(int32_t row) {
  if (!DrawRowNow(row)) InvalidateRow(row);
}

// --- mouse and keys -------------------------------------------------------------------------

void* RuntimeListbox::OwnerHandler(const ObjectHook* ListboxHooks::*hook) const {
  return mOwner && mHooks ? RuntimeGetHookHandler(mOwner, mHooks->*hook) : nullptr;
}

bool RuntimeListbox::OwnerTookPress(int32_t x, int32_t y) {
  if (void* handler = OwnerHandler(&ListboxHooks::mouseDown)) {
    if (!LockHierarchy()) return true;
    const uint8_t handled = CallEventHandler<uint8_t>(handler, mOwner, x - mBounds.left, y - mBounds.top);
    if (UnlockHierarchy()) return true;
    if (handled != 0) {
      mOwnerTracking = true;
      SetMouseCapturePane(this);
      return true;
    }
  }
  const int32_t row = RowAt(x, y);
  const int32_t column = row >= 0 ? ColumnAt(x) : -1;
  void* handler = column >= 0 ? OwnerHandler(&ListboxHooks::cellClick) : nullptr;
  if (!handler) return false;
  const int32_t cellX = x - mColumnModel.GetColumnLeft(column);
  const int32_t cellY = y - RowTop(row);
  if (!LockHierarchy()) return true;
  const uint8_t handled = CallEventHandler<uint8_t>(handler, mOwner, row, column, cellX, cellY);
  return UnlockHierarchy() || handled != 0;
}

bool RuntimeListbox::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  if (!mEnabled) return true;
  if (OwnerTookPress(x, y)) return true;
  // Taking the focus from the edit field ends its edit, with saving.
  if (IsEditing()) ClearFocusPane();
  const Rect area = RowArea();
  if (y < area.top) {
    if (StartColumnResize(x, y)) return true;
    if (mHasHeading && y >= mBounds.top && x < area.right) {
      // Sorting fires events whose handlers may close the list: it lives until the end.
      Lock();
      PressHeading(ColumnAt(x));
      Release();
    }
    return true;
  }
  const int32_t row = RowAt(x, y);
  const int32_t column = row >= 0 ? ColumnAt(x) : -1;
  if (ClickCheckBox(x, y, row, column) || ClickEditableCell(row, column)) return true;
  if (ClickDisclosureTriangle(x, y, row)) return true;
  if (CanFocus()) SetFocus();
  const uint32_t now = CurrentTicks();
  if (row >= 0 && row == mSelection.AnchorRow() && row == mLastClickRow && !mMovedOff &&
      modifiers == mLastClickModifiers && now - mLastClickTicks < ListDoubleClickTicks()) {
    mLastClickTicks = now;
    Lock();
    if (mOwner && mHooks) FireEvent(mOwner, mHooks->doubleClick);
    Release();
    return true;
  }
  mSelection.BeginPress();
  mSelection.PressRow(row, modifiers);
  if (row >= 0 && (mEnableDrag || mEnableDragReorder) && (modifiers & (kModifierShift | kModifierControl)) == 0 &&
      mSelection.IsRowSelected(row)) {
    mLastClickRow = row;
    mLastClickTicks = now;
    mLastClickModifiers = modifiers;
    mMovedOff = false;
    // Change fires once the press and any drag are over.
    if (StartRowDrag(row) || !IsMouseButtonDown(this)) {
      // A DragRow handler that closed the window ended the press too.
      if (IsClosing()) return true;
      Lock();
      mSelection.EndPress();
      Release();
      return true;
    }
  }
  mLastClickRow = row;
  mLastClickTicks = now;
  mLastClickModifiers = modifiers;
  mMovedOff = false;
  mTracking = true;
  SetMouseCapturePane(this);
  return true;
}

void RuntimeListbox::MouseDrag(int32_t x, int32_t y) {
  if (mOwnerTracking) {
    if (void* handler = OwnerHandler(&ListboxHooks::mouseDrag))
      CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
    return;
  }
  if (mResizeColumn >= 0) {
    DragColumnEdge(x);
    return;
  }
  if (!mTracking) return;
  const Rect area = RowArea();
  if (y < area.top && mFirstVisible > 0) SetFirstVisibleRow(mFirstVisible - 1);
  if (y >= area.bottom && mFirstVisible < LastFirstVisibleRow()) SetFirstVisibleRow(mFirstVisible + 1);
  const int32_t clampedY = std::clamp<int32_t>(y, area.top, area.bottom - 1);
  const int32_t row = RowAt(std::clamp<int32_t>(x, area.left, area.right - 1), clampedY);
  if (row < 0 && !mSelection.IsMultiple()) {
    DragBelowLastRow();
    return;
  }
  if (row < 0 || row == mSelection.AnchorRow()) return;
  mMovedOff = true;
  mSelection.DragToRow(row);
}

void RuntimeListbox::MouseUp(int32_t x, int32_t y) {
  if (mOwnerTracking) {
    mOwnerTracking = false;
    if (void* handler = OwnerHandler(&ListboxHooks::mouseUp))
      CallEventHandler(handler, mOwner, x - mBounds.left, y - mBounds.top);
    return;
  }
  if (mResizeColumn >= 0) {
    mResizeColumn = -1;
    return;
  }
  if (!mTracking) return;
  mTracking = false;
  Lock();
  mSelection.EndPress();
  Release();
}

// A single-selection drag below the last row: the row after the last one shown is taken and
// scrolled to, and without one the selection goes (or, when one is required, stays on the
// last row shown).
void RuntimeListbox::DragBelowLastRow() {
  const int32_t next = mFirstVisible + VisibleRowCount();
  if (mSelection.RequiresSelection()) {
    mSelection.SelectRow(std::min(next - 1, RowCount() - 1), true);
  } else if (next < RowCount()) {
    mSelection.SelectRow(next, true);
  } else {
    mSelection.SelectRow(-1, false);
  }
  mMovedOff = true;
}

bool RuntimeListbox::ContextualClick(int32_t x, int32_t y, int32_t modifiers) {
  if (!mEnabled || !PointInRect(x, y, mBounds)) return ContainerPane::ContextualClick(x, y, modifiers);
  const int32_t row = RowAt(x, y);
  // A row already among several selected keeps them for the menu to act on.
  if (row >= 0 && !mSelection.IsRowSelected(row)) {
    if (CanFocus()) SetFocus();
    Lock();
    mSelection.SelectRow(row, false);
    Release();
  }
  Invalidate(true);
  return ContainerPane::ContextualClick(x, y, modifiers);
}

bool RuntimeListbox::MouseWheel(int32_t, int32_t, int32_t delta) {
  SetFirstVisibleRow(mFirstVisible + delta);
  return true;
}

bool RuntimeListbox::KeyDown(int32_t character, int32_t, int32_t modifiers) {
  if (void* handler = OwnerHandler(&ListboxHooks::keyDown)) {
    const auto byte = static_cast<char>(character);
    const string key(&byte, 1, kEncodingASCII);
    if (!LockHierarchy()) return true;
    const uint8_t handled = CallEventHandler<uint8_t>(handler, mOwner, key.Rep());
    // The handler closed the list: nothing more may touch it.
    if (UnlockHierarchy() || handled != 0) return true;
  }
  if (EditCommandKey(character, modifiers)) return true;
  if (FolderKey(character)) return true;
  const int32_t last = mFirstVisible + VisibleRowCount() - 1;
  Lock();
  const bool handled = mSelection.KeyDown(character, modifiers, mFirstVisible, last);
  Release();
  return handled;
}

bool RuntimeListbox::IsFolderRow(int32_t row) const {
  if (!IsHierarchical()) return false;
  const RowEntry* entry = GetRowEntry(row);
  return entry && entry->mFolderState != kPlainRow;
}

bool RuntimeListbox::ClickDisclosureTriangle(int32_t x, int32_t y, int32_t row) {
  if (row < 0 || !IsFolderRow(row)) return false;
  const Rect box = DisclosureBox(row);
  if (x < box.left || x >= box.right || y < box.top || y >= box.bottom) return false;
  // The ExpandRow and CollapseRow handlers may close the list.
  Lock();
  if (IsExpanded(row)) {
    CollapseFolder(row);
  } else {
    ExpandFolder(row);
  }
  if (!Release()) InvalidateRow(row);
  return true;
}

bool RuntimeListbox::FolderKey(int32_t key) {
  if (!IsHierarchical() || (key != kKeyLeft && key != kKeyRight)) return false;
  const int32_t row = mSelection.GetFirstSelectedRow();
  if (row < 0) return false;
  // The ExpandRow and CollapseRow handlers may close the list.
  Lock();
  const bool changed = key == kKeyLeft ? CollapseFolder(row) : ExpandFolder(row);
  return Release() || changed;
}

bool RuntimeListbox::CanFocus() { return mEnabled && IsDisplayed(); }

void RuntimeListbox::GotFocus() {
  mHasFocus = true;
  Invalidate(true);
  NotifyFocus(mHooks ? mHooks->gotFocus : nullptr, true);
}

void RuntimeListbox::LostFocus() {
  mHasFocus = false;
  Invalidate(true);
  NotifyFocus(mHooks ? mHooks->lostFocus : nullptr, false);
}

void RuntimeListbox::NotifyFocus(const ObjectHook* hook, bool gotFocus) {
  RuntimeObject* owner = mOwner;
  if (!owner) return;
  // The receivers live in the owner: it is held so that they outlast the event handler.
  RuntimeLockObject(owner);
  Lock();
  FireEvent(owner, hook);
  if (mOwner == owner) SendPerformAction(gotFocus ? mGotFocusReceivers : mLostFocusReceivers);
  Release();
  RuntimeUnlockObject(owner);
}

}  // namespace vorn
