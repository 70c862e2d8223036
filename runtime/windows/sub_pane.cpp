// SubPane: construction, the pane tree, locking, closing and destruction.
#include "windows/sub_pane.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <utility>

#include "objects/runtime_object.h"
#include "windows/cursor_record.h"
#include "windows/pane_assert.h"
#include "windows/pane_disposal.h"
#include "windows/pane_focus.h"
#include "windows/window.h"

namespace vorn {

namespace {
constexpr const char* kSubPaneSource = "../Common/SubPane";
PaneGuard* sGuards = nullptr;
}  // namespace

bool gFocusInKind9Window = false;

// --- guards ------------------------------------------------------------------------------

PaneGuard::PaneGuard(SubPane* pane) : mNext(sGuards), mPane(pane) { sGuards = this; }

PaneGuard::~PaneGuard() {
  for (PaneGuard** link = &sGuards; *link; link = &(*link)->mNext) {
    if (*link == this) {
      *link = mNext;
      break;
    }
  }
}

void SubPane::ForgetGuards() {
  for (PaneGuard* guard = sGuards; guard; guard = guard->mNext) {
    if (guard->mPane == this) guard->mPane = nullptr;
  }
}

namespace {

// A closing pane's handlers hear nothing more from the toolkit, whatever signal is still on
// its way to the widget or its parts.
void BlockHandlersOf(GtkWidget* widget, gpointer data) {
  g_signal_handlers_block_matched(widget, G_SIGNAL_MATCH_DATA, 0, 0, nullptr, nullptr, data);
  if (GTK_IS_CONTAINER(widget)) {
    gtk_container_forall(GTK_CONTAINER(widget), [](GtkWidget* child, gpointer d) { BlockHandlersOf(child, d); },
                         data);
  }
}

}  // namespace

// --- construction and destruction --------------------------------------------------------

SubPane::SubPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, bool finish)
    : Pane(bounds), mTabPanelIndex(tabPanelIndex) {
  if (!parent) return;
  Window* window = parent->GetWindow();
  SubPane* owner = parent;
  bool parentIsWindow = window && parent == static_cast<SubPane*>(window);
  if (parentIsWindow) {
    // The last pane that encloses the new one is its container: a control made over a group
    // box becomes the group box's child.
    for (SubPane* candidate : window->Panes()) {
      if (candidate->Encloses(this, false, true)) owner = candidate;
    }
  }
  mSubPanes.parent = owner;
  if (!owner->AddSubPane(this) && window) {
    window->AddSubPane(this);
    mSubPanes.parent = window;
  }
  if (parentIsWindow) window->AppendPane(this);
  if (finish) FinishCreate();
}

SubPane::~SubPane() {
  ForgetGuards();
  if (vorn::GetFocusPane() == this) ClearFocusPane();
  if (GetMouseCapturePane() == this) ClearMouseCapturePane();
  // ClearCurrentPane resigns the pane itself, once.
  if (GetCurrentPane() == this) ClearCurrentPane();
  if (vorn::GetFocusPane() == this) ReportPaneAssertion(kSubPaneSource, 806, "this != GetFocusPane()");
  if (GetCurrentPane() == this) ReportPaneAssertion(kSubPaneSource, 807, "this != currentPane");
  if (mLockCount > 0) ReportPaneAssertion(kSubPaneSource, 808, "mLockCount <= 0");

  // A pane deleted without Release must not stay reachable from the tree.
  if (SubPane* parent = mSubPanes.parent) {
    auto& siblings = parent->mSubPanes.children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  for (SubPane* child : mSubPanes.children) {
    if (child->mSubPanes.parent == this) child->mSubPanes.parent = nullptr;
  }
  DisposeGC();
  DeleteCursorRecord(mCursor);
  mCursor = nullptr;
  if (mTooltips) {
    gtk_object_destroy(GTK_OBJECT(mTooltips));
    g_object_unref(mTooltips);
    mTooltips = nullptr;
  }
  if (mWidget) {
    gtk_widget_destroy(mWidget);
    g_object_unref(mWidget);
    mWidget = nullptr;
  }
  // Last: the object's destructor may run code that closes more panes.
  RuntimeUnlockObject(std::exchange(mKeptObject, nullptr));
}

void SubPane::KeepUntilDestroyed(RuntimeObject* object) {
  RuntimeUnlockObject(std::exchange(mKeptObject, object));
}

void SubPane::SetWidget(NativeWidget widget) {
  // The reference keeps the widget valid even when its window's widget tree goes first.
  if (widget) g_object_ref_sink(widget);
  if (mWidget) {
    gtk_widget_destroy(mWidget);
    g_object_unref(mWidget);
  }
  mWidget = widget;
}

void SubPane::FinishCreate() {}

// --- the tree ----------------------------------------------------------------------------

SubPane* SubPane::GetOwner() { return this; }
SubPane* SubPane::GetEventTarget() { return this; }

SubPane* SubPane::GetParent() {
  SubPane* owner = GetOwner();
  if (!owner) {
    ReportPaneAssertion(kSubPaneSource, 2100, "owner", "No owner");
    return nullptr;
  }
  return owner->mSubPanes.parent;
}

Window* SubPane::GetWindow() {
  SubPane* top = this;
  while (SubPane* up = top->GetParent()) top = up;
  return top->IsWindow() ? static_cast<Window*>(top) : nullptr;
}

bool SubPane::ContainsSubPane(SubPane* pane, bool recursive) {
  auto& kids = mSubPanes.children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    if (*it == pane) return true;
    if (recursive && (*it)->ContainsSubPane(pane, true)) return true;
  }
  return false;
}

