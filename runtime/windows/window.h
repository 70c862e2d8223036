// The native top-level window: a GtkWindow holding a GtkVBox with an optional menu bar above
// one GtkFixed, the content every control widget of the window is placed in. GTK input for
// the window arrives here and is turned into pane operations, which the runtime window class
// overrides to fire its events.
#pragma once

#include <cstdint>
#include <vector>

#include "windows/container_pane.h"

struct _GdkEventButton;
struct _GtkWindow;

namespace vorn {

// What other layers of the runtime do for windows; each hook is optional, and a missing one
// leaves its step out.
struct WindowLayerHooks {
  // Menu enabling pass for a window whose menu bar is shown.
  void (*enableMenuItems)(Window* window) = nullptr;
  // Shortcut dispatch of the menu layer for a key typed in the window; may ask for the key to
  // count as handled afterwards through `countAsHandled`.
  bool (*dispatchMenuShortcut)(Window* window, const string& key, int32_t modifiers,
                               bool* countAsHandled) = nullptr;
  // One run-loop iteration and the quit flag, for modal waits.
  void (*runLoopOnce)(bool mayBlock) = nullptr;
  bool (*quitRequested)() = nullptr;
};
void SetWindowLayerHooks(const WindowLayerHooks& hooks);
const WindowLayerHooks& GetWindowLayerHooks();

// Window-definition code that asks for a window without frame.
constexpr int32_t kPlainBoxDefinition = 1040;

using MenuHandler = void*;

class Window : public ContainerPane {
 public:
  // `screenBounds` is the content rectangle in screen coordinates.
  Window(const string& title, const Rect& screenBounds, int32_t kind, uint32_t ownerWord,
         bool resizable, int32_t definitionCode = 0);
  ~Window() override;

  bool BecomeCurrent() override;
  bool ResignCurrent() override;
  void Draw(Graphics* port) override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void Activate() override;
  void Deactivate() override;
  bool IsWindow() override;
  bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) override;
  bool KeyDownInParent(int32_t character, int32_t keyCode, int32_t modifiers) override;
  void HandleExpose() override;
  void Close() override;
  bool ContextualClick(int32_t x, int32_t y, int32_t modifiers) override;
  bool MouseWheel(int32_t x, int32_t y, int32_t delta) override;

  virtual bool ContextualMenuAt(int32_t x, int32_t y);
  virtual void Paint(Graphics* port);
  virtual bool IsFrontmost();
  virtual bool IsModal();
  virtual void MoveWindow(int32_t left, int32_t top, bool report);
  virtual void SetWindowBounds(int32_t width, int32_t height, bool report);
  virtual void PointerEntered();
  virtual void PointerLeft();
  virtual void WindowMoved();
  virtual void MovePaneAfter(SubPane* pane, SubPane* after);
  virtual void WindowResized();
  // One step of a resize the user drags: marks the window as resizing; once the drag has
  // settled, reports WindowResized. `screenBounds` is the content rectangle of this step.
  virtual void CheckResized(const Rect& screenBounds);
  // {min height, min width, max height, max width} as top, left, bottom, right; all 0 = none.
  virtual void GetSizeLimits(Rect* limits);
  // True keeps the window open.
  virtual bool CloseBoxClicked();
  virtual void MarkMinimized();
  virtual void MarkMaximized();
  virtual void ClearWindowState();
  // The pane that has (or is to get) the keyboard focus in this window.
  virtual SubPane* GetFocusPane();
  virtual SubPane* PreviousFocusPane(SubPane* pane);
  virtual SubPane* NextFocusPane(SubPane* pane);

  void Show();
  void Hide();
  bool IsShown() const { return mShown; }
  // The content rectangle in screen coordinates.
  void GetScreenBounds(Rect* out);
  void SetTitle(const string& title);
  const string& Title() const { return mTitle; }
  void SetBackColor(uint32_t rgb);
  void ClearBackColor();
  bool HasBackColor() const { return mHasBackColor; }
  uint32_t BackColor() const { return mBackColor; }
  void Maximize();
  void Minimize();
  void Restore();
  void AddMenuHandler(const string& itemName, MenuHandler handler);
  bool LookupMenuHandler(const string& itemName, MenuHandler* handler) const;
  bool ShowWithin(Window* parent, int32_t modeWord);
  // Whether the controls follow each step of a resize the user drags, or only its end.
  void SetLiveResize(bool on) { mLiveResize = on; }
  bool LiveResize() const { return mLiveResize; }
  bool IsResizing() const { return mResizing; }
  bool ResizeSettled() const { return mResizeSettled; }
  void RunModalWhileShown();
  // Packs a GtkMenuBar above the content; the window then counts its height off the top.
  void SetMenuBar(NativeWidget menuBar);
  // Takes the menu bar out of the box again; the window no longer counts its height.
  void RemoveMenuBar();

