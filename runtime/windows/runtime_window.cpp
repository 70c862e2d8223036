// Window objects and their native windows: the class initializer, constructor and finalizer,
// creating the native window and setting it up, the Open events, closing and CancelClose.
#include "windows/runtime_window.h"

#include <algorithm>

#include "graphics/graphics_object.h"
#include "objects/event_dispatch.h"
#include "objects/runtime_object.h"
#include "vorn/menu_api.h"
#include "vorn/window_api.h"
#include "windows/container_control.h"
#include "windows/control_window_hooks.h"
#include "windows/gtk_helper.h"
#include "windows/control_containment.h"
#include "windows/menu_standard.h"
#include "windows/menu_window.h"
#include "windows/mouse_cursor_class.h"
#include "windows/pane_assert.h"
#include "windows/pane_focus.h"
#include "windows/window_class.h"
#include "windows/window_controls.h"
#include "windows/rect_control.h"
#include "windows/window_placement.h"

namespace vorn {

namespace {

constexpr const char* kWindowSource = "../Common/ClassLib/window";

RuntimeViewWindow* sFirstView = nullptr;

// Window kind and default placement of each frame code.
constexpr FrameInfo kFrames[] = {
    {8, 4}, {3, 2}, {2, 2}, {1, 0}, {4, 2}, {5, 2}, {6, 4}, {9, 0}, {10, 0}, {11, 4}, {12, 0},
};

string Share(StringRep* rep) { return string::Share(rep); }

}  // namespace

std::vector<RuntimeObject*> LockedEntries(StringMap<RuntimeObject*>* map) {
  std::vector<RuntimeObject*> entries;
  if (!map) return entries;
  StringMapIterator<RuntimeObject*>* it = map->NewIterator();
  RuntimeObject* entry = nullptr;
  while (it->Next(&entry)) {
    RuntimeLockObject(entry);
    entries.push_back(entry);
  }
  delete it;
  return entries;
}

void UnlockAll(const std::vector<RuntimeObject*>& objects) {
  for (RuntimeObject* object : objects) RuntimeUnlockObject(object);
}

FrameInfo FrameInfoFor(int32_t frame) {
  // A frame outside the table would index past it; such windows are document windows.
  if (frame < 0 || frame >= static_cast<int32_t>(sizeof(kFrames) / sizeof(kFrames[0]))) frame = 0;
  return kFrames[frame];
}

RuntimeViewWindow* ViewOf(RuntimeObject* window) {
  return IsWindowObject(window) ? AsWindowFields(window)->view : nullptr;
}

Window* GetWindowPaneOf(RuntimeObject* window) {
  if (RuntimeViewWindow* view = ViewOf(window)) return view;
  ControlObject* embedding = IsWindowObject(window) ? AsControl(AsWindowFields(window)->embeddedWindowControl) : nullptr;
  return embedding ? static_cast<Window*>(embedding->windowPane) : nullptr;
}

// --- RuntimeWindow -------------------------------------------------------------------------

// Close box, maximize and minimize boxes and composite have no say over a GTK window; the
// title, bounds, kind, resizability, definition code and live resizing reach it.
RuntimeWindow::RuntimeWindow(const string& title, const Rect& bounds, int32_t kind, bool, bool resizeable, bool,
                             int32_t macProcId, bool, bool liveResize, bool)
    : Window(title, bounds, kind, 0, resizeable, macProcId) {
  SetLiveResize(liveResize);
}

RuntimeWindow::~RuntimeWindow() = default;

// --- RuntimeViewWindow ---------------------------------------------------------------------

RuntimeViewWindow::RuntimeViewWindow(RuntimeObject* window, int32_t kind)
    : RuntimeWindow(Share(AsWindowFields(window)->title), AsWindowFields(window)->bounds, kind,
                    AsWindowFields(window)->closeButton != 0, AsWindowFields(window)->resizeable != 0,
                    AsWindowFields(window)->maximizeButton != 0, AsWindowFields(window)->macProcId,
                    AsWindowFields(window)->composite != 0, AsWindowFields(window)->liveResize != 0,
                    AsWindowFields(window)->minimizeButton != 0) {
  AddMenuHandler(string("RuntimeViewWindow"), reinterpret_cast<MenuHandler>(uintptr_t{1}));
  mNextView = sFirstView;
  sFirstView = this;
  mWindow = window;
  RuntimeLockObject(window);
  mMinimizeHandler = RuntimeGetHookHandler(window, WindowEventHook(kEventMinimize));
  mMaximizeHandler = RuntimeGetHookHandler(window, WindowEventHook(kEventMaximize));
  mRestoreHandler = RuntimeGetHookHandler(window, WindowEventHook(kEventRestore));
  WindowObject* fields = AsWindowFields(window);
  fields->view = this;
  // A bar set before this native window existed (or kept from the one closed before it).
  if (fields->menuBar) WindowMenuBarSetter(window, 0, fields->menuBar);
  if (!fields->visible) Hide();
}

void RuntimeViewWindow::LeaveViewList() {
  for (RuntimeViewWindow** link = &sFirstView; *link; link = &(*link)->mNextView) {
    if (*link == this) {
      *link = mNextView;
      break;
    }
  }
}

RuntimeViewWindow::~RuntimeViewWindow() {
  LeaveViewList();
  if (RuntimeObject* window = mWindow) {
    mWindow = nullptr;
    if (AsWindowFields(window)->view == this) AsWindowFields(window)->view = nullptr;
    RuntimeUnlockObject(window);
  }
}

RuntimeViewWindow* RuntimeViewWindow::FirstView() { return sFirstView; }

void RuntimeViewWindow::SetUp() {
  PaneGuard guard(this);
  auto stillOpen = [&] { return guard.Get() && !mClosing && mWindow; };
  RuntimeObject* window = mWindow;
  RuntimeLockObject(window);
  WindowObject* fields = AsWindowFields(window);
  if (!fields->controlsCreated) {
    FireEvent(window, WindowEventHook(kEventCreateControls));
    fields->controlsCreated = 1;
  }
  if (stillOpen()) FireEvent(window, WindowEventHook(kEventAddMenuHandlers), window);
  // Containers found in the map are embedded where they were designed; each embedding may
  // add to the map, so the walk starts over after it.
  for (bool restart = true; restart && stillOpen();) {
    restart = false;
    std::vector<RuntimeObject*> controls = LockedEntries(fields->controls);
    for (RuntimeObject* control : controls) {
      if (!stillOpen()) break;
      if (IsControl(control) && ControlPane(AsControl(control)) == nullptr) {
        AsControl(control)->window = window;
        AsControl(control)->windowPane = this;
        MakeControlPane(control);
      } else if (NeedsNestedEmbedding(control)) {
        // A container that could not be embedded stays out; the walk goes on.
        EmbedWindow(control, window, 0, 0, -1, -1, true);
        if (!NeedsNestedEmbedding(control)) {
          restart = true;
          break;
        }
      }
    }
    UnlockAll(controls);
  }
  if (stillOpen()) {
    if (fields->hasBackColor) SetBackColor(fields->backColor);
    SetBalloonHelp(Share(fields->balloonHelp));
    SetCursor(MouseCursorRecordOf(fields->mouseCursor));
    if (fields->fullScreenRequest) windowFullScreenSetter(window, 0, 1);
  }
  if (stillOpen()) FireEvent(window, WindowEventHook(kEventSetupBindings));
  RuntimeUnlockObject(window);
}

namespace {

WindowObjectCloser sObjectCloser = nullptr;

// The objects of the window and of the windows embedded in it, each held.
std::vector<RuntimeObject*> WindowTreeObjects(RuntimeObject* window) {
  std::vector<RuntimeObject*> objects;
  for (RuntimeObject* member : CollectWindowTree(window)) {
    WindowObject* fields = WindowFieldsOf(member);
    if (!fields || !fields->controls) continue;
    std::vector<RuntimeObject*> entries = LockedEntries(fields->controls);
    objects.insert(objects.end(), entries.begin(), entries.end());
  }
  return objects;
}

}  // namespace

void SetWindowObjectCloser(WindowObjectCloser closer) { sObjectCloser = closer; }

void RuntimeViewWindow::Close() {
  if (mClosing) return;
  mClosing = true;
  // A closing window is no longer one of the program's, even while its Close events run.
  LeaveViewList();
  Lock();
  RuntimeObject* window = mWindow;
  if (window) {
    RuntimeLockObject(window);
    std::vector<RuntimeObject*> controls = CollectWindowControls(window);
    for (RuntimeObject* control : controls) RuntimeLockObject(control);
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
      SubPane* pane = ControlPane(AsControl(*it));
      if (pane && GetFocusPane() == pane) ClearFocusPane();
      FireEvent(*it, GetControlEventHook(kControlEventClose));
    }
    UnlockAll(controls);
    FireEvent(window, WindowEventHook(kEventClose));
    // Sockets the window made end with it rather than living on unreachable.
    if (sObjectCloser) {
      std::vector<RuntimeObject*> objects = WindowTreeObjects(window);
      for (RuntimeObject* object : objects) sObjectCloser(object);
      UnlockAll(objects);
    }
    RuntimeUnlockObject(window);
  }
  if (Release()) return;
  if (window && mWindow == window) {
    WindowObject* fields = AsWindowFields(window);
    ForgetImplicitWindow(window);
    // Controls referenced elsewhere stay in the map, with the map's reference, so the window
    // can give them panes again when it is shown again; the others go.
    if (fields->controls) {
      StringMapIterator<RuntimeObject*>* it = fields->controls->NewIterator();
      RuntimeObject* entry = nullptr;
      std::vector<RuntimeObject*> dropped;
      while (it->Next(&entry)) {
        if (IsControl(entry) && entry->refCount > 1) continue;
        it->RemoveCurrent();
        dropped.push_back(entry);
      }
      delete it;
      UnlockAll(dropped);
    }
    delete fields->menuHandlers;
    fields->menuHandlers = nullptr;
    DetachWindowMenuBar(window);
    // The cached Graphics object draws into this window: it gives its port back and goes.
    if (RuntimeObject* graphics = fields->graphics) {
      fields->graphics = nullptr;
      DisposeGraphics(DetachGraphicsObjectPort(graphics));
      RuntimeUnlockObject(graphics);
    }
    if (fields->view == this) fields->view = nullptr;
    mWindow = nullptr;
    // The object, with its menu bar and controls map, lasts as long as this native window:
    // an event of one of them may still be on its way out.
    KeepUntilDestroyed(window);
  }
  // The base close runs its own closing steps.
  mClosing = false;
  Window::Close();
}

