// Window: showing and hiding, screen bounds, moves and resizes, clicks, the pane list, menu
// handlers and closing.
#include <gtk/gtk.h>

#include <algorithm>

#include "strings/case_table.h"
#include "windows/gtk_pane_support.h"
#include "windows/gtk_window_order.h"
#include "windows/pane_disposal.h"
#include "windows/pane_focus.h"
#include "windows/window.h"

namespace vorn {

namespace {

GdkWindow* GdkOf(NativeWidget widget) { return widget ? gtk_widget_get_window(widget) : nullptr; }

}  // namespace

// --- simple overrides --------------------------------------------------------------------

bool Window::BecomeCurrent() { return false; }
bool Window::ResignCurrent() { return false; }
bool Window::IsWindow() { return true; }
void Window::HandleExpose() { Redraw(); }
bool Window::ContextualMenuAt(int32_t, int32_t) { return false; }
void Window::Paint(Graphics*) {}
bool Window::IsModal() { return WindowKindIsModal(mKind); }
void Window::PointerEntered() {}
void Window::PointerLeft() {}
void Window::WindowMoved() {}
void Window::WindowResized() {}
void Window::GetSizeLimits(Rect*) {}
bool Window::CloseBoxClicked() { return false; }
void Window::MarkMinimized() { mMinimized = true; }
void Window::MarkMaximized() { mMaximized = true; }
void Window::ClearWindowState() { mMinimized = mMaximized = false; }

void Window::Draw(Graphics* port) {
  const PanePortHooks& hooks = GetPanePortHooks();
  if (mHasBackColor && hooks.clearRect) hooks.clearRect(port, MakeRect(0, 0, mWidth, mHeight));
  Paint(port);
}

bool Window::IsFrontmost() {
  mParentWindow = nullptr;
  ShowPendingWindows();
  return true;
}

void Window::Close() {
  if (mClosing) return;
  Hide();
  LeaveWindowLists();
  if (mGtkWindow) {
    // Nothing queued for the window reaches it any more; a close request queued for it is
    // answered here, since GTK would destroy the window itself.
    g_signal_handlers_block_matched(mGtkWindow, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, this);
    g_signal_connect(mGtkWindow, "delete-event", G_CALLBACK(gtk_true), nullptr);
  }
  SubPane::Close();
}

// --- clicks and wheel --------------------------------------------------------------------

bool Window::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  mNativeClickPane = nullptr;
  if (mClosing || mPanes.empty()) return false;
  auto panes = mPanes;
  for (auto it = panes.rbegin(); it != panes.rend(); ++it) {
    SubPane* pane = *it;
    if (!pane->IsDisplayed() || !PointInRect(x, y, pane->AdjustedBounds())) continue;
    // A disabled control hears no click; one that lets clicks through lets this one through.
    if (!pane->HearsInput()) {
      if (pane->PassesClickThrough()) continue;
      return true;
    }
    if (pane->MouseDown(x, y, modifiers)) return true;
    if (pane->PassesClickThrough()) continue;
    // The pane's own widget takes the press from GTK.
    mNativeClickPane = pane;
    return true;
  }
  return false;
}

bool Window::ContextualClick(int32_t x, int32_t y, int32_t modifiers) {
  // As with a press: the pane on top answers, and what lets clicks through passes it on.
  auto panes = mPanes;
  for (auto it = panes.rbegin(); it != panes.rend(); ++it) {
    SubPane* pane = *it;
    if (!pane->IsDisplayed() || !PointInRect(x, y, pane->AdjustedBounds())) continue;
    if (pane->HearsInput() && pane->ContextualClick(x, y, modifiers)) return true;
    if (!pane->PassesClickThrough()) return false;
  }
  return false;
}

bool Window::MouseWheel(int32_t x, int32_t y, int32_t delta) {
  auto panes = mPanes;
  for (auto it = panes.rbegin(); it != panes.rend(); ++it) {
    SubPane* pane = *it;
    if (!pane->IsDisplayed() || !PointInRect(x, y, pane->AdjustedBounds())) continue;
    if (!pane->HearsInput()) return true;
    if (pane->MouseWheel(x, y, delta)) return true;
  }
  return false;
}

// --- the pane list -----------------------------------------------------------------------

int32_t Window::RemovePane(SubPane* pane) {
  auto it = std::find(mPanes.begin(), mPanes.end(), pane);
  if (it == mPanes.end()) return -1;
  int32_t index = static_cast<int32_t>(it - mPanes.begin());
  mPanes.erase(it);
  return index;
}

