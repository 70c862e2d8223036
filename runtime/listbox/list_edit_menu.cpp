// The list's own Edit menu handling: EditCopy puts the selected rows' text on the clipboard
// (cells joined by tabs, rows by line ends), EditSelectAll selects every row of a list that
// takes several; Command-C and Command-A do the same when no menu item took the key. The
// owner's EnableMenuItems runs after the list has enabled its items.
#include "listbox/runtime_listbox.h"
#include "windows/clipboard_class.h"
#include "windows/menu.h"
#include "windows/menu_enabling.h"
#include "windows/menu_routing.h"

namespace vorn {

namespace {

constexpr char kEditCopy[] = "EditCopy";
constexpr char kEditSelectAll[] = "EditSelectAll";

}  // namespace

bool RuntimeListbox::DoEditCommand(std::string_view name) {
  if (name == kEditCopy) {
    if (mSelection.GetSelectedCount() == 0) return false;
    CopyTextToClipboard(GetCellText(0, 0, false), true);
    return true;
  }
  if (name == kEditSelectAll) {
    if (!mSelection.IsMultiple() || RowCount() == 0) return false;
    Lock();
    mSelection.SelectAll();
    Release();
    return true;
  }
  return false;
}

void RuntimeListbox::EnableMenuItems() {
  if (mSelection.GetSelectedCount() > 0) EnableMenuItemsNamed(kEditCopy);
  if (mSelection.IsMultiple() && RowCount() > 0) EnableMenuItemsNamed(kEditSelectAll);
  if (mOwner && mHooks) FireEvent(mOwner, mHooks->enableMenuItems);
  ContainerPane::EnableMenuItems();
}

bool RuntimeListbox::DoMenuCommand(int32_t command) {
  Menu* menu = MenuOf(MenuItemOfferedToFocus());
  if (menu && DoEditCommand(menu->Name().View())) return true;
  return ContainerPane::DoMenuCommand(command);
}

bool RuntimeListbox::EditCommandKey(int32_t character, int32_t modifiers) {
  if ((modifiers & (kModifierCommand | kModifierControl)) == 0) return false;
  // GTK hands a Control-letter either as the letter or as its control character.
  switch (character) {
    case 'a': case 'A': case 1: return DoEditCommand(kEditSelectAll);
    case 'c': case 'C': case 3: return DoEditCommand(kEditCopy);
    default: return false;
  }
}

}  // namespace vorn
