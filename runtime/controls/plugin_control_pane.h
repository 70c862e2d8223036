// The pane of a plug-in's control: a SubPane that hands drawing, mouse, keys, focus and
// state changes to the callbacks of the control's behaviour table.
#pragma once

#include <cstdint>
#include <memory>

#include "objects/runtime_class.h"
#include "vorn/plugin_api.h"
#include "windows/sub_pane.h"

namespace vorn {

class BackgroundTask;

// What the runtime keeps of a registered plug-in control class.
struct LoadedControl {
  const VornPluginControlDefinition* ctl;
  void* const* behaviour;  // copy of ctl->behaviour
};

// The plug-in control class the object's class is or derives from; nil for other objects.
const LoadedControl* FindLoadedControl(RuntimeObject* object);

class RuntimeCustomControlPane : public SubPane {
 public:
  RuntimeCustomControlPane(SubPane* parent, int32_t tabPanelIndex, const Rect& bounds, RuntimeObject* owner,
                           const LoadedControl* control);
  ~RuntimeCustomControlPane() override;

  // The control object went away: the pane never reaches it again.
  void ForgetOwner() { mOwner = nullptr; }
  RuntimeObject* Owner() const { return mOwner; }
  // The idle callback (run by the pane's idle task).
  void RunIdle();

  void Draw(Graphics* port) override;
  bool MouseDown(int32_t x, int32_t y, int32_t modifiers) override;
  void MouseDrag(int32_t x, int32_t y) override;
  void MouseMove(int32_t x, int32_t y) override;
  void MouseUp(int32_t x, int32_t y) override;
  void MouseEnter() override;
  void MouseExit() override;
  bool LockHierarchy() override;
  bool UnlockHierarchy() override;
  void LostFocus() override;
  void GotFocus() override;
  bool CanFocus() override;
  void SetBounds(const Rect& r, bool redraw) override;
  bool KeyDown(int32_t character, int32_t keyCode, int32_t modifiers) override;
  bool KeyDownInParent(int32_t character, int32_t keyCode, int32_t modifiers) override;
  int32_t ChangeState(int32_t code) override;
  bool AdjustCursor(int32_t x, int32_t y) override;
  void Invalidate(bool flag = true) override;
  void EnableMenuItems() override;
  bool DoMenuCommand(int32_t command) override;
  void Close() override;
  void SetEnabled(bool enabled, bool redraw) override;
  void ShowWidget(bool show) override;
  bool GetFocusRingRect(Rect* r) override;
  void DrawInto(Graphics* port) override;
  bool MouseWheel(int32_t x, int32_t y, int32_t delta) override;
  NativeWidget GetHandle() override;
  bool PassesClickThrough() override { return true; }

  // Calls the background callback; whether the control has one.
  bool DrawsBackground();
  // With the "wants bounds" flag, the pane's bounds and true; else false.
  bool WholeBoundsQuery(Rect* out) const;

 private:
  void* Entry(int index) const;
  void CallWithGraphics(void* callback, Graphics* port);
  void NoticeState(int32_t code);
  // Runs `call` between LockHierarchy and UnlockHierarchy; false when the pane was closed
  // before (`ran` false) or the control died during the call (`died` true).
  template <typename Call>
  void Guarded(Call call, bool* ran, bool* died);

  RuntimeObject* mOwner;
  const LoadedControl* mControl;
  std::unique_ptr<BackgroundTask> mIdleTask;
  bool mClosed = false;
};

}  // namespace vorn