bool SubPane::Encloses(SubPane* other, bool checkVisible, bool checkTabIndex) {
  if (mBounds.IsEmpty()) return false;
  if (checkVisible && !mVisible) return false;
  if (checkTabIndex && mTabPanelIndex != other->mTabPanelIndex) return false;
  return RectIsInsideRect(other->mBounds, mBounds);
}

bool SubPane::AddSubPane(SubPane* pane) {
  mSubPanes.children.push_back(pane);
  pane->mSubPanes.parent = this;
  return true;
}

void SubPane::RemoveSubPane(SubPane* pane) {
  auto& kids = mSubPanes.children;
  auto it = std::find(kids.begin(), kids.end(), pane);
  if (it != kids.end()) kids.erase(it);
}

void SubPane::SetParent(SubPane* parent) {
  if (!parent) {
    ReportPaneAssertion(kSubPaneSource, 3180, "newParent");
    return;
  }
  if (SubPane* old = GetParent()) old->RemoveSubPane(this);
  parent->AddSubPane(this);
  // What hid the pane where it lay has no say where it goes: its new place decides at once.
  SetShownByContainer(ShownByItsPlace());
}

bool SubPane::ShownByItsPlace() {
  SubPane* parent = GetParent();
  if (!parent || parent->IsWindow()) return true;
  if (parent->AsTabPanel() || parent->AsPagePanel()) {
    return parent->IsDisplayed() && mTabPanelIndex >= 1 && mTabPanelIndex == parent->CurrentPanelPage();
  }
  return parent->IsDisplayed();
}

void SubPane::UpdateParent(bool checkVisible, bool checkTabIndex) {
  if (mDelegate) {
    if (auto* container = dynamic_cast<SubPane*>(mDelegate->GetContainingPane())) {
      if (container != GetParent()) SetParent(container);
      return;
    }
  }
  Window* window = GetWindow();
  SubPane* parent = GetParent();
  if (!window || !parent) return;
  SubPane* candidate = window;
  for (SubPane* pane : window->Panes()) {
    if (pane == this) break;
    if (pane->Encloses(this, checkVisible, checkTabIndex)) candidate = pane;
  }
  if (candidate->GetOwner() != parent) SetParent(candidate);
}

void SubPane::Detach() {
  Window* window = GetWindow();
  int32_t index = window ? window->RemovePane(this) : -1;
  auto kids = mSubPanes.children;
  SubPane* target = GetEventTarget();
  for (SubPane* child : kids) {
    if (child == target) continue;
    child->UpdateParent(false, true);
    RemoveSubPane(child);
  }
  if (window) window->InsertPane(this, index < 0 ? 0 : index);
}

bool SubPane::ForEachSubPane(SubPaneCallback callback, intptr_t value) {
  if (mSubPanes.children.empty()) return callback(this, value);
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) {
    if (!child->ForEachSubPane(callback, value)) return false;
  }
  return true;
}

void SubPane::BroadcastToSubPanes(intptr_t value) {
  auto kids = mSubPanes.children;
  for (SubPane* child : kids) child->BroadcastToSubPanes(value);
}

bool SubPane::ContainsFocusable(SubPane* excluded) {
  if (this != excluded && CanFocus()) return true;
  for (SubPane* child : mSubPanes.children) {
    if (child->ContainsFocusable(excluded)) return true;
  }
  return false;
}

SubPane* SubPane::AsPagePanel() { return nullptr; }
SubPane* SubPane::AsTabPanel() { return nullptr; }
int32_t SubPane::CurrentPanelPage() { return -1; }

bool SubPane::IsInTabPanel() {
  for (SubPane* p = GetParent(); p; p = p->GetParent()) {
    if (p->AsTabPanel()) return true;
  }
  return false;
}

void SubPane::SetRunControl(ControlObjectLink* control) {
  if (mRunControl) ReportPaneAssertion(kSubPaneSource, 887, "mRunControl == nil");
  mRunControl = control;
}

// --- locking and closing -----------------------------------------------------------------

SubPane* SubPane::Lock() {
  ++mLockCount;
  return this;
}

bool SubPane::Release() {
  if (--mLockCount >= 0) return false;
  // A holder that locked the pane after it went releases it again: it stays gone, once.
  if (mGone) return true;
  mGone = true;
  // Children the close did not reach (a pane released without one) go with it.
  auto kids = mSubPanes.children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) (*it)->Close();
  // The pane leaves the tree now and is freed when no event is running any more.
  Window* window = GetWindow();
  if (SubPane* parent = GetParent()) parent->RemoveSubPane(this);
  if (window && window != this) window->RemovePane(this);
  mSubPanes.parent = nullptr;
  ForgetGuards();
  DisposePane(this);
  return true;
}

