// RuntimeCustomControlPane: which pane operation calls which behaviour entry, and the guard
// that keeps a control the callback disposed of from being touched again.
#include "controls/plugin_control_pane.h"

#include <gtk/gtk.h>

#include "controls/control_assert.h"
#include "base/background_task.h"
#include "graphics/graphics_object.h"
#include "objects/runtime_object.h"
#include "windows/gtk_pane_support.h"
#include "windows/pane_focus.h"
#include "windows/control.h"

namespace vorn {

namespace {

constexpr int32_t kIdlePeriodTicks = 10;
constexpr int32_t kFocusRingOutset = 4;
constexpr int32_t kStateEnabled = 2, kStateVisibility = 4, kStateBounds = 8;
constexpr int32_t kChangeStateCheck = 1000, kChangeStateNotice = 2000;
constexpr int32_t kMinimumFocusVersion = 8;

using Plain = void (*)(RuntimeObject*);
using WithGraphics = void (*)(RuntimeObject*, RuntimeObject*);
using WithPoint = void (*)(RuntimeObject*, int32_t, int32_t);
using WithCode = void (*)(RuntimeObject*, int32_t);
using MouseDownCall = uint8_t (*)(RuntimeObject*, int32_t, int32_t, int32_t);
using KeyDownCall = uint8_t (*)(RuntimeObject*, int32_t, int32_t, int32_t);
using WheelCall = uint8_t (*)(RuntimeObject*, int32_t, int32_t, int32_t);
using Answer = uint8_t (*)(RuntimeObject*);
using MenuCall = uint8_t (*)(RuntimeObject*, int32_t);
using Triple = void (*)(RuntimeObject*, int32_t, int32_t, int32_t);
using HandleCall = NativeWidget (*)(RuntimeObject*);

template <typename F>
F As(void* entry) {
  return reinterpret_cast<F>(entry);
}

class PluginBackgroundTask : public BackgroundTask {
 public:
  explicit PluginBackgroundTask(RuntimeCustomControlPane* pane) : BackgroundTask(kIdlePeriodTicks), mPane(pane) {}
  void Run() override { mPane->RunIdle(); }

 private:
  RuntimeCustomControlPane* mPane;
};

}  // namespace

RuntimeCustomControlPane::RuntimeCustomControlPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds,
                                                   RuntimeObject* owner, const LoadedControl* control)
    : SubPane(parent, tabPanelIndex, bounds), mOwner(owner), mControl(control) {
  if (Entry(kVornBehaviourIdle)) mIdleTask = std::make_unique<PluginBackgroundTask>(this);
  if (void* open = Entry(kVornBehaviourOpen)) {
    SetCurrentPane(this);
    As<Plain>(open)(mOwner);
  }
  NativeWidget widget = nullptr;
  if (void* handle = Entry(kVornBehaviourGetHandle)) widget = As<HandleCall>(handle)(mOwner);
  if (widget == nullptr) widget = gtk_drawing_area_new();
  SetWidget(widget);
  AddPaneToWindow(this, true);
  if (!GTK_WIDGET_REALIZED(mWidget)) gtk_widget_realize(mWidget);
  ConnectExposeHandler(this);
  ConnectButtonPressHandler(this);
}

RuntimeCustomControlPane::~RuntimeCustomControlPane() = default;

void* RuntimeCustomControlPane::Entry(int index) const {
  return mControl && mControl->behaviour ? mControl->behaviour[index] : nullptr;
}

bool RuntimeCustomControlPane::LockHierarchy() {
  if (mClosed || !SubPane::LockHierarchy()) return false;
  RuntimeLockObject(mOwner);
  return true;
}

bool RuntimeCustomControlPane::UnlockHierarchy() {
  RuntimeObject* owner = mOwner;
  RuntimeUnlockObject(owner);  // may end the control, whose destructor forgets the owner
  bool died = mOwner == nullptr || mClosed;
  // After this the pane may be gone: nothing of it is read again.
  if (SubPane::UnlockHierarchy()) died = true;
  return died;
}

template <typename Call>
void RuntimeCustomControlPane::Guarded(Call call, bool* ran, bool* died) {
  *ran = false;
  *died = false;
  SetCurrentPane(this);
  if (!LockHierarchy()) return;
  *ran = true;
  call();
  *died = UnlockHierarchy();
}

