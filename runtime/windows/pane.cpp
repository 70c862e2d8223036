#include "windows/pane.h"

#include <algorithm>
#include <vector>

#include "windows/pane_assert.h"

namespace vorn {

namespace {

Pane* sCurrentPane = nullptr;
PanePortHooks sPortHooks;

std::vector<PaneDeathNotificationReceiver*>& Receivers() {
  static auto* receivers = new std::vector<PaneDeathNotificationReceiver*>();
  return *receivers;
}

void EndRegisteredPort() {
  if (sPortHooks.endCurrentPort) sPortHooks.endCurrentPort();
}

}  // namespace

// --- delegate defaults -------------------------------------------------------------------

void PaneDelegate::PaneDied(Pane*) {}
void PaneDelegate::DropObject(Pane*, DragItem*, int32_t, int32_t) {}
bool PaneDelegate::BecomeCurrent() { return false; }
bool PaneDelegate::ResignCurrent() { return false; }
void PaneDelegate::AdjustBounds(Pane*, Rect*) {}
Pane* PaneDelegate::GetContainingPane() { return nullptr; }

PaneDeathNotificationReceiver::PaneDeathNotificationReceiver() { Receivers().push_back(this); }

PaneDeathNotificationReceiver::~PaneDeathNotificationReceiver() {
  auto& list = Receivers();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void SendPaneDeathNotice(Pane* pane) {
  // A receiver may unregister itself while it hears the notice.
  auto snapshot = Receivers();
  for (auto* receiver : snapshot) {
    auto& live = Receivers();
    if (std::find(live.begin(), live.end(), receiver) != live.end()) receiver->PaneDied(pane);
  }
}

// --- ports -------------------------------------------------------------------------------

void SetPanePortHooks(const PanePortHooks& hooks) { sPortHooks = hooks; }
const PanePortHooks& GetPanePortHooks() { return sPortHooks; }

Graphics* NewPaneGraphics(Pane* pane) {
  return sPortHooks.newGraphics ? sPortHooks.newGraphics(pane) : nullptr;
}

void DisposePaneGraphics(Graphics* port) {
  if (port && sPortHooks.disposeGraphics) sPortHooks.disposeGraphics(port);
}

// --- Pane --------------------------------------------------------------------------------

Pane::Pane(const Rect& bounds) {
  StoreBounds(bounds);
  mOldBounds = bounds;
}

Pane::~Pane() {
  if (sCurrentPane == this) sCurrentPane = nullptr;
  SendPaneDeathNotice(this);
}

void Pane::StoreBounds(const Rect& r) {
  mBounds = r;
  mWidth = r.Width();
  mHeight = r.Height();
}

void Pane::SetTextSize(int32_t size) { mTextSize = size; }
bool Pane::BecomeCurrent() { return false; }
void Pane::DidBecomeCurrent() {}
bool Pane::ResignCurrent() { return false; }
void Pane::Draw(Graphics*) {}

void Pane::Redraw() {
  Graphics* port = GetGraphics();
  if (!port) return;
  Draw(port);
  DisposePaneGraphics(port);
}

bool Pane::MouseDown(int32_t, int32_t, int32_t) { return false; }
bool Pane::ContextualClick(int32_t, int32_t, int32_t) { return false; }
void Pane::MouseDrag(int32_t, int32_t) {}
void Pane::MouseMove(int32_t, int32_t) {}
void Pane::MouseUp(int32_t, int32_t) {}
void Pane::MouseEnter() {}
void Pane::MouseExit() {}

Graphics* Pane::GetGraphics() {
  Graphics* port = NewPaneGraphics(this);
  if (!port) return nullptr;
  if (sPortHooks.setTextFont) sPortHooks.setTextFont(port, mTextFont);
  if (sPortHooks.setTextSize) sPortHooks.setTextSize(port, mTextSize);
  if (sPortHooks.setTextStyle) sPortHooks.setTextStyle(port, mTextStyle);
  if (sPortHooks.setClipRect) sPortHooks.setClipRect(port, mBounds);
  return port;
}

void Pane::Erase() {
  Graphics* port = GetGraphics();
  if (!port) return;
  if (sPortHooks.clearRect) sPortHooks.clearRect(port, mBounds);
  DisposePaneGraphics(port);
}

void Pane::Validate() {}
void Pane::ValidateRect(const Rect&) {}
NativeGC Pane::NewGC() { return nullptr; }
void Pane::DisposeGC() {}
NativeDrawable Pane::GetGdkDrawable() { return nullptr; }

void Pane::SetDelegate(PaneDelegate* delegate) {
  if (mDelegate) ReportPaneAssertion("../Common/ClassLib/pane", 460, "not mDelegate");
  mDelegate = delegate;
}

Rect Pane::AdjustedBounds() {
  Rect r = mBounds;
  if (mDelegate) mDelegate->AdjustBounds(this, &r);
  return r;
}

// --- the current pane --------------------------------------------------------------------

Pane* GetCurrentPane() { return sCurrentPane; }

void SetCurrentPane(Pane* pane) {
  EndRegisteredPort();
  if (pane == sCurrentPane) return;
  if (sCurrentPane) sCurrentPane->ResignCurrent();
  // Cleared first so that a pane which dies while resigning cannot be made current again.
  sCurrentPane = nullptr;
  if (pane) {
    pane->BecomeCurrent();
    pane->DidBecomeCurrent();
  }
  sCurrentPane = pane;
}

void ClearCurrentPane() {
  EndRegisteredPort();
  if (!sCurrentPane) return;
  Pane* old = sCurrentPane;
  sCurrentPane = nullptr;
  old->ResignCurrent();
}

}  // namespace vorn