// --- window operations ---------------------------------------------------------------------

void WindowCreatePane(RuntimeObject* window) {
  if (!IsWindowObject(window)) return;
  WindowObject* fields = AsWindowFields(window);
  // A container shows inside another window and never gets a window of its own.
  if (fields->view || IsContainerControl(window)) return;
  if (RefuseWithoutDisplay()) return;
  RuntimeLockObject(window);
  fields->windowKeys = 1;
  FrameInfo frame = FrameInfoFor(fields->frame);
  int32_t placement = fields->placement != 0 ? fields->placement : frame.placement;
  PositionNewWindow(&fields->bounds, placement, frame.kind);
  fields->creationBounds = fields->bounds;
  fields->restoreBounds = fields->bounds;
  auto* view = new RuntimeViewWindow(window, frame.kind);
  view->SetUp();
  RuntimeUnlockObject(window);
}

void FireWindowOpenEvents(RuntimeObject* window) {
  if (!IsWindowObject(window)) return;
  RuntimeLockObject(window);
  std::vector<RuntimeObject*> entries = LockedEntries(AsWindowFields(window)->controls);
  for (RuntimeObject* entry : entries) {
    if (IsContainerControl(entry) && AsWindowFields(entry)->containingWindow == window) {
      FireWindowOpenEvents(entry);
      PlaceEmbeddedControlPane(entry);
    } else if (IsControl(entry)) {
      FireEvent(entry, GetControlEventHook(kControlEventOpen));
    }
  }
  UnlockAll(entries);
  FireEvent(window, WindowEventHook(kEventOpen));
  RuntimeUnlockObject(window);
}