// The panes above need no hold of their own: while the event runs nothing closed is freed
// (pane_disposal.h). What the caller must learn is whether the pane or its window went.
bool SubPane::LockHierarchy() {
  if (IsGoingAway()) return false;
  Lock();
  return true;
}

bool SubPane::UnlockHierarchy() {
  const bool goingAway = IsGoingAway();
  return Release() || goingAway;
}

bool SubPane::IsGoingAway() {
  if (mClosing) return true;
  Window* window = GetWindow();
  return window && window->IsClosing();
}

void SubPane::CloseFocusState() {
  if (GetMouseCapturePane() == this) ClearMouseCapturePane();
  if (vorn::GetFocusPane() == this) ClearFocusPane();
  if (GetCurrentPane() == this) ClearCurrentPane();
  Window* window = GetWindow();
  if (window && window->FocusPaneField() == this) {
    window->SetFocusPaneField(nullptr);
    gFocusInKind9Window = false;
  }
}

void SubPane::Close() {
  // A second close would release a lock the pending one still counts on.
  if (mClosing) return;
  mClosing = true;
  if (mWidget) BlockHandlersOf(mWidget, this);
  SendPaneDeathNotice(this);
  CloseFocusState();
  if (mDelegate) mDelegate->PaneDied(this);
  // What it holds closes with it, whoever still holds this pane.
  auto kids = mSubPanes.children;
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) (*it)->Close();
  Release();
}

// --- current pane and simple answers -----------------------------------------------------

bool SubPane::BecomeCurrent() {
  if (mDelegate && mDelegate->BecomeCurrent()) return true;
  SubPane* parent = GetParent();
  return parent ? parent->BecomeCurrent() : false;
}

bool SubPane::ResignCurrent() {
  if (mDelegate && mDelegate->ResignCurrent()) return true;
  SubPane* parent = GetParent();
  return parent ? parent->ResignCurrent() : false;
}

void SubPane::Activate() {
  if (!mClosing && !mActive) mActive = true;
}
void SubPane::Deactivate() {}
bool SubPane::IsWindow() { return false; }
void SubPane::LostFocus() {}
void SubPane::GotFocus() {}
void SubPane::WillTakeTabFocus() {}
void SubPane::Idle() {}
void SubPane::BoundsDidChange() {}
void SubPane::SetBalloonHelp(const string&) {}
void SubPane::SetDisabledBalloonHelp(const string&) {}
void SubPane::Press() {}
bool SubPane::GetFocusRingRect(Rect*) { return false; }
void SubPane::GetBounds(Rect* out) { *out = mBounds; }
bool SubPane::PassesClickThrough() { return false; }
NativeWidget SubPane::GetHandle() { return mWidget; }

int32_t SubPane::HandleNumber() {
  static int32_t lastIssued = 0;
  constexpr int32_t kPaneHandleBit = 0x40000000;
  // A run would need a billion panes before the numbers came round again.
  if (mHandleNumber == 0) {
    lastIssued = lastIssued == kPaneHandleBit - 1 ? 1 : lastIssued + 1;
    mHandleNumber = kPaneHandleBit | lastIssued;
  }
  return mHandleNumber;
}

bool SubPane::KeyDown(int32_t, int32_t, int32_t) { return false; }

bool SubPane::KeyDownInParent(int32_t character, int32_t keyCode, int32_t modifiers) {
  SubPane* parent = GetParent();
  return parent ? parent->KeyDownInParent(character, keyCode, modifiers) : false;
}

bool SubPane::TypeChar(int32_t character, int32_t keyCode, int32_t modifiers) {
  if (character > 127) return false;
  return KeyDown(character & 0xFF, keyCode, modifiers);
}

void SubPane::EnableMenuItems() {
  if (SubPane* parent = GetParent()) parent->EnableMenuItems();
}

bool SubPane::MenuCommandEnabled(int32_t command) {
  SubPane* parent = GetParent();
  return parent ? parent->MenuCommandEnabled(command) : false;
}

bool SubPane::DoMenuCommand(int32_t command) {
  SubPane* parent = GetParent();
  return parent ? parent->DoMenuCommand(command) : false;
}

SubPane* SubPane::FindDefaultButton() {
  for (SubPane* child : mSubPanes.children) {
    if (SubPane* found = child->FindDefaultButton()) return found;
  }
  return nullptr;
}

SubPane* SubPane::FindCancelButton() {
  for (SubPane* child : mSubPanes.children) {
    if (SubPane* found = child->FindCancelButton()) return found;
  }
  return nullptr;
}

bool SubPane::GetFrameBounds(Rect* out) {
  // Drawn in full wherever it lies, as the toolkit draws every widget (sub_pane.h): only the
  // window at the top of the tree clips, never the containers between.
  Rect r = mBounds;
  GetFocusRingRect(&r);
  SubPane* top = nullptr;
  for (SubPane* p = GetParent(); p; p = p->GetParent()) top = p;
  if (top) IntersectRect(r, top->mBounds, &r);
  *out = r;
  return !r.IsEmpty();
}

}  // namespace vorn
