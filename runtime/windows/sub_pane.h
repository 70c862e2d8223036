// The pane of every control and window on GTK: the pane tree, visibility, enabling, focus, the
// holds that keep a closed pane in its tree until they are released (its memory lasts longer:
// pane_disposal.h), drop types, tooltips, a cursor and one widget. Every control widget sits directly in its window's GtkFixed; which control contains
// which is kept here, in the pane tree, not in the widget tree.
// So the toolkit draws a control in full wherever its bounds lie, inside its container's bounds or
// outside them (a new Parent never moves a control), and input follows the drawing: a pane hears
// clicks, the wheel and drops in its own bounds, never clipped to a container's. Clipping the drawing
// instead would take a widget tree per container. Containers have their say through their enabling
// and showing alone, and only those of the tree a pane belongs to, not of the boxes it lies over.
#pragma once

#include <cstdint>
#include <vector>

#include "objects/runtime_class.h"
#include "windows/pane.h"
#include "windows/pane_disposal.h"

struct _GtkTooltips;

namespace vorn {

class Window;
class SubPane;

// State codes of ChangeState.
enum PaneStateCode : int32_t {
  kPaneStateEnable = 5,
  kPaneStateDisable = 6,
  kPaneStateShow = 7,
  kPaneStateHide = 8,
};

// Modifier bits of pane and window events.
enum PaneModifier : int32_t {
  kModifierCommand = 0x0100,
  kModifierShift = 0x0200,
  kModifierOption = 0x0800,
  kModifierControl = 0x1000,
};

// Lock flags a control object keeps for following its parent's size changes.
enum ControlLockFlag : uint8_t {
  kLockLeft = 1,
  kLockTop = 2,
  kLockRight = 4,
  kLockBottom = 8,
};

// The language-level control object behind a pane, as far as the pane needs it.
class ControlObjectLink {
 public:
  virtual ~ControlObjectLink() = default;
  virtual void StoreBounds(const Rect& bounds) = 0;
  virtual Rect StoredBounds() const = 0;
  virtual uint8_t LockFlags() const = 0;
  // The control's own Enabled and Visible, whatever the panes it lies in are.
  virtual bool OwnEnabled() const { return true; }
  virtual bool OwnVisible() const { return true; }
};

using SubPaneCallback = bool (*)(SubPane* pane, intptr_t value);

class SubPane : public Pane, public MadeInOrder {
 public:
  // With a parent, the pane joins the pane tree (a control created over a group box becomes
  // the group box's child) and, when the parent is the window, the window's pane list.
  SubPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, bool finish = true);
  ~SubPane() override;