bool FireCancelClose(RuntimeObject* window, bool appQuitting) {
  if (!window) {
    ReportPaneAssertion(kWindowSource, __LINE__, "form");
    return false;
  }
  return FireEvent<uint8_t>(window, WindowEventHook(kEventCancelClose), static_cast<uint8_t>(appQuitting)) != 0;
}

namespace {

void AppendWindowTree(RuntimeObject* window, std::vector<RuntimeObject*>* tree, int32_t depth) {
  if (!IsWindowObject(window) || depth > kMaxControlNesting) return;
  tree->push_back(window);
  StringMap<RuntimeObject*>* map = AsWindowFields(window)->controls;
  if (!map) return;
  std::vector<RuntimeObject*> inner;
  StringMapIterator<RuntimeObject*>* it = map->NewIterator();
  RuntimeObject* entry = nullptr;
  while (it->Next(&entry)) {
    if (!IsEmbeddedWindowControl(entry)) continue;
    RuntimeObject* templ = TemplateWindowOf(entry);
    if (templ && templ != window) inner.push_back(templ);
  }
  delete it;
  for (RuntimeObject* templ : inner) AppendWindowTree(templ, tree, depth + 1);
}

// Windows whose CancelClose runs now. A Close made from inside one closes that window without
// asking it again: the handler has given its answer by closing, and asking again would only
// run the same handler once more, without end.
std::vector<RuntimeObject*> sAskingCancelClose;

bool AskingCancelClose(RuntimeObject* window) { return std::ranges::count(sAskingCancelClose, window) != 0; }

// The native window a window's events run in: its own, or that of the window it sits in.
RuntimeViewWindow* HostViewOf(RuntimeObject* window) {
  for (int32_t depth = 0; window && depth <= kMaxControlNesting; ++depth) {
    if (RuntimeViewWindow* view = ViewOf(window)) return view;
    window = ContainingWindowOf(window);
  }
  return nullptr;
}

}  // namespace

