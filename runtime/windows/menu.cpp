#include "windows/menu.h"

#include "objects/exceptions.h"
#include "objects/runtime_object.h"
#include "windows/pane_assert.h"

namespace vorn {

namespace {
constexpr const char* kMenuSource = "../Common/Menu.cpp";
}  // namespace

Menu* ChildMenu(RuntimeObject* child) {
  Menu* menu = MenuOf(child);
  if (!menu) ReportPaneAssertion(kMenuSource, __LINE__, "child->mImp");
  return menu;
}

Menu::Menu() = default;

Menu::~Menu() {
  for (RuntimeObject* child : mChildren) RuntimeUnlockObject(child);
  RuntimeUnlockObject(mTag);
  mTag = nullptr;
}

void Menu::Enable() { mEnabled = 1; }
void Menu::Disable() { mEnabled = 0; }
void Menu::SetText(const string& text) { mText = text; }
void Menu::SetName(const string& name) { mName = name; }
void Menu::SetIndex(int32_t index) { mIndex = index; }

void Menu::SetTag(RuntimeObject* tag) {
  RuntimeLockObject(tag);
  RuntimeObject* old = mTag;
  mTag = tag;
  RuntimeUnlockObject(old);
}

void Menu::SetBalloonHelp(const string& text) { mBalloonHelp = text; }
void Menu::SetDisabledBalloonHelp(const string& text) { mDisabledBalloonHelp = text; }
void Menu::SetChecked(bool checked) { mChecked = checked ? 1 : 0; }
void Menu::SetVisible(bool visible) { mVisible = visible ? 1 : 0; }
void Menu::SetCommandKey(const string& key) { mCommandKey = key; }
void Menu::SetBold(bool bold) { mBold = bold ? 1 : 0; }
void Menu::SetItalic(bool italic) { mItalic = italic ? 1 : 0; }
void Menu::SetUnderline(bool underline) { mUnderline = underline ? 1 : 0; }

void Menu::Append(RuntimeObject* item) {
  RuntimeLockObject(item);
  mChildren.Append(item);
}

void Menu::Insert(RuntimeObject* item, int32_t position) {
  RuntimeLockObject(item);
  mChildren.Insert(static_cast<uint32_t>(position), item);
}

void Menu::Remove(RuntimeObject* item) {
  for (int32_t i = Count() - 1; i >= 0; --i) {
    if (mChildren[static_cast<uint32_t>(i)] == item) DropChildAt(i);
  }
}

void Menu::RemoveAt(int32_t position) {
  if (position < 0 || position >= Count()) {
    RuntimeRaiseOutOfBoundsException();
    return;
  }
  DropChildAt(position);
}

void Menu::DropChildAt(int32_t position) {
  RuntimeObject* child = mChildren[static_cast<uint32_t>(position)];
  mChildren.RemoveAt(static_cast<uint32_t>(position));
  RuntimeUnlockObject(child);
}

RuntimeObject* Menu::ChildAt(int32_t position) const {
  if (position < 0 || position >= Count()) return nullptr;
  return mChildren[static_cast<uint32_t>(position)];
}

RuntimeObject* Menu::GetMenuChildLocked(int32_t position) {
  RuntimeObject* child = ChildAt(position);
  if (!child) {
    RuntimeRaiseOutOfBoundsException();
    return nullptr;
  }
  RuntimeLockObject(child);
  return child;
}

int32_t Menu::FindChildPosition(const string& name) const {
  for (int32_t i = 0; i < Count(); ++i) {
    Menu* menu = ChildMenu(mChildren[static_cast<uint32_t>(i)]);
    if (menu && menu->Name().Compare(name) == 0) return i;
  }
  return -1;
}

RuntimeObject* Menu::FindChildLocked(const string& name) {
  RuntimeObject* child = ChildAt(FindChildPosition(name));
  RuntimeLockObject(child);
  return child;
}

}  // namespace vorn