void RuntimeCustomControlPane::CallWithGraphics(void* callback, Graphics* port) {
  RuntimeObject* graphics = NewGraphicsObject(port);
  if (graphics == nullptr) return;
  As<WithGraphics>(callback)(mOwner, graphics);
  DetachGraphicsObjectPort(graphics);  // the port is the caller's
  RuntimeUnlockObject(graphics);
}

void RuntimeCustomControlPane::Draw(Graphics* port) {
  if (void* redraw = Entry(kVornBehaviourRedraw); redraw && port && mOwner) CallWithGraphics(redraw, port);
}

void RuntimeCustomControlPane::DrawInto(Graphics* port) {
  void* drawInto = Entry(kVornBehaviourDrawInto);
  if (!drawInto) {
    Draw(port);
    return;
  }
  if (port && mOwner) CallWithGraphics(drawInto, port);
}

bool RuntimeCustomControlPane::MouseDown(int32_t x, int32_t y, int32_t modifiers) {
  void* entry = Entry(kVornBehaviourMouseDown);
  if (!entry) return false;
  bool ran, died, handled = false;
  Guarded([&] { handled = As<MouseDownCall>(entry)(mOwner, x, y, modifiers) != 0; }, &ran, &died);
  if (!ran || died) return true;
  if (handled) SetMouseCapturePane(this);
  return handled;
}

void RuntimeCustomControlPane::MouseDrag(int32_t x, int32_t y) {
  bool ran, died;
  if (void* entry = Entry(kVornBehaviourMouseDrag)) Guarded([&] { As<WithPoint>(entry)(mOwner, x, y); }, &ran, &died);
}

void RuntimeCustomControlPane::MouseMove(int32_t x, int32_t y) {
  bool ran, died;
  if (void* entry = Entry(kVornBehaviourMouseMove)) {
    Guarded([&] { As<WithPoint>(entry)(mOwner, x + mBounds.left, y + mBounds.top); }, &ran, &died);
  }
}

void RuntimeCustomControlPane::MouseUp(int32_t x, int32_t y) {
  bool ran, died;
  if (void* entry = Entry(kVornBehaviourMouseUp)) Guarded([&] { As<WithPoint>(entry)(mOwner, x, y); }, &ran, &died);
}

void RuntimeCustomControlPane::MouseEnter() {
  bool ran, died;
  if (void* entry = Entry(kVornBehaviourMouseEnter)) Guarded([&] { As<Plain>(entry)(mOwner); }, &ran, &died);
}

void RuntimeCustomControlPane::MouseExit() {
  bool ran, died;
  if (void* entry = Entry(kVornBehaviourMouseExit)) Guarded([&] { As<Plain>(entry)(mOwner); }, &ran, &died);
}

bool RuntimeCustomControlPane::DrawsBackground() {
  void* entry = Entry(kVornBehaviourBackground);
  if (entry && mOwner) As<Plain>(entry)(mOwner);
  return entry != nullptr;
}

bool RuntimeCustomControlPane::WholeBoundsQuery(Rect* out) const {
  if (!mControl || !mControl->ctl || (mControl->ctl->flags & kVornPluginControlWantsBounds) == 0) return false;
  if (out) *out = mBounds;
  return true;
}

void RuntimeCustomControlPane::GotFocus() {
  SubPane::GotFocus();
  if (void* entry = Entry(kVornBehaviourGotFocus); entry && mOwner && !mClosed) {
    SetCurrentPane(this);
    As<Plain>(entry)(mOwner);
  }
}

void RuntimeCustomControlPane::LostFocus() {
  SubPane::LostFocus();
  if (void* entry = Entry(kVornBehaviourLostFocus); entry && mOwner && !mClosed) {
    SetCurrentPane(this);
    As<Plain>(entry)(mOwner);
  }
}

bool RuntimeCustomControlPane::CanFocus() {
  if (!IsDisplayed() || !IsEnabled() || !mControl || !mControl->ctl) return false;
  if (mControl->ctl->flags & kVornPluginControlAcceptsFocus) return true;
  void* entry = Entry(kVornBehaviourAcceptFocus);
  if (mControl->ctl->version < kMinimumFocusVersion || !entry) return false;
  // The focus question makes no pane current.
  if (!LockHierarchy()) return false;
  bool accepts = As<Answer>(entry)(mOwner) != 0;
  if (UnlockHierarchy()) return false;
  return accepts;
}

void RuntimeCustomControlPane::NoticeState(int32_t code) {
  if (void* entry = Entry(kVornBehaviourStateChanged); entry && mOwner) As<WithCode>(entry)(mOwner, code);
}