  bool BecomeCurrent() override;
  bool ResignCurrent() override;
  void Draw(Graphics* port) override;
  void Redraw() override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  bool ContextualClick(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseMove(int32_t x, int32_t y) override;
  void Validate() override;
  void ValidateRect(const Rect& r) override;
  NativeGC NewGC() override;
  void DisposeGC() override;
  NativeDrawable GetGdkDrawable() override;

  // Holds the pane around an event; false (and nothing held) when it or its window is closing.
  virtual bool LockHierarchy();
  // Lets go; true when the pane or its window closed meanwhile: the caller must not go on.
  virtual bool UnlockHierarchy();
  virtual void FinishCreate();
  virtual SubPane* GetOwner();
  virtual SubPane* GetEventTarget();
  virtual SubPane* GetParent();
  virtual bool ContainsSubPane(SubPane* pane, bool recursive);
  virtual bool Encloses(SubPane* other, bool checkVisible, bool checkTabIndex);
  virtual void Activate();
  virtual void Deactivate();
  virtual void DropObject(DragItem* item, int32_t x, int32_t y);
  virtual DragItem* GetCurrentDragItem();
  virtual bool IsWindow();
  virtual void BroadcastToSubPanes(intptr_t value);
  virtual void LostFocus();
  virtual void GotFocus();
  virtual bool CanFocus();
  virtual void SetBounds(const Rect& r, bool redraw);
  virtual bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers);
  virtual bool KeyDownInParent(int32_t character, int32_t keyCode, int32_t modifiers);
  virtual bool TypeChar(int32_t character, int32_t keyCode, int32_t modifiers);
  // Called right before tab navigation gives this pane the focus.
  virtual void WillTakeTabFocus();
  virtual int32_t ChangeState(int32_t code);
  virtual void Idle();
  virtual void BoundsDidChange();
  virtual void HandleExpose();
  virtual bool AdjustCursor(int32_t x, int32_t y);
  virtual void Invalidate(bool flag = true);
  virtual void EnableMenuItems();
  virtual bool MenuCommandEnabled(int32_t command);
  virtual bool DoMenuCommand(int32_t command);
  virtual void Close();
  virtual void SetEnabled(bool enabled, bool redraw);
  virtual void SetVisible(bool visible);
  virtual void SetShownByContainer(bool shown);
  virtual void ShowWidget(bool show);
  virtual void SetBalloonHelp(const string& text);
  virtual void SetDisabledBalloonHelp(const string& text);
  virtual SubPane* FindDefaultButton();
  virtual SubPane* FindCancelButton();
  virtual void Press();
  virtual bool ForEachSubPane(SubPaneCallback callback, intptr_t value);
  virtual void AcceptDrop(const string& type);
  virtual void AcceptFileDrop(const string& type);
  virtual bool GetFocusRingRect(Rect* r);
  virtual void GetBounds(Rect* out);
  virtual bool GetFrameBounds(Rect* out);
  virtual void DrawInto(Graphics* port);
  virtual void DrawIntoAt(Graphics* port, int32_t x, int32_t y);
  virtual SubPane* Lock();
  // True when the last hold went after a close: the pane is gone for its callers, who must not
  // touch it again, though its memory lasts until no event is running (pane_disposal.h).
  virtual bool Release();
  virtual void SetHelpTag(const string& text);
  virtual bool AddSubPane(SubPane* pane);
  virtual void RemoveSubPane(SubPane* pane);
  virtual void UpdateParent(bool checkVisible, bool checkTabIndex);
  virtual void SetTabPanelIndex(int32_t index);
  virtual bool ContainsFocusable(SubPane* excluded);
  virtual void Detach();
  virtual bool TrackDragOver(int32_t x, int32_t y, DragItem* item);
  virtual bool WaitForDrag();
  virtual SubPane* AsPagePanel();
  virtual SubPane* AsTabPanel();
  // Page and tab panels answer the page they show; -1 for every other pane.
  virtual int32_t CurrentPanelPage();
  virtual bool IsInTabPanel();
  virtual SubPane* FindDropTarget(int32_t x, int32_t y, DragItem* item);
  virtual void MoveTo(const Rect& r, bool redraw);
  virtual void SetParent(SubPane* parent);
  virtual bool MouseWheel(int32_t x, int32_t y, int32_t delta);
  virtual void PaintInto(Graphics* port, bool draw);
  virtual NativeWidget GetHandle();
  // The language's Integer handle of the pane: a number given at the first request and kept
  // for the pane's life, never reused within the run. Bit 30 is set, so it never equals an X
  // window id (those leave the top three bits clear), the handle a window answers.
  int32_t HandleNumber();
  virtual bool PassesClickThrough();
  virtual void ScrollRect(const Rect& r, int32_t dx, int32_t dy);