void Window::InsertPane(SubPane* pane, int32_t index) {
  index = std::clamp<int32_t>(index, 0, static_cast<int32_t>(mPanes.size()));
  mPanes.insert(mPanes.begin() + index, pane);
}

void Window::MovePaneAfter(SubPane* pane, SubPane* after) {
  if (RemovePane(pane) < 0) return;
  if (!after) {
    mPanes.insert(mPanes.begin(), pane);
    return;
  }
  auto it = std::find(mPanes.begin(), mPanes.end(), after);
  // An "after" pane that is not listed puts the pane at the end rather than losing it.
  mPanes.insert(it == mPanes.end() ? mPanes.end() : it + 1, pane);
}

// --- showing -----------------------------------------------------------------------------

void Window::Show() {
  if (!mShown) {
    mShown = true;
    return;
  }
  if (!mClosing && mGtkWindow && GTK_WIDGET_VISIBLE(mGtkWindow)) gtk_window_present(GTK_WINDOW(mGtkWindow));
}

void Window::Hide() {
  if (!mShown) return;
  mShown = false;
  UpdateWindowOrder(this, kOrderSendToBack);
  if (mGtkWindow) gtk_widget_hide(mGtkWindow);
}

void Window::CheckMovedOrResized() {
  if (mReportingResize) return;
  Rect now;
  GetScreenBounds(&now);
  bool moved = now.top != mScreenBounds.top || now.left != mScreenBounds.left;
  bool resized = now.Width() != mScreenBounds.Width() || now.Height() != mScreenBounds.Height();
  if (moved || resized) mScreenBounds = now;
  PaneGuard guard(this);
  if (moved) {
    WindowMoved();
    if (!guard.Get()) return;
    mMovedPending = false;
  }
  if (!resized) return;
  const bool requested = mSizeRequested;
  mSizeRequested = false;
  if (!requested && IsDraggedResize()) {
    mReportingResize = true;
    CheckResized(now);
    if (!guard.Get()) return;
    mReportingResize = false;
    if (mResizing) WatchForResizeEnd();
    return;
  }
  // A program's resize, or one the window manager made in one go, settles any drag too.
  mResizing = mResizeSettled = false;
  StopResizeWatch();
  WindowResized();
  if (!guard.Get()) return;
  mResizedPending = false;
}

void Window::ShowPendingWindows() {
  // Event handlers may open or close windows on the way.
  std::vector<Window*> snapshot;
  for (Window* w = FirstWindow(); w; w = w->mNextWindow) snapshot.push_back(w);
  for (Window* w : snapshot) {
    if (!IsInWindowList(w)) continue;
    PaneGuard guard(w);
    w->CheckMovedOrResized();
    if (!guard.Get() || !w->mGtkWindow) continue;
    if (!GTK_WIDGET_VISIBLE(w->mGtkWindow) && w->mShown && !w->mClosing) gtk_widget_show(w->mGtkWindow);
  }
}

bool Window::ShowWithin(Window* parent, int32_t modeWord) {
  mParentWindow = parent;
  mShowModeWord = modeWord;
  ShowPendingWindows();
  return true;
}

void Window::RunModalWhileShown() {
  const WindowLayerHooks& hooks = GetWindowLayerHooks();
  if (!hooks.runLoopOnce) return;
  PaneGuard guard(this);
  ModalDisposal disposal;
  while (guard.Get() && mShown && !(hooks.quitRequested && hooks.quitRequested())) {
    hooks.runLoopOnce(true);
    disposal.FreeWhatItsEventsClosed();
  }
}

bool ForEachWindow(WindowCallback callback, intptr_t value) {
  std::vector<Window*> snapshot;
  for (int32_t i = 0; i < GetWindowOrderCount(); ++i) snapshot.push_back(GetWindowOrderItem(i));
  for (Window* w : snapshot) {
    if (!Window::IsInWindowList(w)) continue;
    if (!callback(w, value)) return false;
  }
  return true;
}

// --- bounds ------------------------------------------------------------------------------