void RuntimeCustomControlPane::SetBounds(const Rect& r, bool redraw) {
  SubPane::SetBounds(r, redraw);
  NoticeState(kStateBounds);
}

void RuntimeCustomControlPane::SetEnabled(bool enabled, bool redraw) {
  SubPane::SetEnabled(enabled, redraw);
  NoticeState(kStateEnabled);
}

void RuntimeCustomControlPane::ShowWidget(bool show) {
  SubPane::ShowWidget(show);
  NoticeState(kStateVisibility);
}

bool RuntimeCustomControlPane::KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) {
  void* entry = Entry(kVornBehaviourKeyDown);
  if (!entry) return false;
  bool ran, died, handled = false;
  Guarded([&] { handled = As<KeyDownCall>(entry)(mOwner, character, keyCode, modifiers) != 0; }, &ran, &died);
  if (!ran || died) return true;
  return handled;
}

bool RuntimeCustomControlPane::KeyDownInParent(int32_t character, int32_t keyCode, int32_t modifiers) {
  return KeyDown(character, keyCode, modifiers | kModifierCommand);
}

int32_t RuntimeCustomControlPane::ChangeState(int32_t code) {
  if (code == kChangeStateCheck) {
    if (!mOwner || !mControl || !mControl->ctl) {
      ReportControlAssertion("../Common/plugin", 8065, "mOwner and mOwner->mControl and mOwner->mControl->ctl");
    }
    return SubPane::ChangeState(code);
  }
  if (code == kChangeStateNotice) {
    if (void* entry = Entry(kVornBehaviourStateCode2000); entry && mOwner) As<Triple>(entry)(mOwner, 0, 0, 0);
    return 1;
  }
  return SubPane::ChangeState(code);
}

bool RuntimeCustomControlPane::AdjustCursor(int32_t x, int32_t y) {
  if (mControl && mControl->ctl && (mControl->ctl->flags & kVornPluginControlOwnCursor)) return true;
  return SubPane::AdjustCursor(x, y);
}

void RuntimeCustomControlPane::Invalidate(bool) {
  SetCurrentPane(this);
  Rect area = mBounds;
  InsetRect(area, -kFocusRingOutset, -kFocusRingOutset);
  InvalidateRect(area);
}

void RuntimeCustomControlPane::EnableMenuItems() {
  if (void* entry = Entry(kVornBehaviourEnableMenuItems); entry && mOwner) As<Plain>(entry)(mOwner);
  SubPane::EnableMenuItems();
}

bool RuntimeCustomControlPane::DoMenuCommand(int32_t command) {
  void* entry = Entry(kVornBehaviourMenuCommand);
  if (!entry || !mOwner) return SubPane::DoMenuCommand(command);
  return As<MenuCall>(entry)(mOwner, command) != 0;
}

void RuntimeCustomControlPane::Close() {
  mIdleTask.reset();
  if (mClosed) return;
  mClosed = true;
  if (void* entry = Entry(kVornBehaviourClose); entry && mOwner) {
    SetCurrentPane(this);
    As<Plain>(entry)(mOwner);
  }
  SubPane::Close();
}

bool RuntimeCustomControlPane::GetFocusRingRect(Rect* r) {
  if (r) {
    *r = mBounds;
    InsetRect(*r, -kFocusRingOutset, -kFocusRingOutset);
  }
  return true;
}

bool RuntimeCustomControlPane::MouseWheel(int32_t x, int32_t y, int32_t delta) {
  void* entry = Entry(kVornBehaviourMouseWheel);
  if (!entry) return false;
  bool ran, died, handled = false;
  Guarded([&] { handled = As<WheelCall>(entry)(mOwner, x, y, delta) != 0; }, &ran, &died);
  if (!ran) return false;
  return died || handled;
}

NativeWidget RuntimeCustomControlPane::GetHandle() {
  if (void* entry = Entry(kVornBehaviourGetHandle); entry && mOwner) {
    if (NativeWidget widget = As<HandleCall>(entry)(mOwner)) return widget;
  }
  return SubPane::GetHandle();
}

void RuntimeCustomControlPane::RunIdle() {
  void* entry = Entry(kVornBehaviourIdle);
  if (!entry || !mOwner || mClosed) return;
  SetCurrentPane(this);
  As<Plain>(entry)(mOwner);
}

}  // namespace vorn