std::vector<RuntimeObject*> CollectWindowTree(RuntimeObject* window) {
  std::vector<RuntimeObject*> tree;
  AppendWindowTree(window, &tree, 0);
  return tree;
}

std::vector<RuntimeObject*> CollectWindowControls(RuntimeObject* window) {
  std::vector<RuntimeObject*> tree = CollectWindowTree(window);
  std::vector<RuntimeObject*> controls;
  for (auto w = tree.rbegin(); w != tree.rend(); ++w) {
    StringMap<RuntimeObject*>* map = AsWindowFields(*w)->controls;
    if (!map) continue;
    StringMapIterator<RuntimeObject*>* it = map->NewIterator();
    RuntimeObject* entry = nullptr;
    while (it->Next(&entry)) {
      if (IsControl(entry)) controls.push_back(entry);
    }
    delete it;
  }
  return controls;
}

bool RuntimeWindowDoClose(RuntimeObject* window, bool appQuitting) {
  if (!IsWindowObject(window)) return false;
  RuntimeViewWindow* view = ViewOf(window);
  RuntimeObject* embedding = AsWindowFields(window)->embeddedWindowControl;
  SubPane* pane = view ? view : ControlPane(AsControl(embedding));
  if (!pane) return false;
  RuntimeLockObject(window);
  RuntimeLockObject(embedding);
  pane->Lock();
  // Embedded windows are asked too, innermost first: each lives in its host's native window.
  bool cancelled = false;
  std::vector<RuntimeObject*> tree = AskingCancelClose(window) ? std::vector<RuntimeObject*>() : CollectWindowTree(window);
  for (auto it = tree.rbegin(); it != tree.rend() && !cancelled && !pane->IsClosing(); ++it) {
    RuntimeViewWindow* host = HostViewOf(*it);
    if (!host || host->IsClosing() || AskingCancelClose(*it)) continue;
    sAskingCancelClose.push_back(*it);
    cancelled = FireCancelClose(*it, appQuitting);
    sAskingCancelClose.pop_back();
  }
  // A handler that closed the window itself answered for it, whatever it returned; a window
  // it closed and showed again has a new native window that must stay.
  const bool closed = pane->IsClosing();
  if (cancelled && !closed) {
    pane->Release();
    RuntimeUnlockObject(embedding);
    RuntimeUnlockObject(window);
    return true;
  }
  if (!pane->Release() && !closed) {
    if (view) {
      view->Close();
    } else {
      ControlClose(embedding);
    }
  }
  RuntimeUnlockObject(embedding);
  if (view) ApplyMenuBarVisibility(RuntimeViewWindow::FirstView());
  WindowObject* fields = AsWindowFields(window);
  if (fields->view == view) fields->view = nullptr;
  if (fields->embeddedWindowControl == embedding) fields->embeddedWindowControl = nullptr;
  RuntimeUnlockObject(window);
  return false;
}

