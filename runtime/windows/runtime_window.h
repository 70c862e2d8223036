// The language's window objects and the native windows behind them: the object's fields, the
// native window classes RuntimeWindow and RuntimeViewWindow, the set-up order of a new window,
// closing, and the operations other layers call on windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "strings/rect.h"
#include "strings/string_map.h"
#include "windows/control.h"
#include "windows/window.h"

namespace vorn {

class RuntimeViewWindow;

// The fields of every Window object, compiled subclasses' own fields following them.
struct WindowObject {
  RuntimeObject header;
  uint8_t visible;
  uint8_t closeButton;
  uint8_t resizeable;
  uint8_t maximizeButton;
  uint8_t minimizeButton;
  uint8_t composite;
  uint8_t liveResize;
  RuntimeViewWindow* view;  // nil before creation and after closing
  RuntimeObject* graphics;  // the cached Graphics object
  Rect bounds;              // content area in screen coordinates
  Rect creationBounds;
  Rect restoreBounds;  // before full screen
  StringRep* title;
  RuntimeObject* backdrop;
  int32_t reserved;
  int32_t frame;
  int32_t placement;
  uint32_t backColor;
  int16_t minWidth;
  int16_t minHeight;
  int16_t maxWidth;
  int16_t maxHeight;
  RuntimeObject* mouseCursor;
  StringRep* balloonHelp;
  uint8_t hasBackColor;
  uint8_t menuBarVisible;
  uint8_t fullScreen;
  uint8_t fullScreenRequest;
  StringRep* floaterProcess;
  int32_t macProcId;
  StringMap<RuntimeObject*>* controls;  // holds one reference to each value
  uint8_t ownsMenuBar;
  RuntimeObject* menuBar;
  RuntimeObject* reservedObject;
  uint8_t controlsCreated;
  StringMap<void*>* menuHandlers;
  int32_t rememberedWidth;
  int32_t rememberedHeight;
  uint8_t widthRemembered;
  uint8_t heightRemembered;
  RuntimeObject* embeddedWindowControl;
  RuntimeObject* containingWindow;
  uint8_t windowKeys;
  StringRep* embeddingName;
};

inline WindowObject* AsWindowFields(RuntimeObject* object) {
  return reinterpret_cast<WindowObject*>(object);
}

// Event numbers of the Window class, in declaration order.
enum WindowEvent : int32_t {
  kEventLayout,
  kEventCreateControls,
  kEventAddMenuHandlers,
  kEventSetupBindings,
  kEventOpen,
  kEventClose,
  kEventCancelClose,
  kEventKeyDown,
  kEventMouseMove,
  kEventMouseEnter,
  kEventMouseExit,
  kEventPaint,
  kEventMouseDown,
  kEventMouseDrag,
  kEventMouseUp,
  kEventEnableMenuItems,
  kEventResized,
  kEventResizing,
  kEventMoved,
  kEventDropObject,
  kEventActivate,
  kEventDeactivate,
  kEventMinimize,
  kEventMaximize,
  kEventRestore,
  kEventMouseWheel,
  kEventConstructContextualMenu,
  kEventContextualMenuAction,
  kWindowEventCount
};

// The Window class (window_class.cpp).
ObjectDefinition* GetWindowClassDefinition();
const ObjectHook* WindowEventHook(WindowEvent event);
bool IsWindowObject(RuntimeObject* object);
// The window fields of a window object; nil for anything else.
inline WindowObject* WindowFieldsOf(RuntimeObject* object) {
  return IsWindowObject(object) ? AsWindowFields(object) : nullptr;
}

// What a frame code asks for: the native window kind and the placement used when the object
// sets none. Codes outside the table are taken as a document window.
struct FrameInfo {
  int32_t kind;
  int32_t placement;
};
FrameInfo FrameInfoFor(int32_t frame);

// The native window of a runtime window object. It adds nothing to the Window pane but the
// settings the object hands it.
class RuntimeWindow : public Window {
 public:
  RuntimeWindow(const string& title, const Rect& bounds, int32_t kind, bool closeButton, bool resizeable,
                bool maximizeButton, int32_t macProcId, bool composite, bool liveResize, bool minimizeButton);
  ~RuntimeWindow() override;
};

class RuntimeViewWindow : public RuntimeWindow {
 public:
  RuntimeViewWindow(RuntimeObject* window, int32_t kind);
  ~RuntimeViewWindow() override;

  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool ContextualClick(int32_t x, int32_t y, int32_t modifiers) override;
  // The contextual menu of the control (or embedded window, or this window) under the point.
  bool HandleContextualMenu(int32_t x, int32_t y);
  // From the keyboard: the menu of the focused control of this window, shown at (x, y).
  bool ContextualMenuAt(int32_t x, int32_t y) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseMove(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  void Activate() override;
  void Deactivate() override;
  void DropObject(DragItem* item, int32_t x, int32_t y) override;
  bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) override;
  bool TypeChar(int32_t character, int32_t keyCode, int32_t modifiers) override;
  void Close() override;
  bool MouseWheel(int32_t x, int32_t y, int32_t delta) override;
  void Paint(Graphics* port) override;
  void PointerEntered() override;
  void PointerLeft() override;
  void WindowMoved() override;
  void WindowResized() override;
  void CheckResized(const Rect& screenBounds) override;
  void GetSizeLimits(Rect* limits) override;
  bool CloseBoxClicked() override;
  void MarkMinimized() override;
  void MarkMaximized() override;
  void ClearWindowState() override;

