// SubPane: bounds, enabling, visibility, tab pages, focus, drops, help tags and mouse routing.
#include <gtk/gtk.h>

#include "core/run_loop.h"
#include "strings/case_table.h"
#include "windows/cursor_record.h"
#include "windows/gtk_drops.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"
#include "windows/sub_pane.h"
#include "windows/window.h"

namespace vorn {

namespace {

bool SameTypeName(const string& a, const string& b) {
  return CompareBytesNoCase(a.CString(), a.Length(), b.CString(), b.Length()) == 0;
}

}  // namespace

// --- bounds ------------------------------------------------------------------------------

void SubPane::SetBounds(const Rect& r, bool redraw) {
  if (EqualRect(r, mBounds)) return;
  Rect old = mBounds;
  SetCurrentPane(this);
  if (IsDisplayed() && redraw) Invalidate();
  StoreBounds(r);
  if (mRunControl) mRunControl->StoreBounds(r);
  if (mWidget && !IsWindow()) MovePaneInWindow(this);
  int32_t dh = r.left - old.left;
  int32_t dv = r.top - old.top;
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    if (child->mSubPanes.parent != this) continue;
    Rect moved = child->mBounds;
    OffsetRect(&moved, dh, dv);
    child->SetBounds(moved, redraw);
  }
  BoundsDidChange();
}

void SubPane::MoveTo(const Rect& r, bool redraw) {
  SetBounds(r, true);
  int32_t dw = mBounds.Width() - mOldBounds.Width();
  int32_t dh = mBounds.Height() - mOldBounds.Height();
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    if (child->mSubPanes.parent != this || !child->mRunControl) continue;
    uint8_t locks = child->mRunControl->LockFlags();
    if (!locks) continue;
    Rect c = child->mBounds;
    int32_t left = c.left, top = c.top, right = c.right, bottom = c.bottom;
    if (locks & kLockRight) {
      right += dw;
      if (!(locks & kLockLeft)) left += dw;
    }
    if (locks & kLockBottom) {
      bottom += dh;
      if (!(locks & kLockTop)) top += dh;
    }
    Rect moved = MakeRect(left, top, right, bottom);
    child->mRunControl->StoreBounds(moved);
    child->MoveTo(moved, redraw);
  }
  mOldBounds = mBounds;
}

// --- enabling and visibility ---------------------------------------------------------------

void SubPane::SetEnabled(bool enabled, bool redraw) {
  if (enabled == mEnabled) return;
  SubPane* parent = GetParent();
  if (enabled && parent && !parent->mEnabled) return;
  mEnabled = enabled;
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    if (child->mSubPanes.parent == this) child->SetEnabled(enabled && child->OwnEnabled(), redraw);
  }
  if (mWidget) gtk_widget_set_sensitive(mWidget, enabled);
  if (redraw && !mNoRedrawOnEnable) Invalidate();
  if (!enabled) {
    Window* window = GetWindow();
    if (window && window->FocusPaneField() == this) window->SetFocusPaneField(nullptr);
    if (vorn::GetFocusPane() == this) ClearFocusPane();
  }
}

bool SubPane::HearsInput() {
  for (SubPane* pane = this; pane; pane = pane->GetParent()) {
    if (!pane->mEnabled) return false;
  }
  return true;
}

void SubPane::SetVisible(bool visible) {
  if (visible == mVisible) return;
  if (!mShownByContainer) {
    if (mTabPanelIndex > 0 || !ShownByItsPlace()) {
      // A page that is not showing: the wish is kept for when the page comes up.
      mVisible = visible;
      return;
    }
    mShownByContainer = visible;
  }
  SubPane* parent = GetParent();
  if (visible && parent && !parent->IsDisplayed()) return;
  if (!visible && vorn::GetFocusPane() == this) ClearFocusPane();
  mVisible = visible;
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) child->SetVisible(visible && child->OwnVisible());
  // A child made visible while this pane was hidden waits on this pane alone.
  SetShownByContainer(mShownByContainer);
  ShowWidget(visible);
}

void SubPane::SetShownByContainer(bool shown) {
  // A hidden box hides what it holds wherever it is put.
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) child->SetShownByContainer(shown && mVisible);
  if (shown == mShownByContainer) return;
  if (!mVisible) {
    mShownByContainer = shown;
    return;
  }
  if (!shown && vorn::GetFocusPane() == this) ClearFocusPane();
  mShownByContainer = shown;
  ShowWidget(shown);
}

void SubPane::ShowWidget(bool show) {
  Invalidate();
  if (!mWidget) return;
  if (show) {
    gtk_widget_show(mWidget);
  } else {
    if (vorn::GetFocusPane() == this) ClearFocusPane();
    gtk_widget_hide(mWidget);
  }
}

void SubPane::SetTabPanelIndex(int32_t index) {
  mTabPanelIndex = index;
  UpdateParent(false, true);
  if (!AsPagePanel() && !AsTabPanel()) {
    auto kids = mSubPanes.children;
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
      if ((*it)->mSubPanes.parent == this) (*it)->SetTabPanelIndex(index);
    }
  }
  SetShownByContainer(ShownByItsPlace());
}

int32_t SubPane::ChangeState(int32_t code) {
  switch (code) {
    case kPaneStateEnable: SetEnabled(true, true); break;
    case kPaneStateDisable: SetEnabled(false, true); break;
    case kPaneStateShow: SetVisible(true); break;
    case kPaneStateHide: SetVisible(false); break;
    default: break;
  }
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    if (code == kPaneStateEnable && !child->OwnEnabled()) {
      child->ChangeState(kPaneStateDisable);
    } else if (code == kPaneStateShow && !child->OwnVisible()) {
      child->ChangeState(kPaneStateHide);
    } else {
      child->ChangeState(code);
    }
  }
  return 0;
}