void Window::GetScreenBounds(Rect* out) {
  GdkWindow* gdkWindow = GdkOf(mGtkWindow);
  if (!gdkWindow) {
    mOriginKnown = false;
    *out = mBounds;
    return;
  }
  int32_t menuBar = GetMenuBarHeight(this);
  if (!mOriginKnown) {
    gint originX = 0, originY = 0;
    gdk_window_get_origin(gdkWindow, &originX, &originY);
    mOriginX = originX;
    mOriginY = originY;
    mOriginKnown = true;
  }
  int32_t x = mOriginX, y = mOriginY;
  if (GTK_WIDGET_VISIBLE(mGtkWindow)) {
    *out = MakeRect(x, y + menuBar, x + mGtkWindow->allocation.width, y + mGtkWindow->allocation.height);
  } else {
    *out = MakeRect(x, y + menuBar, x + mWidth, y + menuBar + mHeight);
  }
}

void Window::ApplySizeHints(int32_t width, int32_t height) {
  GdkGeometry geometry = {};
  geometry.min_width = geometry.max_width = width;
  geometry.min_height = geometry.max_height = height;
  gtk_window_set_geometry_hints(GTK_WINDOW(mGtkWindow), mVBox, &geometry,
                                static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_MAX_SIZE));
}

void Window::SetWindowBounds(int32_t width, int32_t height, bool report) {
  const int32_t menuBar = GetMenuBarHeight(this);
  if (GdkOf(mGtkWindow)) {
    Rect now;
    GetScreenBounds(&now);
    // The stored rectangle keeps the size on screen until GTK has applied the new one: the
    // check then reports the change once, at the size the window really has.
    mScreenBounds = now;
    mSizeRequested = now.Width() != width || now.Height() != height;
  } else {
    mScreenBounds = MakeRect(mScreenBounds.left, mScreenBounds.top, mScreenBounds.left + width,
                             mScreenBounds.top + height);
  }
  // Before the first showing too: GTK would show the window at the size it was made with and
  // only then change it, and a pointer it covered meanwhile may take the keyboard with it.
  if (mGtkWindow) {
    if (!mResizable) ApplySizeHints(width, height + menuBar);
    gtk_window_resize(GTK_WINDOW(mGtkWindow), std::max(1, width), std::max(1, height + menuBar));
  }
  // The window's own bounds stay at the origin; locked controls follow the size change.
  MoveTo(MakeRect(0, 0, width, height), true);
  if (report) mResizedPending = true;
}

void Window::MoveWindow(int32_t left, int32_t top, bool report) {
  int32_t menuBar = GetMenuBarHeight(this);
  if (mGtkWindow) gtk_window_move(GTK_WINDOW(mGtkWindow), left, top - menuBar);
  ForgetOrigin();
  if (GdkOf(mGtkWindow)) GetScreenBounds(&mScreenBounds);
  Rect moved = mScreenBounds;
  OffsetRect(&moved, left - moved.left, top - moved.top);
  mScreenBounds = moved;
  if (report) mMovedPending = true;
}

// --- title, colour, state ----------------------------------------------------------------

void Window::SetTitle(const string& title) {
  mTitle = title;
  if (mGtkWindow) gtk_window_set_title(GTK_WINDOW(mGtkWindow), mTitle.ToUTF8().CString());
}

void Window::SetBackColor(uint32_t rgb) {
  if (mHasBackColor && mBackColor == rgb) return;
  mHasBackColor = true;
  mBackColor = rgb;
}

void Window::ClearBackColor() {
  if (!mHasBackColor) return;
  mHasBackColor = false;
  Invalidate();
}

// The requests leave the state flags alone: the window-state change that follows marks them
// and so fires the window's Minimize, Maximize and Restore events.
void Window::Maximize() {
  if (mMaximized) return;
  gtk_window_maximize(GTK_WINDOW(mGtkWindow));
}

void Window::Minimize() {
  if (mMinimized) return;
  gtk_window_iconify(GTK_WINDOW(mGtkWindow));
}

void Window::Restore() {
  if (mMinimized) {
    gtk_window_deiconify(GTK_WINDOW(mGtkWindow));
  } else if (mMaximized) {
    gtk_window_unmaximize(GTK_WINDOW(mGtkWindow));
  }
}

// --- menu handlers -----------------------------------------------------------------------

void Window::AddMenuHandler(const string& itemName, MenuHandler handler) {
  for (auto& record : mMenuHandlers) {
    if (record.name.Compare(itemName) == 0) {
      record.handler = handler;
      return;
    }
  }
  mMenuHandlers.push_back({handler, itemName});
}

bool Window::LookupMenuHandler(const string& itemName, MenuHandler* handler) const {
  for (const auto& record : mMenuHandlers) {
    if (record.name.Compare(itemName) == 0) {
      *handler = record.handler;
      return true;
    }
  }
  *handler = nullptr;
  return false;
}

}  // namespace vorn