void ApplyMenuBarVisibility(RuntimeViewWindow* active) {
  RuntimeObject* window = active ? active->WindowObjectRef() : nullptr;
  if (!window || AsWindowFields(window)->menuBarVisible) {
    ShowMenuBar();
  } else {
    HideMenuBar();
  }
}

void CloseAllWindows() {
  while (RuntimeViewWindow* head = RuntimeViewWindow::FirstView()) {
    head->Close();
    // Every close takes its window out of the list; this guards against one that did not.
    if (RuntimeViewWindow::FirstView() == head) break;
  }
}

bool AnyViewWindowOpen() {
  for (RuntimeViewWindow* view = RuntimeViewWindow::FirstView(); view; view = view->NextView()) {
    if (!view->IsClosing()) return true;
  }
  return false;
}

}  // namespace vorn

using namespace vorn;

void RuntimeCreateWindow(VornRuntimeObject* window) {
  if (IsContainerControl(window)) {
    CreateContainerTemplate(window);
    return;
  }
  WindowObject* fields = AsWindowFields(window);
  fields->widthRemembered = 0;
  fields->heightRemembered = 0;
  // The design's default: a window whose Layout says nothing keeps its menu bar when active.
  fields->menuBarVisible = 1;
  ClaimImplicitWindow(window);
  FireEvent(window, WindowEventHook(kEventLayout));
  fields->controls = new StringMap<RuntimeObject*>(256);
  fields->menuHandlers = new StringMap<void*>(256);
  WindowCreatePane(window);
}

// A container's Open comes with its embedding.
void WindowDefaultConstructor(VornRuntimeObject* window) {
  if (!IsContainerControl(window)) FireWindowOpenEvents(window);
}

void RuntimeViewDestructor(VornRuntimeObject* window) {
  WindowObject* fields = AsWindowFields(window);
  RuntimeObject* reserved = fields->reservedObject;
  fields->reservedObject = nullptr;
  RuntimeUnlockObject(reserved);
  if (StringMap<RuntimeObject*>* controls = fields->controls) {
    fields->controls = nullptr;
    StringMapIterator<RuntimeObject*>* it = controls->NewIterator();
    RuntimeObject* entry = nullptr;
    std::vector<RuntimeObject*> held;
    while (it->Next(&entry)) {
      if (IsControl(entry) && AsControl(entry)->window == window) AsControl(entry)->window = nullptr;
      // A template outliving this window must not point back at it.
      RuntimeObject* templ = IsEmbeddedWindowControl(entry) ? TemplateWindowOf(entry) : nullptr;
      if (IsWindowObject(templ) && AsWindowFields(templ)->containingWindow == window) {
        AsWindowFields(templ)->containingWindow = nullptr;
      }
      held.push_back(entry);
    }
    delete it;
    delete controls;
    UnlockAll(held);
  }
  delete fields->menuHandlers;
  fields->menuHandlers = nullptr;
  RuntimeUnlockString(fields->title);
  RuntimeUnlockString(fields->balloonHelp);
  RuntimeUnlockString(fields->floaterProcess);
  RuntimeUnlockString(fields->embeddingName);
  fields->title = fields->balloonHelp = fields->floaterProcess = fields->embeddingName = nullptr;
  // The menu-bar field holds a reference whether or not the bar is the window's own clone.
  RuntimeObject* objects[] = {fields->graphics, fields->backdrop, fields->mouseCursor, fields->menuBar};
  fields->graphics = fields->backdrop = fields->mouseCursor = fields->menuBar = nullptr;
  for (RuntimeObject* object : objects) RuntimeUnlockObject(object);
}