// --- focus -------------------------------------------------------------------------------

bool SubPane::TakesFocusFromGtk() const { return mWidget && GTK_WIDGET_CAN_FOCUS(mWidget); }

bool SubPane::CanFocus() { return mEnabled && IsDisplayed() && TakesFocusFromGtk(); }

void SubPane::SetFocus() {
  Window* window = GetWindow();
  if (!window || !CanFocus()) return;
  window->SetFocusPaneField(this);
  if (!window->IsActive()) return;
  if (mWidget) gtk_widget_grab_focus(mWidget);
  SetFocusPane(this);
  if (window->Kind() == 9) gFocusInKind9Window = true;
}

// --- help tags and cursors -----------------------------------------------------------------

void SubPane::SetHelpTag(const string& text) {
  mHelpTag = text;
  if (text.IsEmpty()) {
    if (mTooltips) gtk_tooltips_disable(mTooltips);
    return;
  }
  if (!mWidget) return;
  if (!mTooltips) {
    mTooltips = gtk_tooltips_new();
    g_object_ref_sink(mTooltips);
  }
  gtk_tooltips_set_tip(mTooltips, mWidget, text.ToUTF8().CString(), nullptr);
  gtk_tooltips_enable(mTooltips);
}

// The pane keeps its own copy: the cursor object that handed the record over may go first.
void SubPane::SetCursor(const MouseCursor* cursor) {
  MouseCursor* old = mCursor;
  mCursor = CopyCursorRecord(cursor);
  DeleteCursorRecord(old);
  UpdateMouseCursor();
}

bool SubPane::AdjustCursor(int32_t x, int32_t y) {
  auto kids = mSubPanes.children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    SubPane* child = *it;
    if (!child->IsDisplayed() || !PointInRect(x, y, child->AdjustedBounds())) continue;
    if (child->AdjustCursor(x, y)) return true;
    break;
  }
  if (!mCursor) return false;
  SetCurrentCursorRecord(mCursor);
  return true;
}

// --- drops -------------------------------------------------------------------------------

bool SubPane::AcceptsDropType(const string& type) const {
  for (const string& t : mDropTypes) {
    if (SameTypeName(t, type)) return true;
  }
  return false;
}

void SubPane::AcceptDrop(const string& type) {
  if (AcceptsDropType(type)) return;
  mDropTypes.insert(mDropTypes.begin(), type);
  if (SameTypeName(type, string("TEXT"))) InstallTextDropTarget(this);
}

void SubPane::AcceptFileDrop(const string& type) {
  bool known = false;
  for (const string& t : mFileTypes) known = known || SameTypeName(t, type);
  if (!known) mFileTypes.insert(mFileTypes.begin(), type);
  InstallFileDropTarget(this);
}

void SubPane::DropObject(DragItem* item, int32_t x, int32_t y) {
  if (mDelegate) mDelegate->DropObject(this, item, x, y);
}

DragItem* SubPane::GetCurrentDragItem() { return vorn::GetCurrentDragItem(); }

bool SubPane::TrackDragOver(int32_t, int32_t, DragItem*) { return true; }

SubPane* SubPane::FindDropTarget(int32_t x, int32_t y, DragItem* item) {
  // A child may lie outside this pane's bounds: each answers for its own.
  auto kids = mSubPanes.children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    SubPane* child = *it;
    if (child->mSubPanes.parent != this || !child->IsDisplayed()) continue;
    if (SubPane* target = child->FindDropTarget(x, y, item)) return target;
  }
  return AcceptsAnyDrop() && (IsWindow() || PointInRect(x, y, mBounds)) ? this : nullptr;
}

// --- mouse -------------------------------------------------------------------------------

bool SubPane::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  SubPane* target = GetEventTarget();
  if (target == this) return false;
  return target->MouseDown(x, y, modifiers);
}

bool SubPane::MouseWheel(int32_t x, int32_t y, int32_t delta) {
  SubPane* target = GetEventTarget();
  if (target == this) return false;
  return target->MouseWheel(x, y, delta);
}

bool SubPane::ContextualClick(int32_t x, int32_t y, int32_t modifiers) {
  // A child may lie outside this pane's bounds: each answers for its own.
  auto kids = mSubPanes.children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    SubPane* child = *it;
    if (child->IsDisplayed() && child->ContextualClick(x, y, modifiers)) return true;
  }
  return false;
}

void SubPane::MouseMove(int32_t x, int32_t y) {
  int32_t h = IsWindow() ? x : mBounds.left + x;
  int32_t v = IsWindow() ? y : mBounds.top + y;
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    bool inside = child->IsDisplayed() && PointInRect(h, v, child->AdjustedBounds());
    if (!inside && child->mMouseInside) {
      child->mMouseInside = false;
      child->MouseExit();
    }
  }
  for (SubPane* child : kids) {
    Rect r = child->AdjustedBounds();
    if (!child->IsDisplayed() || !PointInRect(h, v, r)) continue;
    if (!child->mMouseInside) {
      child->mMouseInside = true;
      child->MouseEnter();
    }
    child->MouseMove(h - r.left, v - r.top);
  }
}

void SubPane::PrepareMouseDrag(int32_t, int32_t) {}

}  // namespace vorn
