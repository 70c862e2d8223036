// The toolkit-independent model of one menu node (a menu bar, a menu title or an item): its
// texts and flags and its ordered children. The children are the language's MenuItem objects
// themselves, each held with one reference; a child's own node is reached through the object.
#pragma once

#include <cstdint>

#include "objects/runtime_class.h"
#include "strings/vstring.h"
#include "vorn/menu_api.h"
#include "windows/menu_vector.h"

namespace vorn {

class Menu;

using MenuItemObject = VornMenuItemObject;
constexpr int32_t kNoMenuIndex = VORN_MENU_NO_INDEX;

// The node of a MenuItem object; nil for nil (no class check: callers hold menu items).
inline Menu* MenuOf(RuntimeObject* item) {
  return item ? static_cast<Menu*>(reinterpret_cast<MenuItemObject*>(item)->imp) : nullptr;
}

class Menu {
 public:
  Menu();
  virtual ~Menu();
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;

  virtual void Enable();
  virtual void Disable();
  virtual void SetText(const string& text);
  virtual void SetName(const string& name);
  virtual void SetIndex(int32_t index);
  // Holds one reference to the new tag and lets the old one go.
  virtual void SetTag(RuntimeObject* tag);
  virtual void SetBalloonHelp(const string& text);
  virtual void SetDisabledBalloonHelp(const string& text);
  virtual void SetChecked(bool checked);
  virtual void SetVisible(bool visible);
  virtual void SetCommandKey(const string& key);
  virtual void SetBold(bool bold);
  virtual void SetItalic(bool italic);
  virtual void SetUnderline(bool underline);
  // Append and Insert take one reference to the item; the caller has checked the position.
  virtual void Append(RuntimeObject* item);
  virtual void Insert(RuntimeObject* item, int32_t position);
  // Every entry equal to the item goes, each releasing its reference.
  virtual void Remove(RuntimeObject* item);
  // A position outside the children raises OutOfBoundsException and changes nothing.
  virtual void RemoveAt(int32_t position);

  int32_t Count() const { return static_cast<int32_t>(mChildren.Count()); }
  uint32_t ChildCapacity() const { return mChildren.Capacity(); }
  // No reference added; nil outside the children.
  RuntimeObject* ChildAt(int32_t position) const;
  // One reference for the caller; a bad position raises OutOfBoundsException and answers nil.
  RuntimeObject* GetMenuChildLocked(int32_t position);
  // The first child with that Name (case ignored), one reference for the caller; nil when none.
  RuntimeObject* FindChildLocked(const string& name);
  // Position of the first child with that Name, -1 when none.
  int32_t FindChildPosition(const string& name) const;

  const string& Text() const { return mText; }
  const string& Name() const { return mName; }
  const string& CommandKey() const { return mCommandKey; }
  const string& BalloonHelp() const { return mBalloonHelp; }
  const string& DisabledBalloonHelp() const { return mDisabledBalloonHelp; }
  int32_t Index() const { return mIndex; }
  RuntimeObject* Tag() const { return mTag; }
  bool IsEnabled() const { return mEnabled != 0; }
  bool IsChecked() const { return mChecked != 0; }
  bool IsVisible() const { return mVisible != 0; }
  bool IsBold() const { return mBold != 0; }
  bool IsItalic() const { return mItalic != 0; }
  bool IsUnderline() const { return mUnderline != 0; }
  bool AutoEnable() const { return mAutoEnable != 0; }
  void SetAutoEnable(bool value) { mAutoEnable = value ? 1 : 0; }

 protected:
  // Takes the entry out and releases its reference.
  void DropChildAt(int32_t position);

  MenuVector<RuntimeObject*> mChildren;
  int32_t mIndex = kNoMenuIndex;
  string mText;
  string mName;
  string mCommandKey;
  RuntimeObject* mTag = nullptr;
  string mBalloonHelp;
  string mDisabledBalloonHelp;
  uint8_t mEnabled = 1;
  uint8_t mChecked = 0;
  uint8_t mVisible = 1;
  uint8_t mBold = 0;
  uint8_t mItalic = 0;
  uint8_t mUnderline = 0;
  uint8_t mAutoEnable = 1;
};

// A child object without its node is a fault of the menu code; it is reported and the child
// is passed over.
Menu* ChildMenu(RuntimeObject* child);

}  // namespace vorn
