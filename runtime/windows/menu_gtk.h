// The GTK side of menu nodes. The node a MenuItem object holds is the source; each time an
// item is placed under a parent, or a window installs a menu bar, a clone of the node gets
// widgets of its own. A change made on any node is applied to its source and every clone, so
// one MenuItem drives the same item in every window and menu it appears in.
#pragma once

#include <cstdint>

#include "windows/menu.h"
#include "windows/native_types.h"

struct _GdkEventExpose;

namespace vorn {

class Window;
class XMenuGTK;

// Set on a node or an ancestor, it gets the chosen item instead of the menu-handler routing.
using MenuChooseCallback = void (*)(XMenuGTK* chosen);

class XMenuGTK : public Menu {
 public:
  explicit XMenuGTK(bool isMenuBar);
  ~XMenuGTK() override;

  void Enable() override;
  void Disable() override;
  void SetText(const string& text) override;
  void SetIndex(int32_t index) override;
  void SetTag(RuntimeObject* tag) override;
  void SetChecked(bool checked) override;
  void SetVisible(bool visible) override;
  void SetCommandKey(const string& key) override;
  void SetBold(bool bold) override;
  void SetItalic(bool italic) override;
  void SetUnderline(bool underline) override;
  void Append(RuntimeObject* item) override;
  void Insert(RuntimeObject* item, int32_t position) override;
  void Remove(RuntimeObject* item) override;
  void RemoveAt(int32_t position) override;

  // A node of the same kind with this node's settings and a clone of every child.
  XMenuGTK* Clone();
  XMenuGTK* GetSourceNode();
  Window* GetWindow() const { return mWindow; }
  XMenuGTK* GetParent() const { return mParent; }
  bool IsSeparator() const { return mIsSeparator != 0; }
  bool HasSubmenu() const { return mHasSubmenu != 0; }
  bool IsMenuBar() const { return mIsMenuBar != 0; }
  bool IsInMenuBar() const { return mParent && mParent->IsMenuBar(); }
  // The child object (depth first) whose node is the source of `node`, one reference added.
  RuntimeObject* FindMenuItemObject(XMenuGTK* node);
  void SetChooseCallback(MenuChooseCallback callback) { mChooseCallback = callback; }
  MenuChooseCallback GetChooseCallback() const { return mChooseCallback; }
  // The window this node's bar is installed in: its accelerators work there.
  void AttachAccelGroup(Window* window);
  // This node and its child nodes stop following their sources and leave the shortcut table.
  void DetachFromSource();

  NativeWidget MenuBarWidget() const { return mMenuBarWidget; }
  NativeWidget MenuWidget() const { return mMenuWidget; }
  NativeWidget ItemWidget() const { return mItemWidget; }
  int32_t CloneCount() const { return static_cast<int32_t>(mClones.Count()); }
  XMenuGTK* ChildNodeAt(int32_t position) const;

  // Signal entry points.
  void Activated();
  bool Exposed(::_GdkEventExpose* event);

 private:
  // The source and then every clone of it.
  template <typename Step>
  void ForSourceAndClones(Step step);
  void AppendChildrenTo(XMenuGTK* clone);
  void RemoveChildAt(int32_t position);
  void RefreshItemWidget();
  void ReplaceItemWidget(NativeWidget widget);
  void ApplyLabelStyle();
  void RefreshCheckIndent();
  void PlaceChild(XMenuGTK* child, int32_t position);
  void EnableHere();
  void DisableHere();

  MenuChooseCallback mChooseCallback = nullptr;
  Window* mWindow = nullptr;
  XMenuGTK* mParent = nullptr;
  uint8_t mHasSubmenu = 0;
  uint8_t mIsSeparator = 0;
  XMenuGTK* mSource;
  MenuVector<XMenuGTK*> mClones;
  MenuVector<XMenuGTK*> mChildNodes;
  uint8_t mIsMenuBar;
  NativeWidget mMenuBarWidget = nullptr;
  NativeWidget mMenuWidget = nullptr;
  NativeWidget mItemWidget = nullptr;
  // The accelerator installed on the item widget, 0 for none.
  uint32_t mAccelKey = 0;
  uint32_t mAccelMods = 0;
};

// The GDK modifier mask of a shortcut text: empty gives 0, anything else Control, plus Shift
// for "shift" or "shft" and Mod1 for "option" or "alt" anywhere in it (case ignored).
uint32_t ShortcutModifiers(const string& commandKey);

// The window's key-press search of the shortcut table: answers the routing's result; `handled`
// tells whether an enabled item of this window's bar matched.
bool FindMenuShortcut(const string& key, int32_t modifiers, Window* window, bool* handled);

// Records in the shortcut table (for tests and diagnostics).
int32_t ShortcutRecordCount();

}  // namespace vorn