  int32_t Kind() const { return mKind; }
  bool IsMaximized() const { return mMaximized; }
  bool IsMinimized() const { return mMinimized; }
  bool HasMenuBar() const { return mHasMenuBar; }
  bool MenuBarShown() const { return mMenuBarShown; }
  bool IsResizable() const { return mResizable; }
  uint32_t OwnerWord() const { return mOwnerWord; }
  Window* ParentWindow() const { return mParentWindow; }
  SubPane* FocusPaneField() const { return mFocusPane; }
  void SetFocusPaneField(SubPane* pane) { mFocusPane = pane; }
  SubPane* NativeClickPane() const { return mNativeClickPane; }
  bool MovedPending() const { return mMovedPending; }
  bool ResizedPending() const { return mResizedPending; }
  NativeWidget GtkWindowWidget() const { return mGtkWindow; }
  NativeWidget VBoxWidget() const { return mVBox; }
  NativeWidget MenuBarWidget() const;
  Window* NextInList() const { return mNextWindow; }

  // Every pane created in this window, in creation order.
  const std::vector<SubPane*>& Panes() const { return mPanes; }
  void AppendPane(SubPane* pane) { mPanes.push_back(pane); }
  // Index the pane had, or -1.
  int32_t RemovePane(SubPane* pane);
  void InsertPane(SubPane* pane, int32_t index);

  // Shows windows marked shown that are not yet visible and reports moves and resizes since
  // the last call. The run loop calls it at the start of every iteration.
  static void ShowPendingWindows();
  // Newest first.
  static Window* FirstWindow();
  static bool IsInWindowList(const Window* window);

  // Signal entry points (called from the GTK handlers).
  bool HandleKeyPress(uint32_t keyval, uint32_t state);
  bool HandleTabKey(int32_t modifiers);
  void HandleShowSignal();
  void HandleConfigure();
  // The window may have moved on the screen (configured, mapped): the next bounds query asks
  // the server for its origin again.
  void ForgetOrigin() { mOriginKnown = false; }
  void HandleFocusIn();
  void HandleFocusOut();
  void HandleScroll(int32_t direction);
  void HandleWindowState(uint32_t newState);
  void HandleMotion();
  void HandleButtonRelease(const _GdkEventButton& release);
  void HandleCrossing(bool entered, int32_t detail);

 private:
  void ConnectSignals();
  // Out of the window list and the window order, its resize watch stopped: at close.
  void LeaveWindowLists();
  void CheckMovedOrResized();
  void ApplySizeHints(int32_t width, int32_t height);
  // A size change the program did not ask for made while a pointer button is held: the user
  // drags the frame, whose window manager keeps the pointer.
  bool IsDraggedResize() const;
  // Looks at the pointer until the drag ends, then settles the resize.
  void WatchForResizeEnd();
  void StopResizeWatch();
  static int OnResizeWatch(void* data);

  // A dragged resize is under way; it has ended and waits to be reported; live resizing.
  bool mResizing = false;
  bool mResizeSettled = false;
  bool mLiveResize = false;
  // Set while a resize report runs: a nested run-loop turn leaves new changes for later.
  bool mReportingResize = false;
  unsigned mResizeWatch = 0;
  // The program asked for a size GTK has not yet given the window.
  bool mSizeRequested = false;
  bool mMaximized = false;
  bool mMinimized = false;
  uint32_t mOwnerWord = 0;
  Window* mNextWindow = nullptr;
  Window* mParentWindow = nullptr;
  int32_t mKind = 0;
  bool mShown = false;
  bool mResizable = false;
  bool mResizedPending = false;
  bool mMovedPending = false;
  // The origin the server last gave; asking it costs a round trip, and the run loop checks
  // the bounds at every turn, so it is asked again only after a configure or map event.
  bool mOriginKnown = false;
  int32_t mOriginX = 0;
  int32_t mOriginY = 0;
  bool mHasBackColor = false;
  uint32_t mBackColor = 0xFFFFFF;
  int32_t mShowModeWord = 2;
  SubPane* mFocusPane = nullptr;
  struct MenuHandlerRecord {
    MenuHandler handler;
    string name;
  };
  std::vector<MenuHandlerRecord> mMenuHandlers;
  string mTitle;
  std::vector<SubPane*> mPanes;
  SubPane* mNativeClickPane = nullptr;
  bool mMenuBarShown = false;
  bool mHasMenuBar = false;
  NativeWidget mGtkWindow = nullptr;
  NativeWidget mVBox = nullptr;
  Rect mScreenBounds;
};

// Calls back for each window of the window order (front first) still open; stops and answers
// false at the first false.
using WindowCallback = bool (*)(Window* window, intptr_t value);
bool ForEachWindow(WindowCallback callback, intptr_t value);

// Search layer of a window kind (0 to 2).
int32_t WindowKindLayer(int32_t kind);
bool WindowKindIsGtkModal(int32_t kind);
bool WindowKindIsUndecorated(int32_t kind);
bool WindowKindIsModal(int32_t kind);
// Kinds 11 and 12 are stored as 8 and 1.
int32_t StoredWindowKind(int32_t kind);

// The keyboard modifiers of the last key or button event.
int32_t GetLastEventModifiers();
void SetLastEventModifiers(int32_t modifiers);

// Turns tab navigation between panes off while set.
extern bool gTabNavigationDisabled;

}  // namespace vorn
