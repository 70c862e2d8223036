// The list's two scroll bars: child panes at the list's right and bottom edges whose ranges
// follow the rows and the total column width, hidden while there is nothing to scroll when the
// list is set to show them only when needed.
#include <gtk/gtk.h>

#include <algorithm>
#include <utility>

#include "controls/scroller.h"
#include "listbox/runtime_listbox.h"
#include "windows/pane_disposal.h"

namespace vorn {

namespace {

constexpr int32_t kBarThickness = 16;
// The row area keeps this much room for a bar: the bar and a two-pixel gap.
constexpr int32_t kBarRoom = kBarThickness + 2;
constexpr int32_t kHorizontalLineStep = 16;

}  // namespace

class ListBarRouter : public ScrollerDelegate {
 public:
  explicit ListBarRouter(RuntimeListbox* list) : mList(list) {}
  void ValueChanged(Scroller* bar, int32_t, int32_t value) override { mList->BarValueChanged(bar, value); }

 private:
  RuntimeListbox* mList;
};

Scroller* RuntimeListbox::VerticalScrollBar() {
  return mVerticalGuard && mVerticalGuard->Get() ? mVerticalBar : nullptr;
}

Scroller* RuntimeListbox::HorizontalScrollBar() {
  return mHorizontalGuard && mHorizontalGuard->Get() ? mHorizontalBar : nullptr;
}

bool RuntimeListbox::IsVerticalScrollBarVisible() const {
  return mVerticalGuard && mVerticalGuard->Get() && mVerticalShown;
}

bool RuntimeListbox::IsHorizontalScrollBarVisible() const {
  return mHorizontalGuard && mHorizontalGuard->Get() && mHorizontalShown;
}

Rect RuntimeListbox::VerticalBarRect() const {
  Rect r = mBounds;
  r.left = static_cast<int16_t>(r.right - kBarThickness);
  if (IsHorizontalScrollBarVisible()) r.bottom = static_cast<int16_t>(r.bottom - kBarRoom);
  return r;
}

Rect RuntimeListbox::HorizontalBarRect() const {
  Rect r = mBounds;
  if (mHasHeading) r.top = static_cast<int16_t>(r.top + kListHeadingHeight - 1);
  r.top = static_cast<int16_t>(std::max<int32_t>(r.top, r.bottom - kBarThickness));
  if (IsVerticalScrollBarVisible()) r.right = static_cast<int16_t>(r.right - kBarRoom);
  return r;
}

Rect RuntimeListbox::HeadingRect() const {
  if (!mHasHeading) return Rect{};
  Rect r = mBounds;
  r.top = static_cast<int16_t>(r.top + 1);
  r.left = static_cast<int16_t>(r.left + 1);
  r.right = static_cast<int16_t>(r.right - 2 - (IsVerticalScrollBarVisible() ? kBarRoom : 0));
  r.bottom = static_cast<int16_t>(r.top + kListHeadingHeight - 1);
  return r;
}

int32_t RuntimeListbox::TotalColumnWidth() const {
  int32_t total = 0;
  for (int32_t column = 0; column < mColumnModel.ColumnCount(); ++column) {
    total += mColumnModel.GetColumnWidth(column);
  }
  return total;
}

void RuntimeListbox::SetVerticalScrollBarWanted(bool wanted) {
  if (!wanted) {
    if (Scroller* bar = VerticalScrollBar()) bar->Close();
    mVerticalBar = nullptr;
    mVerticalGuard.reset();
  } else if (!VerticalScrollBar()) {
    if (!mBarRouter) mBarRouter = new ListBarRouter(this);
    mVerticalShown = true;
    mVerticalBar = Scroller::NewVertical(mBarRouter, this, TabPanelIndex(), VerticalBarRect(), true, false);
    mVerticalGuard = std::make_unique<PaneGuard>(mVerticalBar);
    if (GtkWidget* widget = mVerticalBar->GetHandle()) gtk_widget_set_can_focus(widget, FALSE);
    mVerticalBar->SetEnabled(mEnabled, false);
  }
  mRangesStale = true;
  UpdateScrollBars();
  Invalidate(true);
}

void RuntimeListbox::SetHorizontalScrollBarWanted(bool wanted) {
  if (!wanted) {
    if (Scroller* bar = HorizontalScrollBar()) bar->Close();
    mHorizontalBar = nullptr;
    mHorizontalGuard.reset();
    ScrollHorizontallyTo(0);
  } else if (!HorizontalScrollBar()) {
    if (!mBarRouter) mBarRouter = new ListBarRouter(this);
    mHorizontalShown = true;
    mHorizontalBar = Scroller::NewHorizontal(mBarRouter, this, TabPanelIndex(), HorizontalBarRect(), true, false);
    mHorizontalGuard = std::make_unique<PaneGuard>(mHorizontalBar);
    if (GtkWidget* widget = mHorizontalBar->GetHandle()) gtk_widget_set_can_focus(widget, FALSE);
    mHorizontalBar->SetEnabled(mEnabled, false);
    mHorizontalBar->SetLineStep(kHorizontalLineStep);
  }
  mRangesStale = true;
  UpdateScrollBars();
  Invalidate(true);
}

void RuntimeListbox::SetScrollBarsOnlyWhenNeeded(bool on) {
  if (mOnlyWhenNeeded == on) return;
  mOnlyWhenNeeded = on;
  if (!on) mVerticalShown = mHorizontalShown = true;
  mRangesStale = true;
  UpdateScrollBars();
  Invalidate(true);
}

void RuntimeListbox::DropScrollBars() {
  for (Scroller* bar : {VerticalScrollBar(), HorizontalScrollBar()}) {
    if (bar) bar->SetScrollerDelegate(nullptr);
  }
  DeleteAfterDispatch(std::exchange(mBarRouter, nullptr));
}

void RuntimeListbox::UpdateScrollBars() {
  if (mUpdatingBars) return;
  mUpdatingBars = true;
  // Showing or hiding one bar changes the room the other has: settle both twice.
  // Star-sized columns share the room left beside a bar.
  auto layout = [this] {
    UpdateRowArea();
    if (mColumnModel.StarWeightSum() > 0) {
      mColumnModel.LayoutColumns();
    } else {
      mColumnModel.UpdateColumnPositions();
    }
  };
  for (int pass = 0; pass < 2; ++pass) {
    layout();
    UpdateVerticalRange();
    UpdateHorizontalRange();
  }
  layout();
  PlaceScrollBars();
  mRangesStale = false;
  mUpdatingBars = false;
}

void RuntimeListbox::UpdateVerticalRange() {
  Scroller* bar = VerticalScrollBar();
  if (!bar) return;
  const int32_t visible = VisibleRowCount();
  const int32_t maximum = LastFirstVisibleRow();
  // Rows that grew or went may leave the first visible row past the new end.
  mFirstVisible = std::min(mFirstVisible, maximum);
  if (mOnlyWhenNeeded) mVerticalShown = maximum > 0;
  bar->SetMaximum(maximum);
  bar->SetLineStep(1);
  bar->SetPageStep(visible > 1 ? visible - 1 : 1);
  if (maximum > 0 && bar->GetValue() != mFirstVisible) bar->SetValue(mFirstVisible);
}

void RuntimeListbox::UpdateHorizontalRange() {
  Scroller* bar = HorizontalScrollBar();
  if (!bar) return;
  bar->SetMinimum(0);
  const int32_t width = mBounds.Width() - 1 - 2 - (IsVerticalScrollBarVisible() ? kBarThickness : 0);
  bar->SetPageStep(std::max(width - 20, 1));
  const int32_t maximum = std::max(TotalColumnWidth() - width, 0);
  if (mOnlyWhenNeeded) mHorizontalShown = maximum > 0;
  bar->SetMaximum(maximum);
  if (ScrollPositionX() > maximum) ScrollHorizontallyTo(maximum);
  if (maximum > 0 && bar->GetValue() != ScrollPositionX()) bar->SetValue(ScrollPositionX());
}

void RuntimeListbox::PlaceScrollBars() {
  const bool shown = IsDisplayed();
  if (Scroller* bar = VerticalScrollBar()) {
    bar->SetBounds(VerticalBarRect(), true);
    bar->ChangeState(mVerticalShown && shown ? kPaneStateShow : kPaneStateHide);
  }
  if (Scroller* bar = HorizontalScrollBar()) {
    bar->SetBounds(HorizontalBarRect(), true);
    bar->ChangeState(mHorizontalShown && shown ? kPaneStateShow : kPaneStateHide);
  }
}

void RuntimeListbox::BarValueChanged(Scroller* bar, int32_t value) {
  if (bar == VerticalScrollBar()) {
    if (value != mFirstVisible) SetFirstVisibleRow(value);
  } else if (bar == HorizontalScrollBar()) {
    ScrollHorizontallyTo(value);
  }
  if (GdkWindow* window = mWidget ? mWidget->window : nullptr) gdk_window_process_updates(window, TRUE);
}

void RuntimeListbox::ScrollHorizontallyTo(int32_t offset) {
  offset = std::max(offset, 0);
  if (offset == ScrollPositionX()) return;
  mColumnModel.SetHorizontalScrollOffset(offset);
  // The image follows the columns by moving.
  mScrollingHorizontally = true;
  mColumnModel.UpdateColumnPositions();
  mScrollingHorizontally = false;
  PlaceEditor();
  InvalidateShown();
}

void RuntimeListbox::SetScrollPositionX(int32_t offset) {
  if (mRangesStale) UpdateScrollBars();
  Scroller* bar = HorizontalScrollBar();
  if (!bar) {
    ScrollHorizontallyTo(offset);
    return;
  }
  offset = std::clamp(offset, 0, std::max(bar->GetMaximum(), 0));
  ScrollHorizontallyTo(offset);
  if (bar->GetValue() != offset) bar->SetValue(offset);
}

void RuntimeListbox::ColumnEdgesChanged() {
  mRangesStale = true;
  if (!mScrollingHorizontally) ForgetValidCells();
}

}  // namespace vorn