  RuntimeObject* WindowObjectRef() const { return mWindow; }
  RuntimeViewWindow* NextView() const { return mNextView; }
  // Newest first.
  static RuntimeViewWindow* FirstView();

  // Builds the window's content: CreateControls once, AddMenuHandlers, the control panes,
  // SetupBindings. Runs right after construction.
  void SetUp();

 private:
  void TrackControls(int32_t x, int32_t y);
  void ExitAllControls();
  void LeaveViewList();

  RuntimeObject* mWindow = nullptr;  // locked; nil after close
  RuntimeViewWindow* mNextView = nullptr;
  void* mMinimizeHandler = nullptr;
  void* mMaximizeHandler = nullptr;
  void* mRestoreHandler = nullptr;
};

// --- operations on window objects ---------------------------------------------------------

// Closes one object a window made (a socket, a server socket); the network layer installs it,
// and a closing window hands it every object of its window tree.
using WindowObjectCloser = void (*)(RuntimeObject* object);
void SetWindowObjectCloser(WindowObjectCloser closer);

// Creates the native window from the object's settings (also called lazily by the show methods).
void WindowCreatePane(RuntimeObject* window);
// Open on the controls in insertion order, then on the window.
void FireWindowOpenEvents(RuntimeObject* window);
// True when the window's CancelClose handler returned true.
bool FireCancelClose(RuntimeObject* window, bool appQuitting);
// Closes the window unless a CancelClose handler of it or of a window embedded in it says no;
// true when cancelled.
bool RuntimeWindowDoClose(RuntimeObject* window, bool appQuitting);
// Closes every view window, newest first; used at quit, on fatal signals and after an
// unhandled exception.
void CloseAllWindows();
bool AnyViewWindowOpen();
// Shows the menu bar when the window's MenuBarVisible is on (or there is no window), else
// hides it: on activation, and after a close for the window in front.
void ApplyMenuBarVisibility(RuntimeViewWindow* active);
Window* GetWindowPaneOf(RuntimeObject* window);
// The window itself, then recursively the windows embedded in it.
std::vector<RuntimeObject*> CollectWindowTree(RuntimeObject* window);
// Every Control of the window tree, the innermost window's first.
std::vector<RuntimeObject*> CollectWindowControls(RuntimeObject* window);
// Every entry of a controls map, each locked for the caller, so that handlers run meanwhile
// cannot free them; UnlockAll gives them back.
std::vector<RuntimeObject*> LockedEntries(StringMap<RuntimeObject*>* map);
void UnlockAll(const std::vector<RuntimeObject*>& objects);

// The implicit-window registry (runtime_window_registry.cpp).
void ForgetImplicitWindow(RuntimeObject* window);
// Called by the class initializer: the window becomes its class's implicit instance when the
// compiled code asked for that class and none exists yet.
void ClaimImplicitWindow(RuntimeObject* window);

// Registers the window operations the control code asks for (its controls map, bounds,
// native window, full-screen state, moves and the controls of a window tree).
void InstallControlWindowHooks();

}  // namespace vorn