  // The window at the top of the pane tree, or nil.
  Window* GetWindow();
  void SetRunControl(ControlObjectLink* control);
  ControlObjectLink* GetRunControl() const { return mRunControl; }
  // The control object let go of this pane (closed or gone): the pane must not reach it again.
  void DetachRunControl() { mRunControl = nullptr; }
  // Holds the object's reference (taken over from the caller) until the pane is freed, so that
  // what the pane points into (the object's router, its delegate) outlives it.
  void KeepUntilDestroyed(RuntimeObject* object);
  void SetFocus();
  // Nil: no cursor of the pane's own.
  void SetCursor(const MouseCursor* cursor);
  MouseCursor* GetCursor() const { return mCursor; }
  void InvalidateRect(const Rect& r);
  // Moves the pixels shown in `r` by `dy` within it, pending redraws included, and has the move
  // on the screen before anything else is drawn; false when the pane shows nothing that can be
  // moved, and the caller redraws instead.
  bool MoveShownPixels(const Rect& r, int32_t dy);
  void InvalidateArea(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void Refresh();
  void UpdateNow();
  // Mouse position in the pane's window, below any menu bar.
  void GetMouseLocation(int32_t* h, int32_t* v);
  bool AcceptsDropType(const string& type) const;
  bool AcceptsAnyDrop() const { return !mDropTypes.empty() || !mFileTypes.empty(); }
  void PrepareMouseDrag(int32_t h, int32_t v);

  // Shown: visible itself and not hidden by an enclosing page or container.
  bool IsDisplayed() const { return mVisible && mShownByContainer; }
  bool IsVisible() const { return mVisible; }
  bool IsEnabled() const { return mEnabled; }
  // Enabled, and so is every pane it lies in: only such a pane hears keys, clicks and the wheel.
  bool HearsInput();
  // The pane's own wish (its control's Enabled and Visible): enabling or showing the pane it lies
  // in enables or shows it only when it wishes so. A pane of no control follows the pane it lies in.
  bool OwnEnabled() const { return !mRunControl || mRunControl->OwnEnabled(); }
  bool OwnVisible() const { return !mRunControl || mRunControl->OwnVisible(); }
  bool IsActive() const { return mActive; }
  bool IsClosing() const { return mClosing; }
  // Closing itself, or in a window that is.
  bool IsGoingAway();
  int32_t LockCount() const { return mLockCount; }
  int32_t TabPanelIndex() const { return mTabPanelIndex; }
  bool ShownByContainer() const { return mShownByContainer; }
  // What the panes above let this one show: a page or tab panel shows the panes of its current
  // page while it shows itself, and a pane on no page on none of them; any other pane passes on
  // what it was given. A pane is given it whenever it moves, whatever moved it.
  bool ShownByItsPlace();
  bool AutoDeactivate() const { return mAutoDeactivate; }
  void SetAutoDeactivate(bool value) { mAutoDeactivate = value; }
  void SetNoRedrawOnEnable(bool value) { mNoRedrawOnEnable = value; }
  NativeWidget Widget() const { return mWidget; }
  // The parent link of this pane's own record (no owner indirection).
  SubPane* ParentLink() const { return mSubPanes.parent; }
  const std::vector<SubPane*>& Children() const { return mSubPanes.children; }
  const std::vector<string>& DropTypes() const { return mDropTypes; }
  const std::vector<string>& FileTypes() const { return mFileTypes; }
  // The text of the tooltip set last (empty when disabled).
  const string& HelpTag() const { return mHelpTag; }

 protected:
  // Subclasses hand over the widget they made; the pane keeps a reference and destroys it.
  void SetWidget(NativeWidget widget);
  bool TakesFocusFromGtk() const;

  int32_t mLockCount = 0;
  ControlObjectLink* mRunControl = nullptr;
  int32_t mTabPanelIndex;
  bool mVisible = true;
  bool mShownByContainer = true;
  bool mEnabled = true;
  bool mActive = true;
  bool mClosing = false;
  bool mGone = false;  // released for good after the close, waiting to be freed
  bool mAutoDeactivate = true;
  bool mNoRedrawOnEnable = false;
  MouseCursor* mCursor = nullptr;
  std::vector<string> mDropTypes;  // newest first
  std::vector<string> mFileTypes;  // newest first
  struct SubPaneRecord {
    SubPane* parent = nullptr;
    std::vector<SubPane*> children;
  } mSubPanes;
  NativeGC mGC = nullptr;
  NativeWidget mWidget = nullptr;
  RuntimeObject* mKeptObject = nullptr;
  int32_t mHandleNumber = 0;
  struct _GtkTooltips* mTooltips = nullptr;
  string mHelpTag;

 private:
  void ShiftTree(int32_t dh, int32_t dv);
  void CloseFocusState();
  void ForgetGuards();
};

// Holds a pane pointer that turns nil when the pane goes: its last hold was released after a
// close.
class PaneGuard {
 public:
  explicit PaneGuard(SubPane* pane);
  ~PaneGuard();
  PaneGuard(const PaneGuard&) = delete;
  PaneGuard& operator=(const PaneGuard&) = delete;
  SubPane* Get() const { return mPane; }

 private:
  friend class SubPane;
  PaneGuard* mNext;
  SubPane* mPane;
};

// Whether mouse button 1 is down over the pane's window.
bool IsMouseButtonDown(SubPane* pane);

// Set while the focus pane lies in a window of kind 9.
extern bool gFocusInKind9Window;

}  // namespace vorn
